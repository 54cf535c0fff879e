// package_cipher.h - PackageCipher, the counter-mode stage of a package's
// data area.
//
// The block at data-area position p (a multiple of 16) is XORed with the
// AES-128 encipherment of its counter block: the package's initial counter
// block whose last 8 bytes, as a big-endian number, are increased by p / 16
// modulo 2^64 (the first 8 bytes never change, no carry reaches them).
// The stage is its own inverse: the same call enciphers and deciphers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "base/status.h"
#include "platform/crypto.h"

namespace orb {

class PackageCipher {
 public:
  static constexpr std::size_t kBlockSize = 16;

  PackageCipher();
  ~PackageCipher();
  PackageCipher(const PackageCipher&) = delete;
  PackageCipher& operator=(const PackageCipher&) = delete;

  // The counter block of the block that holds data-area position `position`.
  static void CounterBlock(const std::uint8_t initial[kBlockSize], std::uint64_t position,
                           std::uint8_t out[kBlockSize]);

  HRESULT Init(const std::uint8_t key[kBlockSize], const std::uint8_t initialCounter[kBlockSize]);
  bool IsReady() const { return ready_; }
  // XORs the key stream of positions [position, position + size) into data.
  // Any position works: a run that starts or ends inside a block takes the
  // matching part of that block's key stream.
  HRESULT Apply(std::uint64_t position, std::uint8_t* data, std::size_t size);

 private:
  // Key stream is made this many blocks at a time, so that one call to the
  // cipher covers a whole read of the installer.
  static constexpr std::size_t kStreamBlocks = 4096;

  platform::Aes128Cipher aes_;
  std::uint8_t initial_[kBlockSize] = {};
  std::unique_ptr<std::uint8_t[]> stream_;
  bool ready_ = false;
};

}  // namespace orb
