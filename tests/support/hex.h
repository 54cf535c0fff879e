// hex.h - bytes as upper-case hexadecimal text and back, for tests that
// compare digests, key streams and encoded fields.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace orb::test {

inline std::string Hex(const std::uint8_t* bytes, std::size_t size) {
  static const char digits[] = "0123456789ABCDEF";
  std::string out;
  for (std::size_t i = 0; i < size; ++i) {
    out += digits[bytes[i] >> 4];
    out += digits[bytes[i] & 15];
  }
  return out;
}

inline std::vector<std::uint8_t> FromHex(const std::string& hex) {
  std::vector<std::uint8_t> out;
  for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
    out.push_back(static_cast<std::uint8_t>(std::stoul(hex.substr(i, 2), nullptr, 16)));
  }
  return out;
}

}  // namespace orb::test
