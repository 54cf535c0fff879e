// exec_scsi_simulated.cpp
#include "device/exec_scsi_simulated.h"

bool ExecScsiSimulated::OpenDevice(int driveIndex) {
  orb::platform::DeviceSimulation* simulation = orb::platform::ActiveDeviceSimulation();
  return simulation != nullptr && simulation->ScsiOpen(static_cast<wchar_t>(L'A' + driveIndex));
}

bool ExecScsiSimulated::Transfer(const std::uint8_t* cdb, std::uint32_t cdbLength,
                                 orb::platform::ScsiDirection direction, void* data, std::uint32_t dataLength,
                                 orb::platform::ScsiOutcome* outcome) {
  orb::platform::DeviceSimulation* simulation = orb::platform::ActiveDeviceSimulation();
  return simulation != nullptr &&
         simulation->ScsiCommand(static_cast<wchar_t>(L'A' + selectedDrive_), cdb, cdbLength, direction, data,
                                 dataLength, outcome);
}
