// exec_scsi_vxd.h - the back end of Windows 9x systems, which sent its
// requests to the maker's pass-through driver. No system this program runs
// on loads that driver, so the back end keeps the drive check and reports
// every command as failed.
#pragma once

#include "device/exec_scsi_interface.h"

class ExecScsiVxd : public ExecScsiTransport {
 protected:
  bool OpenDevice(int driveIndex) override;
  bool Transfer(const std::uint8_t* cdb, std::uint32_t cdbLength, orb::platform::ScsiDirection direction,
                void* data, std::uint32_t dataLength, orb::platform::ScsiOutcome* outcome) override;
};

// The process-wide handle of the Windows 9x pass-through driver. Loaded at
// program start only on systems that are not NT-family; otherwise (always,
// in practice) it stays closed.
class ScsiPassThroughDriver {
 public:
  static void Load();
  static void Unload();
  static bool IsLoaded();
};
