// scsi_command.cpp
#include "device/scsi_command.h"

#include "device/exec_scsi.h"

namespace orb::device {

bool ScsiDataIn(wchar_t letter, const std::uint8_t* cdb, std::uint32_t cdbLength, void* data,
                std::uint32_t dataLength) {
  if (!IsUpperDriveLetter(letter)) return false;
  ExecScsi front(ExecScsi::SystemBackEndType());
  ExecScsiInterface* backEnd = front.GetBackEnd();
  return backEnd != nullptr && backEnd->OpenDrive(static_cast<int>(letter - L'A')) &&
         backEnd->ExecDataIn(cdb, cdbLength, data, dataLength);
}

}  // namespace orb::device
