// orb_downloader_utils.h - the operation flow's questions about the
// handheld's drives, so that the flow does not construct the device classes
// itself. No data: create one around each question.
#pragma once

#include <cstdint>

#include "base/status.h"

class COrbDownloaderUtils {
 public:
  COrbDownloaderUtils() = default;
  virtual ~COrbDownloaderUtils();

  HRESULT ScanConsoleDrives(std::uint32_t* mask);
  HRESULT GetMediaState(wchar_t drive, std::uint32_t* flags);
  bool IsSameUsbDevice(wchar_t a, wchar_t b);
  bool IsSystemStorageDrive(wchar_t drive);
  bool IsSingleDriveModel(wchar_t drive);
  // S_OK with the answer; E_INVALIDARG passed through; any other failure
  // becomes ORB_E_SYSTEM_VERSION_UNREADABLE.
  HRESULT IsSystemVersionOlder(wchar_t drive, const char* minimumVersion, bool* older);
};
