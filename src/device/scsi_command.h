// scsi_command.h - one data-in command to a drive through a fresh SCSI
// front, as every handheld question sends it.
#pragma once

#include <cstdint>

namespace orb::device {

// True when the drive could be opened and the command succeeded.
bool ScsiDataIn(wchar_t letter, const std::uint8_t* cdb, std::uint32_t cdbLength, void* data,
                std::uint32_t dataLength);

// 'A'..'Z' only: the handheld questions take upper-case letters.
inline bool IsUpperDriveLetter(wchar_t letter) { return letter >= L'A' && letter <= L'Z'; }

}  // namespace orb::device
