// exec_scsi_spti.h (Windows) - SCSI pass-through on NT-family Windows: the
// command goes to the drive's volume with IOCTL_SCSI_PASS_THROUGH_DIRECT.
#pragma once

#include "device/exec_scsi_interface.h"

class ExecScsiSpti : public ExecScsiInterface {
 public:
  ExecScsiSpti() = default;
  ~ExecScsiSpti() override;

  bool ExecNoData(const std::uint8_t* cdb, std::uint32_t cdbLength) override;
  bool ExecDataIn(const std::uint8_t* cdb, std::uint32_t cdbLength, void* data,
                  std::uint32_t dataLength) override;
  bool ExecDataOut(const std::uint8_t* cdb, std::uint32_t cdbLength, const void* data,
                   std::uint32_t dataLength) override;
  // Opens the volume once; the same index again reuses the open handle.
  bool OpenDrive(int driveIndex) override;

 private:
  bool Send(const std::uint8_t* cdb, std::uint32_t cdbLength, orb::platform::ScsiDirection direction,
            void* data, std::uint32_t dataLength);
  void CloseVolume();

  void* volume_ = nullptr;  // the volume's handle; null when none
};
