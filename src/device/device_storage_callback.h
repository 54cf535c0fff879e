// device_storage_callback.h - IDeviceStorageCallback, the progress callback
// of storage copies.
#pragma once

#include <cstdint>

// The answers of OnProgress.
namespace storage_progress {
constexpr int kContinue = 0;  // go on
constexpr int kStop = 1;      // stop now; the copy ends with success
constexpr int kNotNow = 2;    // yield and ask again; nothing is copied meanwhile
constexpr int kQuiet = 3;     // go on and do not ask again
}  // namespace storage_progress

class IDeviceStorageCallback {
 public:
  // total and done are bytes; context is the value the caller handed to the
  // copy. Any answer other than the four above counts as kContinue, except
  // that it does not end a wait that a kNotNow started.
  virtual int OnProgress(std::uint64_t total, std::uint64_t done, void* context) = 0;
  // After OnProgress: the slot order of the implementations puts it there.
  virtual ~IDeviceStorageCallback() = default;
};
