// crypto.cpp (POSIX) - SHA-1 and AES-128 through OpenSSL's EVP interface.
#include "platform/crypto.h"

#include <openssl/evp.h>

#include <climits>
#include <new>

namespace orb::platform {

struct Sha1Digest::State {
  EVP_MD_CTX* context = nullptr;
  bool started = false;
  ~State() { EVP_MD_CTX_free(context); }
};

Sha1Digest::Sha1Digest() : state_(new (std::nothrow) State) {}
Sha1Digest::~Sha1Digest() = default;

HRESULT Sha1Digest::Start() {
  if (!state_) return E_OUTOFMEMORY;
  state_->started = false;
  if (state_->context == nullptr) {
    state_->context = EVP_MD_CTX_new();
    if (state_->context == nullptr) return E_OUTOFMEMORY;
  }
  if (EVP_DigestInit_ex(state_->context, EVP_sha1(), nullptr) != 1) return E_FAIL;
  state_->started = true;
  return S_OK;
}

HRESULT Sha1Digest::Update(const void* data, std::size_t size) {
  if (!state_ || !state_->started) return E_UNEXPECTED;
  if (size == 0) return S_OK;
  if (data == nullptr) return E_POINTER;
  if (EVP_DigestUpdate(state_->context, data, size) != 1) {
    state_->started = false;
    return E_FAIL;
  }
  return S_OK;
}

HRESULT Sha1Digest::Finish(std::uint8_t out[kSize]) {
  if (out == nullptr) return E_POINTER;
  if (!state_ || !state_->started) return E_UNEXPECTED;
  state_->started = false;
  unsigned int length = 0;
  if (EVP_DigestFinal_ex(state_->context, out, &length) != 1 || length != kSize) return E_FAIL;
  return S_OK;
}

struct Aes128Cipher::State {
  EVP_CIPHER_CTX* context = nullptr;
  ~State() { EVP_CIPHER_CTX_free(context); }
};

Aes128Cipher::Aes128Cipher() : state_(new (std::nothrow) State) {}
Aes128Cipher::~Aes128Cipher() = default;

HRESULT Aes128Cipher::SetKey(const std::uint8_t key[kKeySize]) {
  if (key == nullptr) return E_POINTER;
  if (!state_) return E_OUTOFMEMORY;
  EVP_CIPHER_CTX_free(state_->context);
  state_->context = EVP_CIPHER_CTX_new();
  if (state_->context == nullptr) return E_OUTOFMEMORY;
  if (EVP_EncryptInit_ex(state_->context, EVP_aes_128_ecb(), nullptr, key, nullptr) != 1 ||
      EVP_CIPHER_CTX_set_padding(state_->context, 0) != 1) {
    EVP_CIPHER_CTX_free(state_->context);
    state_->context = nullptr;
    return E_FAIL;
  }
  return S_OK;
}

HRESULT Aes128Cipher::EncryptBlocks(const std::uint8_t* in, std::uint8_t* out, std::size_t blockCount) {
  if (!state_ || state_->context == nullptr) return E_UNEXPECTED;
  if (blockCount == 0) return S_OK;
  if (in == nullptr || out == nullptr) return E_POINTER;
  // EVP counts in int; large requests go in slices of whole blocks.
  constexpr std::size_t kMaxBlocks = (INT_MAX / kBlockSize);
  while (blockCount > 0) {
    const std::size_t blocks = blockCount < kMaxBlocks ? blockCount : kMaxBlocks;
    int done = 0;
    if (EVP_EncryptUpdate(state_->context, out, &done, in, static_cast<int>(blocks * kBlockSize)) != 1 ||
        done != static_cast<int>(blocks * kBlockSize)) {
      return E_FAIL;
    }
    in += blocks * kBlockSize;
    out += blocks * kBlockSize;
    blockCount -= blocks;
  }
  return S_OK;
}

}  // namespace orb::platform
