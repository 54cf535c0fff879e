// text_file.cpp (Windows) - the C runtime's own text mode does the
// translation.
#include "platform/text_file.h"

#include <io.h>
#include "platform/win32/windows_api.h"

namespace orb::platform {

bool TextFile::Open(const char* narrowPath) {
  Close();
  if (narrowPath == nullptr) return false;
  // fopen would also open a device name such as "CON" and wait on it.
  const DWORD attributes = GetFileAttributesA(narrowPath);
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    return false;
  }
  std::FILE* f = std::fopen(narrowPath, "rt");
  if (f == nullptr) return false;
  if (GetFileType(reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(f)))) != FILE_TYPE_DISK) {
    std::fclose(f);
    return false;
  }
  file_ = f;
  return true;
}

int TextFile::ReadChar() {
  if (file_ == nullptr || ended_) return EOF;
  const int c = std::fgetc(file_);
  if (c == EOF) ended_ = true;
  return c;
}

}  // namespace orb::platform

namespace orb::platform {

bool AppendToFile(const std::wstring& path, std::string_view bytes) {
  const HANDLE file = CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) != 0 &&
                  written == bytes.size();
  CloseHandle(file);
  return ok;
}

}  // namespace orb::platform
