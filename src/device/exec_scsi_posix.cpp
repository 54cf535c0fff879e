// exec_scsi_posix.cpp (Linux) - the SG_IO back end fits every Linux system;
// there is no driver to load.
#include "device/exec_scsi.h"

#include <new>

#include "device/exec_scsi_sg_io.h"
#include "device/exec_scsi_vxd.h"

ExecScsiInterface* NewSystemPassThroughBackEnd() { return new (std::nothrow) ExecScsiSgIo(); }

bool IsNtPlatform() { return true; }

void ScsiPassThroughDriver::Load() {}

void ScsiPassThroughDriver::Unload() {}

bool ScsiPassThroughDriver::IsLoaded() { return false; }
