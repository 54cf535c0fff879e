// exec_scsi_spti_win32.cpp (Windows) - SCSI pass-through on the volume.
#include "device/exec_scsi_spti.h"

#include <cstddef>
#include <cstring>

#include "platform/win32/windows_api.h"
#include <winioctl.h>
#include <ntddscsi.h>


namespace {

// The request of IOCTL_SCSI_PASS_THROUGH_DIRECT, declared here at the layout
// the system defines for this build's pointer size, followed by room for
// the sense data. One buffer serves as input and output.
struct PassThroughDirect {
  USHORT Length;
  UCHAR ScsiStatus;
  UCHAR PathId;
  UCHAR TargetId;
  UCHAR Lun;
  UCHAR CdbLength;
  UCHAR SenseInfoLength;
  UCHAR DataIn;
  ULONG DataTransferLength;
  ULONG TimeOutValue;
  PVOID DataBuffer;
  ULONG SenseInfoOffset;
  UCHAR Cdb[16];
};

struct PassThroughRequest {
  PassThroughDirect header;
  ULONG filler;  // keeps the sense data where the system expects it
  UCHAR sense[32];
};

// Layout checks: the fixed layout of each pointer size, and agreement with
// the toolchain's own declaration.
#if defined(_WIN64)
static_assert(sizeof(void*) == 8);
static_assert(sizeof(PassThroughDirect) == 56);
static_assert(offsetof(PassThroughDirect, DataBuffer) == 24);
static_assert(offsetof(PassThroughDirect, SenseInfoOffset) == 32);
static_assert(offsetof(PassThroughDirect, Cdb) == 36);
static_assert(offsetof(PassThroughRequest, sense) == 60);
static_assert(sizeof(PassThroughRequest) == 96);
#else
static_assert(sizeof(void*) == 4);
static_assert(sizeof(PassThroughDirect) == 44);
static_assert(offsetof(PassThroughDirect, DataBuffer) == 20);
static_assert(offsetof(PassThroughDirect, SenseInfoOffset) == 24);
static_assert(offsetof(PassThroughDirect, Cdb) == 28);
static_assert(offsetof(PassThroughRequest, sense) == 48);
static_assert(sizeof(PassThroughRequest) == 80);
#endif
static_assert(offsetof(PassThroughDirect, ScsiStatus) == 2);
static_assert(offsetof(PassThroughDirect, TargetId) == 4);
static_assert(offsetof(PassThroughDirect, CdbLength) == 6);
static_assert(offsetof(PassThroughDirect, SenseInfoLength) == 7);
static_assert(offsetof(PassThroughDirect, DataIn) == 8);
static_assert(offsetof(PassThroughDirect, DataTransferLength) == 12);
static_assert(offsetof(PassThroughDirect, TimeOutValue) == 16);
static_assert(sizeof(PassThroughDirect) == sizeof(SCSI_PASS_THROUGH_DIRECT));
static_assert(offsetof(PassThroughDirect, DataBuffer) == offsetof(SCSI_PASS_THROUGH_DIRECT, DataBuffer));
static_assert(offsetof(PassThroughDirect, SenseInfoOffset) ==
              offsetof(SCSI_PASS_THROUGH_DIRECT, SenseInfoOffset));
static_assert(offsetof(PassThroughDirect, Cdb) == offsetof(SCSI_PASS_THROUGH_DIRECT, Cdb));
static_assert(IOCTL_SCSI_PASS_THROUGH_DIRECT == 0x4D014);

constexpr UCHAR kDataOut = 0;  // SCSI_IOCTL_DATA_OUT
constexpr UCHAR kDataIn = 1;   // SCSI_IOCTL_DATA_IN
constexpr UCHAR kNoData = 2;   // SCSI_IOCTL_DATA_UNSPECIFIED
constexpr ULONG kTimeoutSeconds = 5;

}  // namespace

ExecScsiSpti::~ExecScsiSpti() { CloseVolume(); }

void ExecScsiSpti::CloseVolume() {
  if (volume_ != nullptr) CloseHandle(volume_);
  volume_ = nullptr;
}

bool ExecScsiSpti::OpenDevice(int driveIndex) {
  CloseVolume();
  const wchar_t path[] = {L'\\', L'\\', L'.', L'\\', static_cast<wchar_t>(L'A' + driveIndex), L':', L'\0'};
  HANDLE volume = CreateFileW(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
  if (volume == INVALID_HANDLE_VALUE) return false;
  volume_ = volume;
  return true;
}

bool ExecScsiSpti::Transfer(const std::uint8_t* cdb, std::uint32_t cdbLength,
                            orb::platform::ScsiDirection direction, void* data, std::uint32_t dataLength,
                            orb::platform::ScsiOutcome* outcome) {
  if (volume_ == nullptr) return false;
  PassThroughRequest request;
  std::memset(&request, 0, sizeof request);
  request.header.Length = sizeof(PassThroughDirect);
  request.header.PathId = 0;
  request.header.TargetId = 1;
  request.header.Lun = 0;
  request.header.CdbLength = static_cast<UCHAR>(cdbLength);
  request.header.SenseInfoLength = orb::platform::kScsiSenseLength;
  request.header.DataIn = direction == orb::platform::ScsiDirection::kIn    ? kDataIn
                          : direction == orb::platform::ScsiDirection::kOut ? kDataOut
                                                                            : kNoData;
  request.header.DataTransferLength = dataLength;
  request.header.TimeOutValue = kTimeoutSeconds;
  request.header.DataBuffer = data;
  request.header.SenseInfoOffset = offsetof(PassThroughRequest, sense);
  std::memcpy(request.header.Cdb, cdb, cdbLength);
  DWORD returned = 0;
  if (!DeviceIoControl(volume_, IOCTL_SCSI_PASS_THROUGH_DIRECT, &request, sizeof request, &request,
                       sizeof request, &returned, nullptr)) {
    return false;
  }
  outcome->status = request.header.ScsiStatus;
  std::memcpy(outcome->sense, request.sense, sizeof outcome->sense);
  return true;
}
