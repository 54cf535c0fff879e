// package_cipher.cpp - counter blocks and their key stream.
#include "package/package_cipher.h"

#include <cstring>
#include <new>

#include "package/big_endian.h"

namespace orb {

PackageCipher::PackageCipher() = default;
PackageCipher::~PackageCipher() = default;

void PackageCipher::CounterBlock(const std::uint8_t initial[kBlockSize], std::uint64_t position,
                                 std::uint8_t out[kBlockSize]) {
  std::memcpy(out, initial, 8);
  // Unsigned arithmetic wraps modulo 2^64, which is the rule.
  StoreBe64(out + 8, LoadBe64(initial + 8) + position / kBlockSize);
}

HRESULT PackageCipher::Init(const std::uint8_t key[kBlockSize], const std::uint8_t initialCounter[kBlockSize]) {
  if (key == nullptr || initialCounter == nullptr) return E_POINTER;
  ready_ = false;
  if (!stream_) {
    stream_.reset(new (std::nothrow) std::uint8_t[kStreamBlocks * kBlockSize]);
    if (!stream_) return E_OUTOFMEMORY;
  }
  const HRESULT hr = aes_.SetKey(key);
  if (FAILED(hr)) return hr;
  std::memcpy(initial_, initialCounter, kBlockSize);
  ready_ = true;
  return S_OK;
}

HRESULT PackageCipher::Apply(std::uint64_t position, std::uint8_t* data, std::size_t size) {
  if (!ready_) return E_UNEXPECTED;
  if (size == 0) return S_OK;
  if (data == nullptr) return E_POINTER;
  std::uint64_t block = position / kBlockSize;
  std::size_t skip = static_cast<std::size_t>(position % kBlockSize);
  const std::uint64_t base = LoadBe64(initial_ + 8);
  std::uint8_t* const stream = stream_.get();
  while (size > 0) {
    // Blocks needed for the rest, at most one buffer full.
    const std::uint64_t wanted = (std::uint64_t{skip} + size + kBlockSize - 1) / kBlockSize;
    const std::size_t blocks = static_cast<std::size_t>(wanted < kStreamBlocks ? wanted : kStreamBlocks);
    for (std::size_t i = 0; i < blocks; ++i) {
      std::memcpy(stream + i * kBlockSize, initial_, 8);
      StoreBe64(stream + i * kBlockSize + 8, base + block + i);
    }
    const HRESULT hr = aes_.EncryptBlocks(stream, stream, blocks);
    if (FAILED(hr)) return hr;
    std::size_t take = blocks * kBlockSize - skip;
    if (take > size) take = size;
    const std::uint8_t* key = stream + skip;
    for (std::size_t i = 0; i < take; ++i) data[i] ^= key[i];
    data += take;
    size -= take;
    block += blocks;
    skip = 0;
  }
  return S_OK;
}

}  // namespace orb
