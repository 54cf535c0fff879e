// exec_scsi_sg_io_posix.cpp (Linux) - SG_IO on the whole disk.
#include "device/exec_scsi_sg_io.h"

#include <fcntl.h>
#include <scsi/sg.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/posix/removable_volumes.h"

namespace {
constexpr unsigned kTimeoutMs = 5000;
constexpr unsigned short kDriverSense = 0x08;  // sense data present: not a transport failure
}  // namespace

ExecScsiSgIo::~ExecScsiSgIo() { CloseDisk(); }

void ExecScsiSgIo::CloseDisk() {
  if (disk_ >= 0) close(disk_);
  disk_ = -1;
}

bool ExecScsiSgIo::OpenDevice(int driveIndex) {
  CloseDisk();
  orb::platform::posix::RemovableVolume volume;
  if (!orb::platform::posix::FindSystemVolume(static_cast<wchar_t>(L'A' + driveIndex), &volume)) return false;
  disk_ = open(volume.diskNode.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
  // Read access is enough for the commands the kernel lets anyone send.
  if (disk_ < 0 && (errno == EACCES || errno == EROFS || errno == EPERM)) {
    disk_ = open(volume.diskNode.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  }
  return disk_ >= 0;
}

bool ExecScsiSgIo::Transfer(const std::uint8_t* cdb, std::uint32_t cdbLength,
                            orb::platform::ScsiDirection direction, void* data, std::uint32_t dataLength,
                            orb::platform::ScsiOutcome* outcome) {
  if (disk_ < 0) return false;
  unsigned char command[kMaxCdbLength] = {};
  std::memcpy(command, cdb, cdbLength);
  unsigned char sense[orb::platform::kScsiSenseLength] = {};
  sg_io_hdr_t request;
  std::memset(&request, 0, sizeof request);
  request.interface_id = 'S';
  request.dxfer_direction = dataLength == 0 ? SG_DXFER_NONE
                            : direction == orb::platform::ScsiDirection::kIn  ? SG_DXFER_FROM_DEV
                            : direction == orb::platform::ScsiDirection::kOut ? SG_DXFER_TO_DEV
                                                                               : SG_DXFER_NONE;
  request.cmd_len = static_cast<unsigned char>(cdbLength);
  request.mx_sb_len = sizeof sense;
  request.dxfer_len = request.dxfer_direction == SG_DXFER_NONE ? 0 : dataLength;
  request.dxferp = request.dxfer_direction == SG_DXFER_NONE ? nullptr : data;
  request.cmdp = command;
  request.sbp = sense;
  request.timeout = kTimeoutMs;
  if (ioctl(disk_, SG_IO, &request) != 0) return false;
  // The adapter or driver failed to carry the command (time-out, device
  // gone): like a failed pass-through call on Windows.
  if (request.host_status != 0 || (request.driver_status & ~kDriverSense) != 0) return false;
  outcome->status = request.status;
  std::memcpy(outcome->sense, sense, sizeof outcome->sense);
  return true;
}
