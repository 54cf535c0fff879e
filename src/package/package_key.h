// package_key.h - the key of the packages' cipher stage: the one place it
// is defined. Reader and package tools both take it from here, so packages
// that our tools write are exactly the ones the reader accepts.
#pragma once

#include <cstdint>

namespace orb {

inline constexpr std::uint8_t kPackageKey[16] = {0xC8, 0x0A, 0x7B, 0x15, 0x49, 0xF0, 0x5A, 0x4B,
                                                 0x32, 0x14, 0x58, 0xF1, 0x41, 0x3C, 0xC5, 0x90};

}  // namespace orb
