// file_system.h - files and directories by name, free space, and the path
// form of the host.
//
// Failures are Windows error numbers on every platform (see file.h); where
// POSIX has no such distinction the layer makes it the way Windows does:
// a missing last component is "file not found" (2), a missing directory on
// the way is "path not found" (3).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/file.h"

namespace orb::platform {

#ifdef _WIN32
constexpr wchar_t kPathSeparator = L'\\';
#else
constexpr wchar_t kPathSeparator = L'/';
#endif

// Attributes in the Windows form (file_attribute::k...): a directory has
// kDirectory; kReadOnly is set for a file or directory that cannot be
// written (on POSIX: no write permission for the owner, or a file system
// mounted read-only, as a locked memory card is).
SysError GetAttributes(const std::wstring& path, std::uint32_t* attributes);

SysError MakeDirectory(const std::wstring& path);
// Removes an empty directory.
SysError RemoveEmptyDirectory(const std::wstring& path);
SysError RemoveFile(const std::wstring& path);

struct DirectoryEntry {
  std::wstring name;
  bool isDirectory = false;
};
// The entries of a directory without "." and "..".
SysError ListDirectory(const std::wstring& path, std::vector<DirectoryEntry>* entries);

// Removes a directory with everything in it. Links inside it are removed,
// never followed. The first failure is returned, after everything else
// that could go is gone; a missing directory is success.
SysError RemoveTree(const std::wstring& path);

// Space on the volume that holds path: the bytes the calling user may still
// use (a quota counts) and the volume's total.
SysError GetDiskSpace(const std::wstring& path, std::uint64_t* freeToCaller, std::uint64_t* total);

// Gives the rest of this thread's time slice to another ready thread.
void YieldThread();

}  // namespace orb::platform
