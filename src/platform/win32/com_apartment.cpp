// com_apartment.cpp (Windows)
#include "platform/com_apartment.h"

#include "platform/win32/windows_api.h"
#include <objbase.h>

namespace orb::platform {

ComApartment::ComApartment() {
  // S_FALSE (already initialised on this thread) also needs its
  // CoUninitialize.
  initialized_ = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
}

ComApartment::~ComApartment() {
  if (initialized_) CoUninitialize();
}

}  // namespace orb::platform
