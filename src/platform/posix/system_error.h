// system_error.h (POSIX) - errno values as the Windows error numbers that
// the rest of the program sees on every platform.
#pragma once

#include <string>

#include "platform/file.h"

namespace orb::platform {

// path is the name the failed call was given; it tells a missing file (2)
// from a missing directory on the way (3), as Windows does.
SysError ErrorFromErrno(int error, const std::string& path);

// The host's narrow (UTF-8) form of a wide path. A path with a NUL inside
// would name another file once narrowed: win32_error::kInvalidName.
SysError NarrowPath(const std::wstring& path, std::string* narrow);

}  // namespace orb::platform
