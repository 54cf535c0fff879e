// drive_table.cpp (Windows) - the system's drive letters.
#include "platform/system_parts.h"

#include "platform/win32/windows_api.h"

namespace orb::platform {

bool SystemHasDriveLetters() { return true; }

std::uint32_t SystemLogicalDriveMask() { return static_cast<std::uint32_t>(GetLogicalDrives()); }

DriveType SystemDriveType(wchar_t letter) {
  const wchar_t root[] = {letter, L':', L'\\', L'\0'};
  return static_cast<DriveType>(GetDriveTypeW(root));
}

}  // namespace orb::platform
