// orb_device_questions.cpp - the device layer behind the flow's questions:
// the drive questions through the facade, the selection rules and the
// storage registry.
#include "flow/orb_device_questions.h"

#include "device/drive_selection.h"
#include "device/storage_registry.h"
#include "device/storage_selection.h"
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

HRESULT COrbDeviceQuestions::SelectStorage(int policy, IDeviceStorage** storage, std::uint32_t* selectionFlags,
                                           std::int32_t* kind) {
  return ::SelectStorage(policy, storage, selectionFlags, kind);
}

HRESULT COrbDeviceQuestions::FindByDriveLetter(wchar_t letter, IDeviceStorage** storage) {
  if (storage == nullptr) return E_POINTER;
  *storage = nullptr;
  return StorageRegistry::Instance().FindByDriveLetter(letter, storage);
}
