// file.cpp (POSIX) - File on open/read/write descriptors, with the
// behaviour of the Windows file functions where callers can tell.
#include "platform/file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "base/status.h"
#include "platform/posix/system_error.h"

namespace orb::platform {

namespace {

SysError LastError() { return ErrorFromErrno(errno, std::string()); }

}  // namespace

File::~File() { Close(); }

SysError File::Open(const std::wstring& path, std::uint32_t access, std::uint32_t /*share*/,
                    std::uint32_t disposition, std::uint32_t /*flagsAndAttributes*/) {
  Close();
  std::string narrow;
  if (SysError e = NarrowPath(path, &narrow)) return e;

  const bool read = (access & file_access::kRead) != 0;
  const bool write = (access & file_access::kWrite) != 0;
  int flags = O_CLOEXEC | ((read && write) ? O_RDWR : write ? O_WRONLY : O_RDONLY);
  switch (disposition) {
    case file_disposition::kCreateNew: flags |= O_CREAT | O_EXCL; break;
    case file_disposition::kCreateAlways: flags |= O_CREAT | O_TRUNC; break;
    case file_disposition::kOpenExisting: break;
    case file_disposition::kOpenAlways: flags |= O_CREAT; break;
    default: return win32_error::kInvalidParameter;
  }
  const int fd = ::open(narrow.c_str(), flags, 0666);
  if (fd < 0) {
    const int error = errno;
    if (error == EEXIST) return win32_error::kFileExists;
    return ErrorFromErrno(error, narrow);
  }
  // A directory opens for reading here; Windows refuses it.
  struct stat st {};
  if (fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
    ::close(fd);
    return win32_error::kAccessDenied;
  }
  handle_ = fd;
  return win32_error::kSuccess;
}

SysError File::Read(void* buffer, std::uint32_t count, std::uint32_t* done) {
  *done = 0;
  if (!IsOpen()) return win32_error::kInvalidHandle;
  auto* out = static_cast<unsigned char*>(buffer);
  while (*done < count) {
    const ssize_t n = ::read(static_cast<int>(handle_), out + *done, count - *done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return LastError();
    }
    if (n == 0) break;
    *done += static_cast<std::uint32_t>(n);
  }
  return win32_error::kSuccess;
}

SysError File::Write(const void* buffer, std::uint32_t count, std::uint32_t* done) {
  *done = 0;
  if (!IsOpen()) return win32_error::kInvalidHandle;
  const auto* in = static_cast<const unsigned char*>(buffer);
  while (*done < count) {
    const ssize_t n = ::write(static_cast<int>(handle_), in + *done, count - *done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return LastError();
    }
    if (n == 0) return win32_error::kWriteFault;
    *done += static_cast<std::uint32_t>(n);
  }
  return win32_error::kSuccess;
}

SysError File::Seek(std::int64_t distance, SeekOrigin origin, std::uint64_t* position) {
  if (!IsOpen()) return win32_error::kInvalidHandle;
  const int whence = origin == SeekOrigin::kBegin ? SEEK_SET : origin == SeekOrigin::kCurrent ? SEEK_CUR : SEEK_END;
  const off_t at = ::lseek(static_cast<int>(handle_), static_cast<off_t>(distance), whence);
  if (at < 0) return LastError();
  if (position != nullptr) *position = static_cast<std::uint64_t>(at);
  return win32_error::kSuccess;
}

SysError File::SetEnd() {
  if (!IsOpen()) return win32_error::kInvalidHandle;
  const int fd = static_cast<int>(handle_);
  const off_t end = ::lseek(fd, 0, SEEK_CUR);
  struct stat st {};
  if (end < 0 || fstat(fd, &st) != 0) return LastError();
  if (end > st.st_size) {
    // Reserve the blocks, as Windows does when a file grows this way.
    if (::fallocate(fd, 0, st.st_size, end - st.st_size) == 0) return win32_error::kSuccess;
    if (errno != EOPNOTSUPP && errno != ENOSYS) return LastError();
  }
  if (::ftruncate(fd, end) != 0) return LastError();
  return win32_error::kSuccess;
}

SysError File::Size(std::uint64_t* size) {
  if (!IsOpen()) return win32_error::kInvalidHandle;
  struct stat st {};
  if (fstat(static_cast<int>(handle_), &st) != 0) return LastError();
  *size = static_cast<std::uint64_t>(st.st_size);
  return win32_error::kSuccess;
}

SysError File::Flush() {
  if (!IsOpen()) return win32_error::kInvalidHandle;
  if (::fsync(static_cast<int>(handle_)) != 0 && errno != EINVAL) return LastError();
  return win32_error::kSuccess;
}

SysError File::Close() {
  if (!IsOpen()) return win32_error::kSuccess;
  const int fd = static_cast<int>(handle_);
  handle_ = kInvalid;
  // The descriptor is gone even when close reports EINTR; never close twice.
  if (::close(fd) != 0 && errno != EINTR) return LastError();
  return win32_error::kSuccess;
}

}  // namespace orb::platform
