// drive_selection.cpp
#include "device/drive_selection.h"

#include <string>

#include "device/fk_device.h"
#include "device/fk_media.h"
#include "device/handheld_protocol.h"
#include "device/usb_descriptor.h"

namespace hh = orb::device::handheld;

namespace {

int CountDrives(std::uint32_t mask) {
  int n = 0;
  for (int i = 0; i < 26; ++i) n += (mask >> i) & 1u;
  return n;
}

wchar_t LowestDrive(std::uint32_t mask) {
  for (int i = 0; i < 26; ++i) {
    if ((mask & (1u << i)) != 0) return static_cast<wchar_t>(L'A' + i);
  }
  return 0;
}

}  // namespace

HRESULT GetMediaState(wchar_t letter, std::uint32_t* flags) {
  if (flags == nullptr) return E_POINTER;
  CFKMedia media;
  std::uint32_t state = 0;
  std::uint64_t capacity = 0;
  if (SUCCEEDED(media.GetDriveCapacity(letter, &capacity))) state |= orb::device::kMediaCapacityRead;
  if (media.CheckMediumType(letter) == S_OK) {
    state = (state & ~orb::device::kMediaCapacityRead) | orb::device::kMediaCardMedium;
  }
  if (media.IsMediumLocked(letter) == S_OK) state |= orb::device::kMediaLocked;
  *flags = state;
  return S_OK;
}

HRESULT CheckMedia(wchar_t letter) {
  std::uint32_t flags = 0;
  const HRESULT hr = GetMediaState(letter, &flags);
  if (FAILED(hr)) return hr;
  if ((flags & orb::device::kMediaLocked) != 0) return ORB_E_MEDIUM_LOCKED;
  if ((flags & (orb::device::kMediaCapacityRead | orb::device::kMediaCardMedium)) != 0) return S_OK;
  return ORB_E_NO_MEDIUM;
}

bool IsSameUsbDevice(wchar_t a, wchar_t b) {
  CUsbDescriptor usb;
  std::wstring first;
  std::wstring second;
  return usb.GetUsbSerialNumber(a, &first) && usb.GetUsbSerialNumber(b, &second) && !first.empty() &&
         first == second;
}

bool IsSingleDriveModel(wchar_t letter) {
  CUsbDescriptor usb;
  std::uint16_t vendorId = 0;
  std::uint16_t productId = 0;
  return usb.GetUsbIds(letter, &vendorId, &productId) && vendorId == hh::kMakerVendorId &&
         productId == hh::kSingleDriveProductId;
}

HRESULT IsSystemVersionOlder(wchar_t letter, const char* required, bool* older) {
  if (older == nullptr) return E_POINTER;
  bool answer = false;
  const HRESULT hr = CFKDevice().IsSystemVersionOlder(letter, required, &answer);
  if (hr == E_INVALIDARG) return hr;
  if (FAILED(hr)) return ORB_E_SYSTEM_VERSION_UNREADABLE;
  *older = answer;
  return S_OK;
}

HRESULT SelectConsoleDrive(wchar_t* target, wchar_t* companion) {
  if (target == nullptr || companion == nullptr) return E_POINTER;
  CFKDevice device;
  std::uint32_t mask = 0;
  HRESULT hr = device.ScanConsoleDrives(&mask);
  if (FAILED(hr)) return hr;
  const int n = CountDrives(mask);
  if (n == 0) return ORB_E_NO_DEVICE;
  if (n > 2) return ORB_E_SEVERAL_DEVICES;
  wchar_t chosen = 0;
  wchar_t other = 0;
  if (n == 1) {
    chosen = LowestDrive(mask);
    if (IsSingleDriveModel(chosen)) return ORB_S_SINGLE_DRIVE_MODEL;
  } else {
    const wchar_t l1 = LowestDrive(mask);
    const wchar_t l2 = LowestDrive(mask & ~(1u << (l1 - L'A')));
    if (!IsSameUsbDevice(l1, l2)) return ORB_E_SEVERAL_DEVICES;
    if (device.IsSystemStorageDrive(l1)) {
      chosen = l1;
      other = l2;
    } else if (device.IsSystemStorageDrive(l2)) {
      chosen = l2;
      other = l1;
    } else {
      return ORB_E_SEVERAL_DEVICES;
    }
  }
  bool older = false;
  hr = IsSystemVersionOlder(chosen, orb::device::kMinimumSystemVersion, &older);
  if (FAILED(hr)) return hr;
  if (older) return ORB_E_DEVICE_TOO_OLD;
  *target = chosen;
  *companion = other;
  return S_OK;
}
