// exec_scsi_simulated.cpp
#include "device/exec_scsi_simulated.h"

using orb::platform::ScsiDirection;

bool ExecScsiSimulated::OpenDrive(int driveIndex) {
  if (open_ && driveIndex == selectedDrive_) return true;
  open_ = false;
  if (!ExecScsiInterface::OpenDrive(driveIndex)) return false;
  orb::platform::DeviceSimulation* simulation = orb::platform::ActiveDeviceSimulation();
  if (simulation == nullptr || !simulation->ScsiOpen(static_cast<wchar_t>(L'A' + driveIndex))) {
    selectedDrive_ = -1;
    return false;
  }
  open_ = true;
  return true;
}

bool ExecScsiSimulated::Send(const std::uint8_t* cdb, std::uint32_t cdbLength, ScsiDirection direction,
                             void* data, std::uint32_t dataLength) {
  BeginCommand();
  orb::platform::DeviceSimulation* simulation = orb::platform::ActiveDeviceSimulation();
  if (!open_ || simulation == nullptr || !IsUsableCdb(cdb, cdbLength)) return false;
  if (dataLength != 0 && data == nullptr) return false;
  orb::platform::ScsiOutcome outcome;
  if (!simulation->ScsiCommand(static_cast<wchar_t>(L'A' + selectedDrive_), cdb, cdbLength, direction, data,
                               dataLength, &outcome)) {
    return false;
  }
  return CompleteCommand(outcome);
}

bool ExecScsiSimulated::ExecNoData(const std::uint8_t* cdb, std::uint32_t cdbLength) {
  return Send(cdb, cdbLength, ScsiDirection::kNone, nullptr, 0);
}

bool ExecScsiSimulated::ExecDataIn(const std::uint8_t* cdb, std::uint32_t cdbLength, void* data,
                                   std::uint32_t dataLength) {
  return Send(cdb, cdbLength, ScsiDirection::kIn, data, dataLength);
}

bool ExecScsiSimulated::ExecDataOut(const std::uint8_t* cdb, std::uint32_t cdbLength, const void* data,
                                    std::uint32_t dataLength) {
  return Send(cdb, cdbLength, ScsiDirection::kOut, const_cast<void*>(data), dataLength);
}
