// orb_device_questions.cpp - the device layer behind the flow's questions.
//
// The drive questions go through the facade and the media check to the
// handheld discovery. The storage registry and with it SelectStorage and
// FindByDriveLetter are not in this build yet: they fail with E_NOTIMPL,
// which the flow reports as an error (never as "no device", which would
// have the user plug a handheld in for nothing).
#include "flow/orb_device_questions.h"

#include "device/drive_selection.h"
#include "flow/orb_downloader_utils.h"

HRESULT COrbDeviceQuestions::ScanConsoleDrives(std::uint32_t* mask) {
  if (mask == nullptr) return E_POINTER;
  return COrbDownloaderUtils().ScanConsoleDrives(mask);
}

bool COrbDeviceQuestions::IsSameUsbDevice(wchar_t a, wchar_t b) { return COrbDownloaderUtils().IsSameUsbDevice(a, b); }

bool COrbDeviceQuestions::IsSystemStorageDrive(wchar_t drive) {
  return COrbDownloaderUtils().IsSystemStorageDrive(drive);
}

bool COrbDeviceQuestions::IsSingleDriveModel(wchar_t drive) { return COrbDownloaderUtils().IsSingleDriveModel(drive); }

HRESULT COrbDeviceQuestions::IsSystemVersionOlder(wchar_t drive, const char* minimumVersion, bool* older) {
  if (older == nullptr) return E_POINTER;
  return COrbDownloaderUtils().IsSystemVersionOlder(drive, minimumVersion, older);
}

HRESULT COrbDeviceQuestions::CheckMedia(wchar_t drive) { return ::CheckMedia(drive); }

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
