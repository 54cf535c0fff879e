// drive_table.h - the computer's drive letters: which exist, of what type,
// and how much room they have. Where a letter's files are is drive_root.h.
//
// On Windows these are the system's own drive letters. On Linux there are
// no drive letters, so the mounted volumes of removable and USB-attached
// block devices are given letters by a fixed rule (see
// posix/removable_volumes.h and the README); every other letter is absent.
//
// A device simulation (device_simulation.h) may answer these questions in
// place of the system.
#pragma once

#include <cstdint>
#include <string>

#include "platform/file.h"

namespace orb::platform {

// Numbered as the Windows drive types, so code and tests read the same.
enum class DriveType : std::uint32_t {
  kUnknown = 0,
  kNoRootDir = 1,  // no such drive
  kRemovable = 2,
  kFixed = 3,
  kRemote = 4,
  kCdRom = 5,
  kRamDisk = 6,
};

struct DriveSpace {
  std::uint64_t totalBytes = 0;
  std::uint64_t freeBytesForCaller = 0;  // what the calling user may still use
};

// True for 'A'..'Z' and 'a'..'z'; DriveIndex gives 0 for A to 25 for Z.
bool IsDriveLetter(wchar_t letter);
int DriveIndex(wchar_t letter);

// True where the system itself has drive letters (Windows); elsewhere the
// letters are this program's own (the removable-volume rule).
bool SystemHasDriveLetters();

// Bit i set: the drive 'A' + i exists now.
std::uint32_t GetLogicalDriveMask();

// The type of the drive's root; kNoRootDir for a letter that names no
// drive (or is not a letter).
DriveType GetDriveType(wchar_t letter);

// Size and free space of the volume on the drive (of its root, see
// DriveRoot): not ready (21) for an empty card slot, path not found (3) for
// a letter without a drive, ...
SysError GetDriveSpace(wchar_t letter, DriveSpace* space);

}  // namespace orb::platform
