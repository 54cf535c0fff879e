// scoped_drive.h - a drive letter on a directory for the life of a test.
#pragma once

#include <filesystem>

namespace orb::test {

class ScopedDrive {
 public:
  // Maps the letter to the directory (created if missing).
  ScopedDrive(wchar_t letter, const std::filesystem::path& directory);
  // Maps the letter to a drive without a medium.
  explicit ScopedDrive(wchar_t letter);
  ~ScopedDrive();
  ScopedDrive(const ScopedDrive&) = delete;
  ScopedDrive& operator=(const ScopedDrive&) = delete;

 private:
  wchar_t letter_;
};

}  // namespace orb::test
