// entry_name.h - which entry names may be written below an install folder.
// The reader refuses other names, and the installer checks again before it
// appends a name to its folder.
#pragma once

#include <cstddef>
#include <string_view>

#include "base/device_name.h"

namespace orb::package {

// An element that the file systems would read as "here" or "up": only dots
// and spaces (Windows drops trailing dots and spaces, so ". ." and "..."
// are no safer than "..").
inline bool IsDotsOnly(std::string_view element) {
  for (const char c : element) {
    if (c != '.' && c != ' ') return false;
  }
  return true;
}

// The name must stay below the folder it is appended to, on every system:
// relative, "/" between elements, no backslash or NUL, no element that is
// empty, only dots, or a device. An empty name is the folder itself, which
// only a directory entry may name; one trailing "/" may close a directory
// name.
inline bool IsSafeEntryName(std::string_view name, bool directory) {
  if (name.empty()) return directory;
  if (name.front() == '/') return false;
  if (name.find_first_of(std::string_view("\\\0", 2)) != std::string_view::npos) return false;
  if (name.back() == '/') name.remove_suffix(1);
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = name.find('/', start);
    const std::string_view element = name.substr(start, end == std::string_view::npos ? end : end - start);
    if (element.empty() || IsDotsOnly(element) || orb::IsWindowsDeviceName(element)) return false;
    if (end == std::string_view::npos) return true;
    start = end + 1;
  }
}

}  // namespace orb::package
