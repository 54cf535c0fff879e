// exec_scsi_sg_io.h (Linux) - SCSI pass-through on Linux: the command goes
// to the drive's whole disk (/dev/sdX) with the SG_IO request of the sd and
// sg drivers, under the same sense and last-error rules as on Windows.
//
// Opening the disk needs read access to its device node; commands outside
// the kernel's list of safe ones (the handheld's vendor commands among
// them) need the CAP_SYS_RAWIO capability.
#pragma once

#include "device/exec_scsi_interface.h"

class ExecScsiSgIo : public ExecScsiTransport {
 public:
  ExecScsiSgIo() = default;
  ~ExecScsiSgIo() override;

 protected:
  bool OpenDevice(int driveIndex) override;
  bool Transfer(const std::uint8_t* cdb, std::uint32_t cdbLength, orb::platform::ScsiDirection direction,
                void* data, std::uint32_t dataLength, orb::platform::ScsiOutcome* outcome) override;

 private:
  void CloseDisk();

  int disk_ = -1;
};
