// orb_device_questions.cpp - this build has no device layer yet: every
// question fails with E_NOTIMPL, which the flow reports as an error (never as
// "no device", which would have the user plug a handheld in for nothing).
#include "flow/orb_device_questions.h"

HRESULT COrbDeviceQuestions::ScanConsoleDrives(std::uint32_t* mask) {
  if (mask == nullptr) return E_POINTER;
  *mask = 0;
  return E_NOTIMPL;
}

bool COrbDeviceQuestions::IsSameUsbDevice(wchar_t, wchar_t) { return false; }

bool COrbDeviceQuestions::IsSystemStorageDrive(wchar_t) { return false; }

bool COrbDeviceQuestions::IsSingleDriveModel(wchar_t) { return false; }

HRESULT COrbDeviceQuestions::IsSystemVersionOlder(wchar_t, const char*, bool* older) {
  if (older == nullptr) return E_POINTER;
  *older = true;
  return ORB_E_SYSTEM_VERSION_UNREADABLE;
}

HRESULT COrbDeviceQuestions::CheckMedia(wchar_t) { return E_NOTIMPL; }

HRESULT COrbDeviceQuestions::SelectStorage(int, IDeviceStorage** storage, std::uint32_t* selectionFlags,
                                           std::int32_t* kind) {
  if (storage == nullptr || selectionFlags == nullptr) return E_POINTER;
  *storage = nullptr;
  *selectionFlags = 0;
  if (kind != nullptr) *kind = 0;
  return E_NOTIMPL;
}

HRESULT COrbDeviceQuestions::FindByDriveLetter(wchar_t, IDeviceStorage** storage) {
  if (storage == nullptr) return E_POINTER;
  *storage = nullptr;
  return E_NOTIMPL;
}
