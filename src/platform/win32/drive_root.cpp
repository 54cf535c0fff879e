// drive_root.cpp (Windows) - the letter is the drive.
#include "platform/system_parts.h"

#include "base/status.h"

namespace orb::platform {

SysError SystemDriveRoot(wchar_t letter, std::wstring* root) {
  *root = std::wstring(1, letter) + L":\\";
  return win32_error::kSuccess;
}

}  // namespace orb::platform
