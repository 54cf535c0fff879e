// exec_scsi_simulated.h - the pass-through back end while a device
// simulation is installed: the same drive check, open and sense rules as
// the system back ends, with the simulation in place of the device.
#pragma once

#include "device/exec_scsi_interface.h"

class ExecScsiSimulated : public ExecScsiInterface {
 public:
  bool ExecNoData(const std::uint8_t* cdb, std::uint32_t cdbLength) override;
  bool ExecDataIn(const std::uint8_t* cdb, std::uint32_t cdbLength, void* data,
                  std::uint32_t dataLength) override;
  bool ExecDataOut(const std::uint8_t* cdb, std::uint32_t cdbLength, const void* data,
                   std::uint32_t dataLength) override;
  bool OpenDrive(int driveIndex) override;

 private:
  bool Send(const std::uint8_t* cdb, std::uint32_t cdbLength, orb::platform::ScsiDirection direction,
            void* data, std::uint32_t dataLength);

  bool open_ = false;
};
