// exec_scsi_vxd.h - the back end of Windows 9x systems, which sent its
// requests to the maker's pass-through driver. No system this program runs
// on loads that driver, so the back end keeps the drive check and reports
// every command as failed.
#pragma once

#include "device/exec_scsi_interface.h"

class ExecScsiVxd : public ExecScsiInterface {
 public:
  bool ExecNoData(const std::uint8_t* cdb, std::uint32_t cdbLength) override;
  bool ExecDataIn(const std::uint8_t* cdb, std::uint32_t cdbLength, void* data,
                  std::uint32_t dataLength) override;
  bool ExecDataOut(const std::uint8_t* cdb, std::uint32_t cdbLength, const void* data,
                   std::uint32_t dataLength) override;
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
