// com_apartment.h - COM for the calling thread, where the platform has COM.
//
// Operation workers reach COM objects (portable-device storages), so each
// worker thread joins a single-threaded apartment for its lifetime. Other
// platforms have no COM; there the object does nothing.
#pragma once

namespace orb::platform {

class ComApartment {
 public:
  ComApartment();
  ~ComApartment();
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;

  // COM is usable on this thread (always false where there is no COM).
  bool Initialized() const { return initialized_; }

 private:
  bool initialized_ = false;
};

}  // namespace orb::platform
