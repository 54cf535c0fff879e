// orb_downloader_utils.cpp - forwards each question to the device layer.
#include "flow/orb_downloader_utils.h"

#include "device/drive_selection.h"
#include "device/fk_device.h"

COrbDownloaderUtils::~COrbDownloaderUtils() = default;

HRESULT COrbDownloaderUtils::ScanConsoleDrives(std::uint32_t* mask) { return CFKDevice().ScanConsoleDrives(mask); }

HRESULT COrbDownloaderUtils::GetMediaState(wchar_t drive, std::uint32_t* flags) {
  return ::GetMediaState(drive, flags);
}

bool COrbDownloaderUtils::IsSameUsbDevice(wchar_t a, wchar_t b) { return ::IsSameUsbDevice(a, b); }

bool COrbDownloaderUtils::IsSystemStorageDrive(wchar_t drive) { return CFKDevice().IsSystemStorageDrive(drive); }

bool COrbDownloaderUtils::IsSingleDriveModel(wchar_t drive) { return ::IsSingleDriveModel(drive); }

HRESULT COrbDownloaderUtils::IsSystemVersionOlder(wchar_t drive, const char* minimumVersion, bool* older) {
  return ::IsSystemVersionOlder(drive, minimumVersion, older);
}
