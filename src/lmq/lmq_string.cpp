// lmq_string.cpp - owned wide string of the HTTP library.
#include "lmq/lmq_string.h"

#include <cwchar>
#include <new>

namespace {

// Length up to the bound; the bound itself when no zero comes first.
std::uint32_t BoundedLength(const wchar_t* text, std::uint32_t bound) {
  std::uint32_t n = 0;
  while (n < bound && text[n] != L'\0') ++n;
  return n;
}

}  // namespace

LmqString::LmqString(const LmqString& other) {
  if (other.text_ != nullptr) Set(other.text_, other.length_);
}

LmqString& LmqString::operator=(const LmqString& other) {
  if (this == &other) return *this;
  if (other.text_ == nullptr) {
    Clear();
  } else {
    Set(other.text_, other.length_);
  }
  return *this;
}

LmqString::~LmqString() { Clear(); }

void LmqString::Set(const wchar_t* text) {
  if (text == nullptr) return;
  Set(text, BoundedLength(text, kMaxLength));
}

void LmqString::Set(const wchar_t* text, std::uint32_t count) {
  if (text == nullptr) return;
  const std::uint32_t length = BoundedLength(text, count);
  // The new text may be a part of the old one: copy before freeing.
  wchar_t* copy = new (std::nothrow) wchar_t[static_cast<std::size_t>(length) + 1];
  if (copy != nullptr) {
    std::wmemcpy(copy, text, length);
    copy[length] = L'\0';
  }
  Clear();
  if (copy == nullptr) return;
  text_ = copy;
  length_ = length;
}

void LmqString::Clear() {
  delete[] text_;
  text_ = nullptr;
  length_ = 0;
}

int LmqString::Compare(const wchar_t* other) const {
  if (other == nullptr) return -1;
  const std::uint32_t otherLength = BoundedLength(other, kMaxLength);
  if (otherLength == kMaxLength && other[kMaxLength] != L'\0') return -1;
  if (length_ == 0 && otherLength == 0) return 0;
  if (text_ == nullptr) return -1;
  const int diff = std::wcsncmp(text_, other, length_);
  if (diff != 0) return diff < 0 ? -1 : 1;
  if (length_ < otherLength) return -1;
  return length_ > otherLength ? 1 : 0;
}
