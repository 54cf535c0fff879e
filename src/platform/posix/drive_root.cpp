// drive_root.cpp (POSIX) - a letter's root is the mount directory of the
// removable volume that the drive table gave it.
#include "platform/system_parts.h"

#include "base/status.h"
#include "base/wide_text.h"
#include "platform/posix/removable_volumes.h"

namespace orb::platform {

SysError SystemDriveRoot(wchar_t letter, std::wstring* root) {
  posix::RemovableVolume volume;
  if (!posix::FindSystemVolume(letter, &volume)) return win32_error::kPathNotFound;
  *root = Utf8ToWide(volume.mountPoint);
  if (root->empty() || root->back() != L'/') root->push_back(L'/');
  return win32_error::kSuccess;
}

}  // namespace orb::platform
