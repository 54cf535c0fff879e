// package_info.h - PackageInfo, the summary of a package that the reader
// hands out.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

struct PackageInfo {
  std::uint32_t distributionType = 0;  // param item 1
  std::uint32_t contentType = 0;       // param item 2
  std::uint32_t packageFlags = 0;      // param item 3
  // The main header's entry count; after Open the number of delivered
  // entries.
  std::uint32_t entryCount = 0;
  std::uint64_t dataOffset = 0;
  // Param item 4; after Open the sum of the delivered files' sizes.
  std::uint64_t installSize = 0;
  char contentId[48] = {};    // NUL-padded
  char titleId[12] = {};      // NUL-padded; a full 12-byte value has no NUL
  std::uint8_t dataDigest[20] = {};  // zeros when the package names none

  // The texts up to their first NUL.
  std::string ContentIdText() const { return TextUpToNul(contentId, sizeof(contentId)); }
  std::string TitleIdText() const { return TextUpToNul(titleId, sizeof(titleId)); }

 private:
  static std::string TextUpToNul(const char* text, std::size_t size) {
    std::size_t n = 0;
    while (n < size && text[n] != '\0') ++n;
    return std::string(text, n);
  }
};
