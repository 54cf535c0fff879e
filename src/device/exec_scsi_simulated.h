// exec_scsi_simulated.h - the pass-through back end while a device
// simulation is installed: the same drive check, open and sense rules as
// the system back ends, with the simulation in place of the device.
#pragma once

#include "device/exec_scsi_interface.h"

class ExecScsiSimulated : public ExecScsiTransport {
 protected:
  bool OpenDevice(int driveIndex) override;
  bool Transfer(const std::uint8_t* cdb, std::uint32_t cdbLength, orb::platform::ScsiDirection direction,
                void* data, std::uint32_t dataLength, orb::platform::ScsiOutcome* outcome) override;
};
