// drive_root.cpp (POSIX) - Linux has no drive letters of its own.
// The drive table of mounted removable volumes answers here once it exists;
// until then only letters that the process mapped itself have a drive.
#include "platform/system_parts.h"

#include "base/status.h"

namespace orb::platform {

SysError SystemDriveRoot(wchar_t /*letter*/, std::wstring* /*root*/) {
  return win32_error::kPathNotFound;
}

}  // namespace orb::platform
