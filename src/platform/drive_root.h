// drive_root.h - where the volume behind a drive letter lives.
//
// Drive storages are named by a letter on every platform. On Windows the
// letter is the drive itself ("F:\"). Linux has no letters: the system part
// of the Linux layer assigns them to mounted removable volumes and answers
// with the mount directory.
//
// A process may map letters itself, ahead of the system's own drives. Tests
// and the virtual handheld use this to put a drive on a temporary directory;
// the mapping works the same on both platforms.
#pragma once

#include <string>

#include "platform/file.h"

namespace orb::platform {

// The root directory of the drive, ending in the path separator. Failures:
// win32_error::kPathNotFound when no drive has the letter,
// win32_error::kNotReady when the drive has no medium. Letters are
// case-insensitive.
SysError DriveRoot(wchar_t letter, std::wstring* root);

// Puts the drive with this letter on a directory of the host. An empty
// directory maps a drive without a medium (kNotReady).
void MapDrive(wchar_t letter, const std::wstring& directory);
// Gives the letter back to the system's own drives.
void UnmapDrive(wchar_t letter);

}  // namespace orb::platform
