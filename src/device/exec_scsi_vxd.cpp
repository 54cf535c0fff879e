// exec_scsi_vxd.cpp - the Windows 9x back end: drive check only.
#include "device/exec_scsi_vxd.h"

bool ExecScsiVxd::ExecNoData(const std::uint8_t*, std::uint32_t) {
  BeginCommand();
  return false;
}

bool ExecScsiVxd::ExecDataIn(const std::uint8_t*, std::uint32_t, void*, std::uint32_t) {
  BeginCommand();
  return false;
}

bool ExecScsiVxd::ExecDataOut(const std::uint8_t*, std::uint32_t, const void*, std::uint32_t) {
  BeginCommand();
  return false;
}
