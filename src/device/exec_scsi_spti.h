// exec_scsi_spti.h (Windows) - SCSI pass-through on NT-family Windows: the
// command goes to the drive's volume with IOCTL_SCSI_PASS_THROUGH_DIRECT.
#pragma once

#include "device/exec_scsi_interface.h"

class ExecScsiSpti : public ExecScsiTransport {
 public:
  ExecScsiSpti() = default;
  ~ExecScsiSpti() override;

 protected:
  bool OpenDevice(int driveIndex) override;
  bool Transfer(const std::uint8_t* cdb, std::uint32_t cdbLength, orb::platform::ScsiDirection direction,
                void* data, std::uint32_t dataLength, orb::platform::ScsiOutcome* outcome) override;

 private:
  void CloseVolume();

  void* volume_ = nullptr;  // the volume's handle; null when none
};
