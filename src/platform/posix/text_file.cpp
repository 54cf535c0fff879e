// text_file.cpp (POSIX) - opens by name and applies the text-mode
// translation that the Windows C runtime does for us there.
#include "platform/text_file.h"

#include <sys/stat.h>

#include "base/wide_text.h"

namespace orb::platform {

bool TextFile::Open(const char* narrowPath) {
  Close();
  if (narrowPath == nullptr) return false;
  std::FILE* f = std::fopen(narrowPath, "rb");
  if (f == nullptr) return false;
  // A directory opens here but not on Windows, and a device could be read
  // forever; only regular files are text files.
  struct stat st {};
  if (fstat(fileno(f), &st) != 0 || !S_ISREG(st.st_mode)) {
    std::fclose(f);
    return false;
  }
  file_ = f;
  return true;
}

int TextFile::ReadChar() {
  if (file_ == nullptr || ended_) return EOF;
  const int c = std::fgetc(file_);
  if (c == 0x1A) {
    ended_ = true;
    return EOF;
  }
  if (c == '\r') {
    const int next = std::fgetc(file_);
    if (next == '\n') return '\n';
    if (next != EOF) std::ungetc(next, file_);
  }
  return c;
}

}  // namespace orb::platform

namespace orb::platform {

bool AppendToFile(const std::wstring& path, std::string_view bytes) {
  std::FILE* f = std::fopen(WideToUtf8(path).c_str(), "ab");
  if (f == nullptr) return false;
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return std::fclose(f) == 0 && written;
}

}  // namespace orb::platform
