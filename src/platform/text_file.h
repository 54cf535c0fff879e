// text_file.h - reading a file in text mode, opened by its narrow name.
//
// Text mode as the C runtime of Windows defines it: a carriage return
// followed by a line feed reads as one line feed, a lone carriage return is
// kept, and the byte 0x1A (Ctrl+Z) ends the file. Both platforms read exactly
// the same characters from the same bytes.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>
#include <string_view>

namespace orb::platform {

class TextFile {
 public:
  TextFile() = default;
  ~TextFile();
  TextFile(const TextFile&) = delete;
  TextFile& operator=(const TextFile&) = delete;

  // Opens an existing regular file for reading; false when it cannot be
  // opened (missing, unreadable, a directory or a device).
  bool Open(const char* narrowPath);
  void Close();
  bool IsOpen() const { return file_ != nullptr; }

  // Next character after text-mode translation, or EOF.
  int ReadChar();

  // fgets-style: reads at most maxBytes bytes, up to and including the next
  // line feed, into *line. Returns false at the end of the file (nothing
  // read). The piece may contain NUL bytes exactly as the file does.
  bool ReadLine(std::size_t maxBytes, std::string* line);

 private:
  std::FILE* file_ = nullptr;
  bool ended_ = false;  // Ctrl+Z seen: the file ends there
};

// Appends bytes to a file, creating it when missing; false on failure.
// Opened and closed on each call, so several processes can append to one
// file and nothing is lost when a process dies.
bool AppendToFile(const std::wstring& path, std::string_view bytes);

}  // namespace orb::platform
