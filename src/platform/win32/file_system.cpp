// file_system.cpp (Windows)
#include "platform/file_system.h"

#include "base/status.h"
#include "platform/win32/windows_api.h"

namespace orb::platform {

namespace {

bool Unusable(const std::wstring& path) { return path.empty() || path.find(L'\0') != std::wstring::npos; }

}  // namespace

SysError GetAttributes(const std::wstring& path, std::uint32_t* attributes) {
  if (Unusable(path)) return win32_error::kInvalidName;
  const DWORD a = GetFileAttributesW(path.c_str());
  if (a == INVALID_FILE_ATTRIBUTES) return GetLastError();
  *attributes = a;
  return win32_error::kSuccess;
}

SysError MakeDirectory(const std::wstring& path) {
  if (Unusable(path)) return win32_error::kInvalidName;
  if (!CreateDirectoryW(path.c_str(), nullptr)) return GetLastError();
  return win32_error::kSuccess;
}

SysError RemoveEmptyDirectory(const std::wstring& path) {
  if (Unusable(path)) return win32_error::kInvalidName;
  if (!RemoveDirectoryW(path.c_str())) return GetLastError();
  return win32_error::kSuccess;
}

SysError RemoveFile(const std::wstring& path) {
  if (Unusable(path)) return win32_error::kInvalidName;
  if (!DeleteFileW(path.c_str())) return GetLastError();
  return win32_error::kSuccess;
}

SysError ListDirectory(const std::wstring& path, std::vector<DirectoryEntry>* entries) {
  entries->clear();
  if (Unusable(path)) return win32_error::kInvalidName;
  std::wstring pattern = path;
  if (pattern.back() != L'\\') pattern.push_back(L'\\');
  pattern.push_back(L'*');
  WIN32_FIND_DATAW data;
  const HANDLE find = FindFirstFileW(pattern.c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return GetLastError();
  SysError result = win32_error::kSuccess;
  do {
    const std::wstring name = data.cFileName;
    if (name == L"." || name == L"..") continue;
    DirectoryEntry e;
    e.name = name;
    // A junction or directory link is not followed: removing a tree must
    // not reach into a directory outside it.
    e.isDirectory = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 &&
                    (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0;
    entries->push_back(std::move(e));
  } while (FindNextFileW(find, &data));
  const DWORD last = GetLastError();
  if (last != ERROR_NO_MORE_FILES) result = last;
  FindClose(find);
  return result;
}

SysError GetDiskSpace(const std::wstring& path, std::uint64_t* freeToCaller, std::uint64_t* total) {
  if (Unusable(path)) return win32_error::kInvalidName;
  ULARGE_INTEGER available;
  ULARGE_INTEGER bytes;
  if (!GetDiskFreeSpaceExW(path.c_str(), &available, &bytes, nullptr)) return GetLastError();
  *freeToCaller = available.QuadPart;
  *total = bytes.QuadPart;
  return win32_error::kSuccess;
}

void YieldThread() { SwitchToThread(); }

}  // namespace orb::platform
