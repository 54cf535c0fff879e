// drive_table.cpp (POSIX) - drive letters of the mounted removable volumes.
#include "platform/system_parts.h"

#include "platform/posix/removable_volumes.h"

namespace orb::platform {

bool SystemHasDriveLetters() { return false; }

std::uint32_t SystemLogicalDriveMask() { return posix::SystemVolumeMask(); }

DriveType SystemDriveType(wchar_t letter) {
  posix::RemovableVolume volume;
  if (!posix::FindSystemVolume(letter, &volume)) return DriveType::kNoRootDir;
  return volume.type;
}

}  // namespace orb::platform
