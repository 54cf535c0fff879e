// file_tree.cpp - removing a whole directory, on top of the per-platform
// file functions (which list links as plain entries, so they are never
// followed).
#include "platform/file_system.h"

#include "base/status.h"

namespace orb::platform {

SysError RemoveTree(const std::wstring& path) {
  std::vector<DirectoryEntry> entries;
  SysError e = ListDirectory(path, &entries);
  if (e == win32_error::kFileNotFound || e == win32_error::kPathNotFound) return win32_error::kSuccess;
  if (e != win32_error::kSuccess) return e;
  std::wstring base = path;
  if (!base.empty() && base.back() != kPathSeparator) base.push_back(kPathSeparator);
  SysError first = win32_error::kSuccess;
  for (const DirectoryEntry& entry : entries) {
    const std::wstring full = base + entry.name;
    e = entry.isDirectory ? RemoveTree(full) : RemoveFile(full);
    if (first == win32_error::kSuccess) first = e;
  }
  e = RemoveEmptyDirectory(path);
  return first != win32_error::kSuccess ? first : e;
}

}  // namespace orb::platform
