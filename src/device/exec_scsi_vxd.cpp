// exec_scsi_vxd.cpp - the Windows 9x back end: drive check only.
#include "device/exec_scsi_vxd.h"

bool ExecScsiVxd::OpenDevice(int) { return true; }

bool ExecScsiVxd::Transfer(const std::uint8_t*, std::uint32_t, orb::platform::ScsiDirection, void*, std::uint32_t,
                           orb::platform::ScsiOutcome*) {
  return false;
}
