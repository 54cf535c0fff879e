// system_parts.h - what the portable files of the platform layer ask of its
// per-platform part (win32/ or posix/). Nothing outside the platform layer
// includes this header.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/drive_table.h"
#include "platform/file.h"
#include "platform/url.h"

namespace orb::platform {

// The system's own drive for a letter (upper case A..Z), after the
// process's own mappings were asked. Windows: the letter itself. Linux: the
// drive table of mounted removable volumes. Same failures as DriveRoot.
SysError SystemDriveRoot(wchar_t letter, std::wstring* root);

// The system's drive table (drive_table.h), asked when no device
// simulation answered. Letters are upper case A..Z.
std::uint32_t SystemLogicalDriveMask();
DriveType SystemDriveType(wchar_t letter);

// Windows: WinINet's cracker. Linux: our own, with the same results for
// the URLs the program meets. The portable part has already refused what
// neither may see (see url.cpp).
SysError SystemCrackUrl(const wchar_t* url, std::size_t hostCapacity, std::size_t pathCapacity,
                        CrackedUrl* out);

// Windows: WinINet's splitter and composer. Linux: our own, with the same
// results for the URLs the program meets. The portable part has already
// refused a null or empty URL and a password without a user name.
SysError SystemSplitUrl(const wchar_t* url, UrlParts* out);
SysError SystemComposeUrl(const UrlParts& parts, std::size_t capacity, std::wstring* url);

}  // namespace orb::platform
