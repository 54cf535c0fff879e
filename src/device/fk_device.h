// fk_device.h - recognises the handheld among the removable drives by its
// SCSI identity, tells its card drive from its system-storage drive, and
// reads its system software version and product code.
//
// No data: create one around each question; every question rescans and
// resends its commands, so a handheld plugged in meanwhile is seen.
#pragma once

#include <cstddef>
#include <cstdint>

#include "base/status.h"

class CFKDevice {
 public:
  CFKDevice() = default;
  virtual ~CFKDevice();

  // Masks: bit i stands for 'A' + i; A and B are never part of a scan.
  HRESULT ScanRemovableDrives(std::uint32_t* mask);
  HRESULT ScanConsoleDrives(std::uint32_t* mask);

  bool IsConsoleDrive(wchar_t letter);
  bool IsCardDrive(wchar_t letter);
  bool IsSystemStorageDrive(wchar_t letter);

  // 28 bytes: vendor, product and revision of the INQUIRY answer.
  HRESULT ReadInquiryIdentity(wchar_t letter, std::uint8_t* buffer, std::size_t size);
  // 5 bytes: the version text ("6.50") and its terminating zero.
  HRESULT ReadSystemVersion(wchar_t letter, std::uint8_t* buffer, std::size_t size);
  // 2 bytes, passed on as read.
  HRESULT ReadProductCode(wchar_t letter, std::uint8_t* buffer, std::size_t size);
  // Compares the handheld's version with `required` (digit, point, two
  // digits). An unreadable version counts as older.
  HRESULT IsSystemVersionOlder(wchar_t letter, const char* required, bool* older);
};
