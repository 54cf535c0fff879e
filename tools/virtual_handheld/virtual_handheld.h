// virtual_handheld.h - a handheld that exists only in its description: it
// answers the drive table (where the system has no drive letters of its
// own), every SCSI command and the USB identity of its drives, byte for
// byte as the device would.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/device_simulation.h"
#include "virtual_handheld/handheld_description.h"

namespace orb::virtual_handheld {

class VirtualHandheld : public orb::platform::DeviceSimulation {
 public:
  // ownsDriveTable: answer the drive table from the description (Linux).
  // Otherwise the system's drive letters stay in force (Windows, where the
  // set-up tool makes the described drives real letters) and only the
  // questions no drive can answer there are simulated.
  VirtualHandheld(HandheldDescription description, bool ownsDriveTable);

  bool DriveMask(std::uint32_t* mask) override;
  bool DriveTypeOf(wchar_t letter, orb::platform::DriveType* type) override;
  bool DriveSpaceOf(wchar_t letter, orb::platform::SysError* error, orb::platform::DriveSpace* space) override;
  bool ScsiOpen(wchar_t letter) override;
  bool ScsiCommand(wchar_t letter, const std::uint8_t* cdb, std::size_t cdbLength,
                   orb::platform::ScsiDirection direction, void* data, std::uint32_t dataLength,
                   orb::platform::ScsiOutcome* outcome) override;
  orb::platform::UsbLookup UsbIdentityOf(wchar_t letter, orb::platform::UsbIdentity* identity) override;

  // Where the drive table is ours, puts each described drive's letter on
  // its Root (a drive without one has no medium), and takes them back.
  void MapDrives() const;
  void UnmapDrives() const;

  const HandheldDescription& description() const { return description_; }

 private:
  HandheldDescription description_;
  bool ownsDriveTable_;
};

// One command answered by one described drive, as the device would: the
// data it returns (at most dataLength bytes, the rest of the buffer left as
// it was) and its status and sense.
void AnswerScsi(const DriveDescription& drive, const std::uint8_t* cdb, std::size_t cdbLength,
                orb::platform::ScsiDirection direction, void* data, std::uint32_t dataLength,
                orb::platform::ScsiOutcome* outcome);

}  // namespace orb::virtual_handheld
