// param_item.h - Item, one typed parameter of a package's metadata, and
// TItem<T>, its implementation over a tag type of
// DataFormat::Package::Param.
//
// An item keeps its value as the raw big-endian bytes of the file and a
// present flag. Encoded, an item is its id (4 bytes), its size (4 bytes)
// and the value (width bytes). The order of the virtual operations is
// fixed: every item class and every caller share it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "package/big_endian.h"
#include "package/byte_stream.h"
#include "package/package_param.h"
#include "platform/crypto.h"

namespace InputOutputInterface::ParamItems {

class Item {
 public:
  virtual ~Item() = default;
  // Stores the item's default value and marks it present or absent as the
  // item's kind says.
  virtual void Reset() = 0;
  virtual bool IsPresent() const = 0;
  // Answers true.
  virtual bool MarkPresent() = 0;
  virtual void MarkAbsent() = 0;
  // 8 + width when present, else 0.
  virtual std::size_t EncodedSize() const = 0;
  // Reads exactly width bytes as the value and marks the item present;
  // answers the width, or 0 (and changes nothing) when fewer bytes remain.
  virtual std::size_t Read(orb::ByteReader& in) = 0;
  // When present, writes the width value bytes; answers their count (0 when
  // absent or out of memory).
  virtual std::size_t WriteValue(orb::ByteWriter& out) const = 0;
  // When present, feeds id, size and value to the digest; answers 8 + width
  // (0 when absent or the digest failed).
  virtual std::size_t Digest(orb::platform::Sha1Digest& digest) const = 0;
  // When present, writes id, size and value and feeds them to the digest
  // (when one is given); answers 8 + width (0 when absent or on failure).
  virtual std::size_t Write(orb::ByteWriter& out, orb::platform::Sha1Digest* digest) const = 0;

  virtual std::uint32_t Id() const = 0;
  virtual std::size_t Width() const = 0;
  virtual const std::uint8_t* Bytes() const = 0;
};

template <typename T>
class TItem : public Item {
 public:
  static constexpr std::uint32_t kId = T::kId;
  static constexpr std::size_t kWidth = T::kWidth;

  bool IsPresent() const override { return present_; }
  bool MarkPresent() override {
    present_ = true;
    return true;
  }
  void MarkAbsent() override { present_ = false; }
  std::size_t EncodedSize() const override { return present_ ? 8 + kWidth : 0; }

  std::size_t Read(orb::ByteReader& in) override {
    if (!in.Read(value_, kWidth)) return 0;
    MarkPresent();
    return kWidth;
  }

  std::size_t WriteValue(orb::ByteWriter& out) const override {
    if (!present_ || !out.Write(value_, kWidth)) return 0;
    return kWidth;
  }

  std::size_t Digest(orb::platform::Sha1Digest& digest) const override {
    if (!present_) return 0;
    std::uint8_t head[8];
    EncodeHead(head);
    if (FAILED(digest.Update(head, sizeof(head))) || FAILED(digest.Update(value_, kWidth))) return 0;
    return 8 + kWidth;
  }

  std::size_t Write(orb::ByteWriter& out, orb::platform::Sha1Digest* digest) const override {
    if (!present_) return 0;
    std::uint8_t head[8];
    EncodeHead(head);
    if (!out.Write(head, sizeof(head)) || !out.Write(value_, kWidth)) return 0;
    if (digest != nullptr && Digest(*digest) == 0) return 0;
    return 8 + kWidth;
  }

  std::uint32_t Id() const override { return kId; }
  std::size_t Width() const override { return kWidth; }
  const std::uint8_t* Bytes() const override { return value_; }

  // The value as a number (items of width 4 or 8).
  std::uint64_t Number() const {
    static_assert(kWidth == 4 || kWidth == 8, "only numeric items have a number");
    if constexpr (kWidth == 4) {
      return orb::LoadBe32(value_);
    } else {
      return orb::LoadBe64(value_);
    }
  }
  // Sets the value without touching the present flag.
  void SetNumber(std::uint64_t number) {
    static_assert(kWidth == 4 || kWidth == 8, "only numeric items have a number");
    if constexpr (kWidth == 4) {
      orb::StoreBe32(value_, static_cast<std::uint32_t>(number));
    } else {
      orb::StoreBe64(value_, number);
    }
  }
  // Copies at most width bytes and zero-fills the rest.
  void SetBytes(const void* bytes, std::size_t count) {
    std::memset(value_, 0, kWidth);
    std::memcpy(value_, bytes, count < kWidth ? count : kWidth);
  }

 protected:
  void SetDefault(bool present) {
    std::memset(value_, 0, kWidth);
    present_ = present;
  }

 private:
  static void EncodeHead(std::uint8_t head[8]) {
    orb::StoreBe32(head, kId);
    orb::StoreBe32(head + 4, static_cast<std::uint32_t>(kWidth));
  }

  std::uint8_t value_[kWidth] = {};
  bool present_ = false;
};

}  // namespace InputOutputInterface::ParamItems
