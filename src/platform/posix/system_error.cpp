// system_error.cpp (POSIX)
#include "platform/posix/system_error.h"

#include <sys/stat.h>

#include <cerrno>

#include "base/status.h"
#include "base/wide_text.h"

namespace orb::platform {

namespace {

// Windows answers "path not found" when a directory on the way is missing
// and "file not found" when only the last component is.
SysError NotFound(const std::string& path) {
  std::string parent = path;
  while (parent.size() > 1 && parent.back() == '/') parent.pop_back();
  const auto slash = parent.rfind('/');
  if (slash == std::string::npos) {
    parent = ".";
  } else {
    parent.resize(slash == 0 ? 1 : slash);
  }
  struct stat st {};
  if (stat(parent.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return win32_error::kFileNotFound;
  return win32_error::kPathNotFound;
}

}  // namespace

SysError ErrorFromErrno(int error, const std::string& path) {
  switch (error) {
    case 0: return win32_error::kSuccess;
    case ENOENT: return NotFound(path);
    case ENOTDIR: return win32_error::kPathNotFound;
    case EACCES:
    case EPERM:
    case EISDIR: return win32_error::kAccessDenied;
    case EEXIST: return win32_error::kAlreadyExists;
    case ENOTEMPTY: return win32_error::kDirNotEmpty;
    case EROFS: return win32_error::kWriteProtect;
    case ENOSPC:
    case EDQUOT: return win32_error::kDiskFull;
    case EBUSY: return win32_error::kBusy;
    case ETXTBSY: return win32_error::kSharingViolation;
    case EIO: return win32_error::kIoDevice;
    case ENAMETOOLONG: return win32_error::kFilenameExcedRange;
    case EINVAL: return win32_error::kInvalidParameter;
    case ENOMEM: return win32_error::kNotEnoughMemory;
    case EMFILE:
    case ENFILE: return win32_error::kTooManyOpenFiles;
    case EBADF: return win32_error::kInvalidHandle;
    case ENXIO:
    case ENODEV:
    case ENOMEDIUM: return win32_error::kNotReady;
    case EFBIG: return win32_error::kFileTooLarge;
    case EXDEV: return win32_error::kNotSameDevice;
    case ELOOP: return win32_error::kCantResolveFilename;
    default: return win32_error::kGenFailure;
  }
}

SysError NarrowPath(const std::wstring& path, std::string* narrow) {
  if (path.empty() || path.find(L'\0') != std::wstring::npos) return win32_error::kInvalidName;
  if (FAILED(WideToUtf8(path, narrow))) return win32_error::kNotEnoughMemory;
  return win32_error::kSuccess;
}

}  // namespace orb::platform
