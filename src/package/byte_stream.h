// byte_stream.h - bounded reading from, and growing writing into, a run of
// bytes: what the param items are read from and written to.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <new>
#include <vector>

namespace orb {

class ByteReader {
 public:
  ByteReader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

  std::size_t Remaining() const { return size_ - position_; }
  std::size_t Position() const { return position_; }
  const std::uint8_t* Peek() const { return data_ + position_; }

  // Both take all of count or nothing.
  bool Read(void* out, std::size_t count) {
    if (count > Remaining()) return false;
    if (count != 0) std::memcpy(out, data_ + position_, count);
    position_ += count;
    return true;
  }
  bool Skip(std::size_t count) {
    if (count > Remaining()) return false;
    position_ += count;
    return true;
  }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t position_ = 0;
};

class ByteWriter {
 public:
  explicit ByteWriter(std::vector<std::uint8_t>* out) : out_(out) {}

  // False when memory ran out; nothing is appended then.
  bool Write(const void* data, std::size_t count) {
    try {
      const auto* bytes = static_cast<const std::uint8_t*>(data);
      out_->insert(out_->end(), bytes, bytes + count);
      return true;
    } catch (const std::bad_alloc&) {
      return false;
    }
  }

 private:
  std::vector<std::uint8_t>* out_;
};

}  // namespace orb
