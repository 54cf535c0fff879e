// temp_file.cpp (POSIX)
#include "platform/temp_file.h"

#include <stdlib.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "base/wide_text.h"
#include "platform/process.h"

namespace orb::platform {

bool GetTempFolder(std::wstring* folder) {
  if (!ReadEnvironmentVariable(L"TMPDIR", folder) || folder->empty()) *folder = L"/tmp";
  if (folder->back() != L'/') *folder += L'/';
  return true;
}

bool CreateTempFile(const wchar_t* prefix, std::wstring* path) {
  std::wstring folder;
  if (!GetTempFolder(&folder)) return false;
  const std::string pattern = WideToUtf8(folder + prefix) + "XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  const int fd = mkstemp(name.data());
  if (fd < 0) return false;
  close(fd);
  *path = Utf8ToWide(name.data());
  return true;
}

bool DeleteTempFile(const std::wstring& path) { return unlink(WideToUtf8(path).c_str()) == 0; }

}  // namespace orb::platform
