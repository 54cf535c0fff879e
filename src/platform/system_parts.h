// system_parts.h - what the portable files of the platform layer ask of its
// per-platform part (win32/ or posix/). Nothing outside the platform layer
// includes this header.
#pragma once

#include <string>

#include "platform/file.h"

namespace orb::platform {

// The system's own drive for a letter (upper case A..Z), after the
// process's own mappings were asked. Windows: the letter itself. Linux: the
// drive table of mounted removable volumes; until that table exists no
// letter has a drive there. Same failures as DriveRoot.
SysError SystemDriveRoot(wchar_t letter, std::wstring* root);

}  // namespace orb::platform
