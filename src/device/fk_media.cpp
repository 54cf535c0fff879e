// fk_media.cpp
#include "device/fk_media.h"

#include "device/handheld_protocol.h"
#include "device/scsi_command.h"
#include "platform/drive_table.h"

namespace hh = orb::device::handheld;

CFKMedia::~CFKMedia() = default;

HRESULT CFKMedia::GetDriveCapacity(wchar_t letter, std::uint64_t* bytes) {
  if (bytes == nullptr) return E_POINTER;
  orb::platform::DriveSpace space;
  if (!orb::device::IsUpperDriveLetter(letter) || orb::platform::GetDriveSpace(letter, &space) != orb::win32_error::kSuccess) {
    return ORB_E_STORAGE_NOT_ACCESSIBLE;
  }
  *bytes = space.totalBytes;
  return S_OK;
}

HRESULT CFKMedia::ReadModeHeader(wchar_t letter, std::uint8_t* mediumType, std::uint8_t* deviceSpecific) {
  if (!orb::device::IsUpperDriveLetter(letter)) return E_INVALIDARG;
  std::uint8_t answer[hh::kModeSenseLength] = {};
  if (!orb::device::ScsiDataIn(letter, hh::kModeSense, sizeof hh::kModeSense, answer, sizeof answer)) {
    return ORB_E_MODE_SENSE_FAILED;
  }
  *mediumType = answer[2];
  *deviceSpecific = answer[3];
  return S_OK;
}

HRESULT CFKMedia::IsMediumLocked(wchar_t letter) {
  std::uint8_t mediumType = 0;
  std::uint8_t deviceSpecific = 0;
  const HRESULT hr = ReadModeHeader(letter, &mediumType, &deviceSpecific);
  if (FAILED(hr)) return hr;
  return (deviceSpecific & hh::kWriteProtectBit) != 0 ? S_OK : S_FALSE;
}

HRESULT CFKMedia::CheckMediumType(wchar_t letter) {
  std::uint8_t mediumType = 0;
  std::uint8_t deviceSpecific = 0;
  const HRESULT hr = ReadModeHeader(letter, &mediumType, &deviceSpecific);
  if (FAILED(hr)) return hr;
  return mediumType == hh::kCardMediumType ? S_OK : E_FAIL;
}
