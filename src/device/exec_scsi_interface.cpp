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

bool ExecScsiTransport::OpenDrive(int driveIndex) {
  if (deviceOpen_ && driveIndex == selectedDrive_) return true;
  deviceOpen_ = false;
  if (!ExecScsiInterface::OpenDrive(driveIndex)) return false;
  if (!OpenDevice(driveIndex)) {
    selectedDrive_ = -1;
    return false;
  }
  deviceOpen_ = true;
  return true;
}

bool ExecScsiTransport::Run(const std::uint8_t* cdb, std::uint32_t cdbLength, orb::platform::ScsiDirection direction,
                            void* data, std::uint32_t dataLength) {
  BeginCommand();
  if (!deviceOpen_ || cdb == nullptr || cdbLength == 0 || cdbLength > kMaxCdbLength) return false;
  if (dataLength != 0 && data == nullptr) return false;
  orb::platform::ScsiOutcome outcome;
  if (!Transfer(cdb, cdbLength, direction, data, dataLength, &outcome)) return false;
  return CompleteCommand(outcome);
}

bool ExecScsiTransport::ExecNoData(const std::uint8_t* cdb, std::uint32_t cdbLength) {
  return Run(cdb, cdbLength, orb::platform::ScsiDirection::kNone, nullptr, 0);
}

bool ExecScsiTransport::ExecDataIn(const std::uint8_t* cdb, std::uint32_t cdbLength, void* data,
                                   std::uint32_t dataLength) {
  return Run(cdb, cdbLength, orb::platform::ScsiDirection::kIn, data, dataLength);
}

bool ExecScsiTransport::ExecDataOut(const std::uint8_t* cdb, std::uint32_t cdbLength, const void* data,
                                    std::uint32_t dataLength) {
  // The device only reads an outgoing buffer.
  return Run(cdb, cdbLength, orb::platform::ScsiDirection::kOut, const_cast<void*>(data), dataLength);
}
