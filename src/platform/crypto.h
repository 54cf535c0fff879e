// crypto.h - the cryptographic primitives of the program: an incremental
// SHA-1 digest and the AES-128 block cipher (enciphering direction only;
// callers build their modes of operation on top of single blocks).
//
// Windows: CNG (bcrypt). Elsewhere: OpenSSL's libcrypto. Both give the same
// bytes for the same input, so files made on one platform read on the other.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "base/status.h"

namespace orb::platform {

class Sha1Digest {
 public:
  static constexpr std::size_t kSize = 20;

  Sha1Digest();
  ~Sha1Digest();
  Sha1Digest(const Sha1Digest&) = delete;
  Sha1Digest& operator=(const Sha1Digest&) = delete;

  // Begins a new digest (also after Finish or a failure).
  HRESULT Start();
  HRESULT Update(const void* data, std::size_t size);
  // Gives the digest of everything since Start; Start again for another.
  HRESULT Finish(std::uint8_t out[kSize]);

 private:
  struct State;
  std::unique_ptr<State> state_;
};

class Aes128Cipher {
 public:
  static constexpr std::size_t kBlockSize = 16;
  static constexpr std::size_t kKeySize = 16;

  Aes128Cipher();
  ~Aes128Cipher();
  Aes128Cipher(const Aes128Cipher&) = delete;
  Aes128Cipher& operator=(const Aes128Cipher&) = delete;

  HRESULT SetKey(const std::uint8_t key[kKeySize]);
  // Enciphers blockCount independent 16-byte blocks; in and out may be the
  // same buffer. Many blocks in one call cost far less than one call each.
  HRESULT EncryptBlocks(const std::uint8_t* in, std::uint8_t* out, std::size_t blockCount);

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace orb::platform
