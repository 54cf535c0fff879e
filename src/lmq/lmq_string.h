// lmq_string.h - the HTTP library's owned wide string: a heap buffer that is
// null while unset. Reading an unset string gives "", never a null pointer.
#pragma once

#include <cstdint>

class LmqString {
 public:
  // Texts are counted up to this many characters.
  static constexpr std::uint32_t kMaxLength = 2147483647u;

  LmqString() = default;
  LmqString(const LmqString& other);
  LmqString& operator=(const LmqString& other);
  virtual ~LmqString();

  // A null text is ignored. On allocation failure the string stays unset.
  void Set(const wchar_t* text);
  // The first `count` characters, or fewer when a zero comes first.
  void Set(const wchar_t* text, std::uint32_t count);
  const wchar_t* Get() const { return text_ != nullptr ? text_ : L""; }
  std::uint32_t Length() const { return length_; }
  bool IsSet() const { return text_ != nullptr; }
  void Clear();
  // -1, 0 or 1; a null or unbounded other text and an unset own string
  // compare as smaller, two empty texts as equal.
  int Compare(const wchar_t* other) const;

 private:
  wchar_t* text_ = nullptr;
  std::uint32_t length_ = 0;
};
