// file.h - one open file of the operating system.
//
// The interface follows the Windows file functions (CreateFileW, ReadFile,
// WriteFile, SetFilePointerEx, SetEndOfFile, GetFileSizeEx,
// FlushFileBuffers), and so do its failures: every operation returns a
// Windows error number (orb::win32_error, 0 for success) on every platform,
// so that callers and messages do not differ between platforms.
#pragma once

#include <cstdint>
#include <string>

namespace orb::platform {

// A Windows error number; 0 is success.
using SysError = std::uint32_t;

// Access, share, disposition and attribute values carry the numbers of the
// Windows API, so that the Windows implementation passes them on unchanged.
namespace file_access {
constexpr std::uint32_t kRead = 0x80000000u;   // GENERIC_READ
constexpr std::uint32_t kWrite = 0x40000000u;  // GENERIC_WRITE
}  // namespace file_access

namespace file_share {
constexpr std::uint32_t kNone = 0;
constexpr std::uint32_t kRead = 1;
}  // namespace file_share

namespace file_disposition {
constexpr std::uint32_t kNone = 0;  // refused by the system (invalid parameter)
constexpr std::uint32_t kCreateNew = 1;
constexpr std::uint32_t kCreateAlways = 2;
constexpr std::uint32_t kOpenExisting = 3;
constexpr std::uint32_t kOpenAlways = 4;
}  // namespace file_disposition

namespace file_attribute {
constexpr std::uint32_t kReadOnly = 0x00000001u;
constexpr std::uint32_t kDirectory = 0x00000010u;
constexpr std::uint32_t kNormal = 0x00000080u;
// Do not recall a file that a storage manager moved away; only Windows
// knows the flag, elsewhere it is ignored.
constexpr std::uint32_t kOpenNoRecall = 0x00100000u;
}  // namespace file_attribute

enum class SeekOrigin { kBegin, kCurrent, kEnd };

class File {
 public:
  File() = default;
  ~File();
  File(const File&) = delete;
  File& operator=(const File&) = delete;
  File(File&& other) noexcept : handle_(other.handle_) { other.handle_ = kInvalid; }
  File& operator=(File&& other) noexcept {
    if (this != &other) {
      Close();
      handle_ = other.handle_;
      other.handle_ = kInvalid;
    }
    return *this;
  }

  // Opens or creates the file at a host path. Sharing is enforced where the
  // system can (Windows); POSIX has no mandatory sharing, so there a second
  // open of the same file succeeds.
  SysError Open(const std::wstring& path, std::uint32_t access, std::uint32_t share,
                std::uint32_t disposition, std::uint32_t flagsAndAttributes);
  bool IsOpen() const { return handle_ != kInvalid; }

  // Both transfer the whole count unless the file ends (Read) or the system
  // fails; *done receives what was transferred.
  SysError Read(void* buffer, std::uint32_t count, std::uint32_t* done);
  SysError Write(const void* buffer, std::uint32_t count, std::uint32_t* done);

  // Moves the file pointer; *position (may be null) receives the new one.
  SysError Seek(std::int64_t distance, SeekOrigin origin, std::uint64_t* position);
  // The file ends at the file pointer. Growing reserves the space where the
  // system can, so that a full disk shows here and not in the middle of the
  // writes that follow.
  SysError SetEnd();
  SysError Size(std::uint64_t* size);
  // Writes everything the system still caches for this file to the device.
  SysError Flush();
  // Closes the file (nothing happens when it is not open).
  SysError Close();

 private:
  // A Windows HANDLE or a POSIX descriptor; both use -1 for "none".
  static constexpr std::intptr_t kInvalid = -1;
  std::intptr_t handle_ = kInvalid;
};

}  // namespace orb::platform
