// crypto.cpp (Windows) - SHA-1 and AES-128 through CNG (bcrypt).
#include "platform/crypto.h"

#include "platform/win32/windows_api.h"

#include <bcrypt.h>

#include <new>
#include <vector>

namespace orb::platform {

namespace {

// Status values of CNG; the system headers keep them in ntstatus.h, which
// does not mix with windows.h.
constexpr NTSTATUS kStatusNoMemory = static_cast<NTSTATUS>(0xC0000017L);

bool Succeeded(NTSTATUS status) { return status >= 0; }

HRESULT FromNtStatus(NTSTATUS status) {
  if (Succeeded(status)) return S_OK;
  return status == kStatusNoMemory ? E_OUTOFMEMORY : E_FAIL;
}

// BCrypt functions count in ULONG; larger pieces go in slices.
constexpr std::size_t kMaxSlice = 0x40000000u;

// An algorithm provider with the buffer for one hash or key object of it.
struct Provider {
  BCRYPT_ALG_HANDLE algorithm = nullptr;
  std::vector<UCHAR> object;

  Provider() = default;
  Provider(const Provider&) = delete;
  Provider& operator=(const Provider&) = delete;
  ~Provider() {
    if (algorithm != nullptr) BCryptCloseAlgorithmProvider(algorithm, 0);
  }

  // Opens the algorithm once; chainingMode may be null.
  HRESULT Open(const wchar_t* id, const wchar_t* chainingMode, std::size_t chainingModeBytes) {
    if (algorithm != nullptr) return S_OK;
    HRESULT hr = FromNtStatus(BCryptOpenAlgorithmProvider(&algorithm, id, nullptr, 0));
    if (FAILED(hr)) {
      algorithm = nullptr;
      return hr;
    }
    if (chainingMode != nullptr) {
      hr = FromNtStatus(BCryptSetProperty(algorithm, BCRYPT_CHAINING_MODE,
                                          reinterpret_cast<PUCHAR>(const_cast<wchar_t*>(chainingMode)),
                                          static_cast<ULONG>(chainingModeBytes), 0));
    }
    // The object buffer is optional for hashes on Windows 7, but not
    // everywhere; keys always need one.
    ULONG length = 0;
    ULONG got = 0;
    if (SUCCEEDED(hr)) {
      hr = FromNtStatus(BCryptGetProperty(algorithm, BCRYPT_OBJECT_LENGTH, reinterpret_cast<PUCHAR>(&length),
                                          sizeof(length), &got, 0));
    }
    if (SUCCEEDED(hr)) {
      try {
        object.assign(length, 0);
      } catch (const std::bad_alloc&) {
        hr = E_OUTOFMEMORY;
      }
    }
    if (FAILED(hr)) {
      BCryptCloseAlgorithmProvider(algorithm, 0);
      algorithm = nullptr;
    }
    return hr;
  }
  PUCHAR Object() { return object.data(); }
  ULONG ObjectSize() const { return static_cast<ULONG>(object.size()); }
};

}  // namespace

struct Sha1Digest::State {
  Provider provider;
  BCRYPT_HASH_HANDLE hash = nullptr;

  void DropHash() {
    if (hash != nullptr) BCryptDestroyHash(hash);
    hash = nullptr;
  }
  ~State() { DropHash(); }
};

Sha1Digest::Sha1Digest() : state_(new (std::nothrow) State) {}
Sha1Digest::~Sha1Digest() = default;

HRESULT Sha1Digest::Start() {
  if (!state_) return E_OUTOFMEMORY;
  state_->DropHash();
  Provider& p = state_->provider;
  HRESULT hr = p.Open(BCRYPT_SHA1_ALGORITHM, nullptr, 0);
  if (FAILED(hr)) return hr;
  hr = FromNtStatus(BCryptCreateHash(p.algorithm, &state_->hash, p.Object(), p.ObjectSize(), nullptr, 0, 0));
  if (FAILED(hr)) state_->hash = nullptr;
  return hr;
}

HRESULT Sha1Digest::Update(const void* data, std::size_t size) {
  if (!state_ || state_->hash == nullptr) return E_UNEXPECTED;
  if (size == 0) return S_OK;
  if (data == nullptr) return E_POINTER;
  auto* bytes = static_cast<PUCHAR>(const_cast<void*>(data));  // CNG does not write it
  while (size > 0) {
    const std::size_t slice = size < kMaxSlice ? size : kMaxSlice;
    const HRESULT hr = FromNtStatus(BCryptHashData(state_->hash, bytes, static_cast<ULONG>(slice), 0));
    if (FAILED(hr)) {
      state_->DropHash();
      return hr;
    }
    bytes += slice;
    size -= slice;
  }
  return S_OK;
}

HRESULT Sha1Digest::Finish(std::uint8_t out[kSize]) {
  if (out == nullptr) return E_POINTER;
  if (!state_ || state_->hash == nullptr) return E_UNEXPECTED;
  const HRESULT hr = FromNtStatus(BCryptFinishHash(state_->hash, out, static_cast<ULONG>(kSize), 0));
  state_->DropHash();
  return hr;
}

struct Aes128Cipher::State {
  Provider provider;
  BCRYPT_KEY_HANDLE key = nullptr;

  void DropKey() {
    if (key != nullptr) BCryptDestroyKey(key);
    key = nullptr;
  }
  ~State() { DropKey(); }
};

Aes128Cipher::Aes128Cipher() : state_(new (std::nothrow) State) {}
Aes128Cipher::~Aes128Cipher() = default;

HRESULT Aes128Cipher::SetKey(const std::uint8_t key[kKeySize]) {
  if (key == nullptr) return E_POINTER;
  if (!state_) return E_OUTOFMEMORY;
  state_->DropKey();
  Provider& p = state_->provider;
  // Single blocks, no chaining: the caller's counter blocks are the mode.
  const HRESULT opened = p.Open(BCRYPT_AES_ALGORITHM, BCRYPT_CHAIN_MODE_ECB, sizeof(BCRYPT_CHAIN_MODE_ECB));
  if (FAILED(opened)) return opened;
  UCHAR secret[kKeySize];
  for (std::size_t i = 0; i < kKeySize; ++i) secret[i] = key[i];
  const HRESULT hr = FromNtStatus(BCryptGenerateSymmetricKey(p.algorithm, &state_->key, p.Object(), p.ObjectSize(),
                                                             secret, static_cast<ULONG>(kKeySize), 0));
  SecureZeroMemory(secret, sizeof(secret));
  if (FAILED(hr)) state_->key = nullptr;
  return hr;
}

HRESULT Aes128Cipher::EncryptBlocks(const std::uint8_t* in, std::uint8_t* out, std::size_t blockCount) {
  if (!state_ || state_->key == nullptr) return E_UNEXPECTED;
  if (blockCount == 0) return S_OK;
  if (in == nullptr || out == nullptr) return E_POINTER;
  constexpr std::size_t kMaxBlocks = kMaxSlice / kBlockSize;
  while (blockCount > 0) {
    const std::size_t blocks = blockCount < kMaxBlocks ? blockCount : kMaxBlocks;
    const ULONG bytes = static_cast<ULONG>(blocks * kBlockSize);
    ULONG done = 0;
    // CNG allows the output to be the input buffer.
    const HRESULT hr = FromNtStatus(BCryptEncrypt(state_->key, const_cast<PUCHAR>(in), bytes, nullptr, nullptr, 0,
                                                  out, bytes, &done, 0));
    if (FAILED(hr)) return hr;
    if (done != bytes) return E_FAIL;
    in += bytes;
    out += bytes;
    blockCount -= blocks;
  }
  return S_OK;
}

}  // namespace orb::platform
