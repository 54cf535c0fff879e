// exec_scsi_interface.cpp - what every SCSI back end shares.
#include "device/exec_scsi_interface.h"

#include "platform/drive_table.h"

ExecScsiInterface::~ExecScsiInterface() = default;

bool ExecScsiInterface::OpenDrive(int driveIndex) {
  if (driveIndex < 0 || driveIndex > 25) return false;
  using orb::platform::DriveType;
  const DriveType type = orb::platform::GetDriveType(static_cast<wchar_t>(L'A' + driveIndex));
  if (type != DriveType::kRemovable && type != DriveType::kFixed && type != DriveType::kCdRom) {
    selectedDrive_ = -1;
    return false;
  }
  selectedDrive_ = driveIndex;
  return true;
}

bool ExecScsiInterface::CompleteCommand(const orb::platform::ScsiOutcome& outcome) {
  const std::uint8_t senseKey = outcome.sense[2];
  lastError_ = (static_cast<std::uint32_t>(senseKey) << 16) |
               (static_cast<std::uint32_t>(outcome.sense[12]) << 8) | outcome.sense[13];
  if (outcome.status != 0 || senseKey != 0) {
    lastError_ |= kCommandFailed;
    return false;
  }
  return true;
}
