// exec_scsi.cpp - the SCSI front.
#include "device/exec_scsi.h"

#include <new>

#include "device/exec_scsi_simulated.h"
#include "device/exec_scsi_vxd.h"
#include "platform/device_simulation.h"

ExecScsi::ExecScsi(int type) {
  if (type == kPassThrough) {
    // A simulated device replaces the pass-through, never the driver back
    // end, which only Windows 9x would choose.
    if (orb::platform::ActiveDeviceSimulation() != nullptr) {
      backEnd_ = new (std::nothrow) ExecScsiSimulated();
    } else {
      backEnd_ = NewSystemPassThroughBackEnd();
    }
  } else if (type == kDriver) {
    backEnd_ = new (std::nothrow) ExecScsiVxd();
  }
}

ExecScsi::~ExecScsi() { delete backEnd_; }

int ExecScsi::SystemBackEndType() { return IsNtPlatform() ? kPassThrough : kDriver; }
