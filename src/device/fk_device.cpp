// fk_device.cpp
#include "device/fk_device.h"

#include <cstring>

#include "device/handheld_protocol.h"
#include "device/scsi_command.h"
#include "platform/drive_table.h"

namespace hh = orb::device::handheld;
using orb::device::IsUpperDriveLetter;

namespace {

constexpr std::uint32_t kLetterMask = 0x03FFFFFFu;
constexpr std::uint32_t kFloppyLetters = 0x3u;  // A and B

bool Matches(const std::uint8_t* identity, const char* vendor, const char* product) {
  return std::memcmp(identity, vendor, hh::kVendorLength) == 0 &&
         std::memcmp(identity + hh::kVendorLength, product, hh::kProductLength) == 0;
}

bool IsConsoleIdentity(const std::uint8_t* identity) {
  return Matches(identity, hh::kTitleCaseVendor, hh::kTitleCaseProduct) ||
         (std::memcmp(identity, hh::kVendor, hh::kVendorLength) == 0 &&
          std::memcmp(identity + hh::kVendorLength, hh::kConsoleProductPrefix, 5) == 0);
}

// "d.dd" and nothing after it.
bool IsVersionText(const char* text) {
  return text[0] >= '0' && text[0] <= '9' && text[1] == '.' && text[2] >= '0' && text[2] <= '9' &&
         text[3] >= '0' && text[3] <= '9' && text[4] == '\0';
}

// One data-in command into a zeroed answer of answerLength bytes, of which
// `keep` bytes from `offset` go to the caller.
HRESULT ReadAnswer(wchar_t letter, const std::uint8_t* cdb, std::uint32_t cdbLength, std::uint32_t answerLength,
                   std::size_t offset, std::size_t keep, HRESULT failure, std::uint8_t* buffer, std::size_t size) {
  if (!IsUpperDriveLetter(letter)) return E_INVALIDARG;
  if (buffer == nullptr) return E_POINTER;
  if (size < keep) return E_INVALIDARG;
  std::uint8_t answer[hh::kSystemVersionLength] = {};  // the longest answer
  if (answerLength > sizeof answer || offset + keep > answerLength) return E_INVALIDARG;
  if (!orb::device::ScsiDataIn(letter, cdb, cdbLength, answer, answerLength)) return failure;
  std::memcpy(buffer, answer + offset, keep);
  return S_OK;
}

}  // namespace

CFKDevice::~CFKDevice() = default;

HRESULT CFKDevice::ScanRemovableDrives(std::uint32_t* mask) {
  if (mask == nullptr) return E_POINTER;
  std::uint32_t drives = orb::platform::GetLogicalDriveMask() & kLetterMask & ~kFloppyLetters;
  for (int i = 2; i < 26; ++i) {
    const std::uint32_t bit = 1u << i;
    if ((drives & bit) != 0 &&
        orb::platform::GetDriveType(static_cast<wchar_t>(L'A' + i)) != orb::platform::DriveType::kRemovable) {
      drives &= ~bit;
    }
  }
  *mask = drives;
  return S_OK;
}

HRESULT CFKDevice::ScanConsoleDrives(std::uint32_t* mask) {
  if (mask == nullptr) return E_POINTER;
  std::uint32_t drives = 0;
  ScanRemovableDrives(&drives);
  for (int i = 2; i < 26; ++i) {
    const std::uint32_t bit = 1u << i;
    if ((drives & bit) == 0) continue;
    std::uint8_t identity[hh::kIdentityLength];
    if (FAILED(ReadInquiryIdentity(static_cast<wchar_t>(L'A' + i), identity, sizeof identity)) ||
        !IsConsoleIdentity(identity)) {
      drives &= ~bit;
    }
  }
  *mask = drives;
  return S_OK;
}

bool CFKDevice::IsConsoleDrive(wchar_t letter) {
  if (!IsUpperDriveLetter(letter)) return false;
  std::uint32_t mask = 0;
  return SUCCEEDED(ScanConsoleDrives(&mask)) && (mask & (1u << (letter - L'A'))) != 0;
}

bool CFKDevice::IsCardDrive(wchar_t letter) {
  std::uint8_t identity[hh::kIdentityLength];
  return SUCCEEDED(ReadInquiryIdentity(letter, identity, sizeof identity)) &&
         (Matches(identity, hh::kTitleCaseVendor, hh::kTitleCaseProduct) ||
          Matches(identity, hh::kVendor, hh::kCardProduct));
}

bool CFKDevice::IsSystemStorageDrive(wchar_t letter) {
  std::uint8_t identity[hh::kIdentityLength];
  return SUCCEEDED(ReadInquiryIdentity(letter, identity, sizeof identity)) &&
         Matches(identity, hh::kVendor, hh::kSystemStorageProduct);
}

HRESULT CFKDevice::ReadInquiryIdentity(wchar_t letter, std::uint8_t* buffer, std::size_t size) {
  return ReadAnswer(letter, hh::kInquiry, sizeof hh::kInquiry, hh::kInquiryLength, hh::kIdentityOffset,
                    hh::kIdentityLength, ORB_E_INQUIRY_FAILED, buffer, size);
}

HRESULT CFKDevice::ReadSystemVersion(wchar_t letter, std::uint8_t* buffer, std::size_t size) {
  return ReadAnswer(letter, hh::kReadSystemVersion, sizeof hh::kReadSystemVersion, hh::kSystemVersionLength, 0,
                    hh::kSystemVersionKept, ORB_E_SYSTEM_VERSION_UNREADABLE, buffer, size);
}

HRESULT CFKDevice::ReadProductCode(wchar_t letter, std::uint8_t* buffer, std::size_t size) {
  return ReadAnswer(letter, hh::kReadProductCode, sizeof hh::kReadProductCode, hh::kProductCodeLength, 0,
                    hh::kProductCodeLength, ORB_E_PRODUCT_CODE_UNREADABLE, buffer, size);
}

HRESULT CFKDevice::IsSystemVersionOlder(wchar_t letter, const char* required, bool* older) {
  if (older == nullptr || required == nullptr) return E_POINTER;
  if (!IsConsoleDrive(letter)) return E_INVALIDARG;
  char version[hh::kSystemVersionKept] = {};
  if (FAILED(ReadSystemVersion(letter, reinterpret_cast<std::uint8_t*>(version), sizeof version))) {
    *older = true;
    return S_OK;
  }
  // Only "d.dd" texts are compared; the bounded read keeps a longer
  // required text from being read past its fifth character.
  char wanted[hh::kSystemVersionKept] = {};
  std::size_t n = 0;
  while (n < sizeof wanted && required[n] != '\0') {
    wanted[n] = required[n];
    ++n;
  }
  if (n == sizeof wanted || !IsVersionText(version) || !IsVersionText(wanted)) return E_INVALIDARG;
  *older = std::memcmp(version, wanted, 4) < 0;
  return S_OK;
}
