// temp_dir.h - a fresh directory per test, removed afterwards.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace orb::test {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  // Writes bytes exactly as given (binary) and returns the file's path.
  std::filesystem::path Write(const std::string& name, std::string_view bytes) const;

 private:
  std::filesystem::path path_;
};

// Writes bytes exactly as given (binary), replacing the file.
void WriteFileBytes(const std::filesystem::path& path, std::string_view bytes);

// The bytes of a file, empty when it cannot be read.
std::string ReadFileBytes(const std::filesystem::path& path);

}  // namespace orb::test
