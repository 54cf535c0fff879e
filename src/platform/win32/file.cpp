// file.cpp (Windows) - File on the Win32 file functions.
#include "platform/file.h"

#include "base/status.h"
#include "platform/win32/windows_api.h"

namespace orb::platform {

namespace {

HANDLE AsHandle(std::intptr_t h) { return reinterpret_cast<HANDLE>(h); }

// CreateFileW reads a name only up to its first NUL; such a name would
// open another file than the one asked for.
bool HasInnerNul(const std::wstring& path) { return path.find(L'\0') != std::wstring::npos; }

}  // namespace

File::~File() { Close(); }

SysError File::Open(const std::wstring& path, std::uint32_t access, std::uint32_t share,
                    std::uint32_t disposition, std::uint32_t flagsAndAttributes) {
  Close();
  if (path.empty() || HasInnerNul(path)) return win32_error::kInvalidName;
  const HANDLE h = CreateFileW(path.c_str(), access, share, nullptr, disposition, flagsAndAttributes, nullptr);
  if (h == INVALID_HANDLE_VALUE) return GetLastError();
  handle_ = reinterpret_cast<std::intptr_t>(h);
  return win32_error::kSuccess;
}

SysError File::Read(void* buffer, std::uint32_t count, std::uint32_t* done) {
  DWORD n = 0;
  *done = 0;
  if (!ReadFile(AsHandle(handle_), buffer, count, &n, nullptr)) return GetLastError();
  *done = n;
  return win32_error::kSuccess;
}

SysError File::Write(const void* buffer, std::uint32_t count, std::uint32_t* done) {
  DWORD n = 0;
  *done = 0;
  if (!WriteFile(AsHandle(handle_), buffer, count, &n, nullptr)) return GetLastError();
  *done = n;
  return win32_error::kSuccess;
}

SysError File::Seek(std::int64_t distance, SeekOrigin origin, std::uint64_t* position) {
  LARGE_INTEGER d;
  d.QuadPart = distance;
  LARGE_INTEGER at;
  const DWORD method = origin == SeekOrigin::kBegin ? FILE_BEGIN : origin == SeekOrigin::kCurrent ? FILE_CURRENT : FILE_END;
  if (!SetFilePointerEx(AsHandle(handle_), d, &at, method)) return GetLastError();
  if (position != nullptr) *position = static_cast<std::uint64_t>(at.QuadPart);
  return win32_error::kSuccess;
}

SysError File::SetEnd() {
  if (!SetEndOfFile(AsHandle(handle_))) return GetLastError();
  return win32_error::kSuccess;
}

SysError File::Size(std::uint64_t* size) {
  LARGE_INTEGER s;
  if (!GetFileSizeEx(AsHandle(handle_), &s)) return GetLastError();
  *size = static_cast<std::uint64_t>(s.QuadPart);
  return win32_error::kSuccess;
}

SysError File::Flush() {
  if (!FlushFileBuffers(AsHandle(handle_))) return GetLastError();
  return win32_error::kSuccess;
}

SysError File::Close() {
  if (!IsOpen()) return win32_error::kSuccess;
  const HANDLE h = AsHandle(handle_);
  handle_ = kInvalid;
  if (!CloseHandle(h)) return GetLastError();
  return win32_error::kSuccess;
}

}  // namespace orb::platform
