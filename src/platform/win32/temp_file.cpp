// temp_file.cpp (Windows)
#include "platform/temp_file.h"

#include "platform/win32/windows_api.h"

namespace orb::platform {

bool GetTempFolder(std::wstring* folder) {
  wchar_t buffer[MAX_PATH + 1] = {};
  const DWORD length = GetTempPathW(MAX_PATH, buffer);
  if (length == 0 || length > MAX_PATH) return false;
  folder->assign(buffer, length);
  return true;
}

bool CreateTempFile(const wchar_t* prefix, std::wstring* path) {
  std::wstring folder;
  if (!GetTempFolder(&folder)) return false;
  wchar_t name[MAX_PATH] = {};
  // Unique number 0: the system picks the name and creates the empty file.
  if (GetTempFileNameW(folder.c_str(), prefix, 0, name) == 0) return false;
  *path = name;
  return true;
}

bool DeleteTempFile(const std::wstring& path) { return DeleteFileW(path.c_str()) != FALSE; }

}  // namespace orb::platform
