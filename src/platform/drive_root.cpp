// drive_root.cpp - the process's own drive mappings; the system's drives
// come from SystemDriveRoot of the platform part.
#include "platform/drive_root.h"

#include <map>
#include <mutex>

#include "base/status.h"
#include "platform/file_system.h"
#include "platform/system_parts.h"

namespace orb::platform {

namespace {

struct Mappings {
  std::mutex lock;
  std::map<wchar_t, std::wstring> roots;
};

Mappings& TheMappings() {
  static Mappings mappings;
  return mappings;
}

wchar_t UpperLetter(wchar_t letter) {
  return (letter >= L'a' && letter <= L'z') ? static_cast<wchar_t>(letter - L'a' + L'A') : letter;
}

}  // namespace

SysError DriveRoot(wchar_t letter, std::wstring* root) {
  letter = UpperLetter(letter);
  if (letter < L'A' || letter > L'Z') return win32_error::kPathNotFound;
  {
    Mappings& m = TheMappings();
    std::lock_guard<std::mutex> guard(m.lock);
    auto it = m.roots.find(letter);
    if (it != m.roots.end()) {
      if (it->second.empty()) return win32_error::kNotReady;
      *root = it->second;
      if (root->back() != kPathSeparator) root->push_back(kPathSeparator);
      return win32_error::kSuccess;
    }
  }
  return SystemDriveRoot(letter, root);
}

void MapDrive(wchar_t letter, const std::wstring& directory) {
  Mappings& m = TheMappings();
  std::lock_guard<std::mutex> guard(m.lock);
  m.roots[UpperLetter(letter)] = directory;
}

void UnmapDrive(wchar_t letter) {
  Mappings& m = TheMappings();
  std::lock_guard<std::mutex> guard(m.lock);
  m.roots.erase(UpperLetter(letter));
}

}  // namespace orb::platform
