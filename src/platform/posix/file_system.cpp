// file_system.cpp (POSIX)
#include "platform/file_system.h"

#include <dirent.h>
#include <sched.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "base/status.h"
#include "base/wide_text.h"
#include "platform/posix/system_error.h"

namespace orb::platform {

SysError GetAttributes(const std::wstring& path, std::uint32_t* attributes) {
  std::string narrow;
  if (SysError e = NarrowPath(path, &narrow)) return e;
  struct stat st {};
  if (stat(narrow.c_str(), &st) != 0) return ErrorFromErrno(errno, narrow);
  bool readOnly = (st.st_mode & S_IWUSR) == 0;
  struct statvfs vfs {};
  if (statvfs(narrow.c_str(), &vfs) == 0 && (vfs.f_flag & ST_RDONLY) != 0) readOnly = true;
  std::uint32_t a = S_ISDIR(st.st_mode) ? file_attribute::kDirectory : 0;
  if (readOnly) a |= file_attribute::kReadOnly;
  *attributes = a != 0 ? a : file_attribute::kNormal;
  return win32_error::kSuccess;
}

SysError MakeDirectory(const std::wstring& path) {
  std::string narrow;
  if (SysError e = NarrowPath(path, &narrow)) return e;
  if (mkdir(narrow.c_str(), 0777) != 0) return ErrorFromErrno(errno, narrow);
  return win32_error::kSuccess;
}

SysError RemoveEmptyDirectory(const std::wstring& path) {
  std::string narrow;
  if (SysError e = NarrowPath(path, &narrow)) return e;
  if (rmdir(narrow.c_str()) == 0) return win32_error::kSuccess;
  const int error = errno;
  struct stat st {};
  if (error == ENOTDIR && lstat(narrow.c_str(), &st) == 0) return win32_error::kDirectory;
  if (error == EEXIST) return win32_error::kDirNotEmpty;
  return ErrorFromErrno(error, narrow);
}

SysError RemoveFile(const std::wstring& path) {
  std::string narrow;
  if (SysError e = NarrowPath(path, &narrow)) return e;
  if (unlink(narrow.c_str()) != 0) return ErrorFromErrno(errno, narrow);
  return win32_error::kSuccess;
}

SysError ListDirectory(const std::wstring& path, std::vector<DirectoryEntry>* entries) {
  entries->clear();
  std::string narrow;
  if (SysError e = NarrowPath(path, &narrow)) return e;
  DIR* dir = opendir(narrow.c_str());
  // Windows lists "dir\*", so a missing directory is a missing path.
  if (dir == nullptr) return ErrorFromErrno(errno, narrow + "/*");
  SysError result = win32_error::kSuccess;
  for (;;) {
    errno = 0;
    const dirent* entry = readdir(dir);
    if (entry == nullptr) {
      if (errno != 0) result = ErrorFromErrno(errno, narrow);
      break;
    }
    if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0) continue;
    DirectoryEntry e;
    e.name = Utf8ToWide(entry->d_name);
    // A symbolic link is never a directory here: removing a tree must not
    // follow a link into a directory outside it.
    if (entry->d_type == DT_DIR) {
      e.isDirectory = true;
    } else if (entry->d_type == DT_UNKNOWN) {
      struct stat st {};
      const std::string full = narrow + "/" + entry->d_name;
      e.isDirectory = lstat(full.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
    }
    entries->push_back(std::move(e));
  }
  closedir(dir);
  return result;
}

SysError GetDiskSpace(const std::wstring& path, std::uint64_t* freeToCaller, std::uint64_t* total) {
  std::string narrow;
  if (SysError e = NarrowPath(path, &narrow)) return e;
  struct statvfs vfs {};
  if (statvfs(narrow.c_str(), &vfs) != 0) return ErrorFromErrno(errno, narrow);
  *freeToCaller = static_cast<std::uint64_t>(vfs.f_bavail) * vfs.f_frsize;
  *total = static_cast<std::uint64_t>(vfs.f_blocks) * vfs.f_frsize;
  return win32_error::kSuccess;
}

void YieldThread() { sched_yield(); }

}  // namespace orb::platform
