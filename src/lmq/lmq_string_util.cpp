// lmq_string_util.cpp - text helpers of the HTTP library.
#include "lmq/lmq_string_util.h"

#include <climits>
#include <cstring>
#include <new>

#include "platform/codepage.h"

const LmqStringUtil g_lmqStringUtil;

int LmqStringUtil::WideToNarrow(const wchar_t* text, std::string* out) const {
  if (text == nullptr || out == nullptr) return -1;
  std::string result;
  if (FAILED(orb::platform::WideToAnsi(text, &result)) || result.size() > INT_MAX) return -1;
  out->swap(result);
  return static_cast<int>(out->size());
}

int LmqStringUtil::NarrowToWide(const char* text, std::wstring* out) const {
  if (text == nullptr || out == nullptr) return -1;
  std::wstring result;
  if (FAILED(orb::platform::AnsiToWide(text, &result)) || result.size() > INT_MAX) return -1;
  out->swap(result);
  return static_cast<int>(out->size());
}

int LmqStringUtil::NarrowToWide(const char* text, LmqString* out) const {
  if (out == nullptr) return -1;
  std::wstring wide;
  const int length = NarrowToWide(text, &wide);
  if (length < 0) return -1;
  out->Set(wide.c_str());
  return out->IsSet() ? length : -1;
}

std::string LmqStringUtil::ToUpper(const char* text) const {
  std::string upper = text != nullptr ? text : "";
  for (char& c : upper) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return upper;
}

bool LmqStringUtil::IsDottedIPv4(const char* text) const {
  if (text == nullptr) return false;
  const char* p = text;
  for (int part = 0; part < 4; ++part) {
    unsigned value = 0;
    // Each part ends at a dot; the text's end stands for the last dot.
    while (*p != '.' && *p != '\0') {
      if (*p < '0' || *p > '9') return false;
      value = value * 10 + static_cast<unsigned>(*p - '0');
      if (value > 255) return false;
      ++p;
    }
    if (*p == '\0') return part == 3;
    ++p;
  }
  return false;
}

std::uint32_t LmqStringUtil::DottedIPv4Value(const char* text) const {
  unsigned char bytes[4] = {};
  const char* p = text != nullptr ? text : "";
  for (unsigned char& byte : bytes) {
    unsigned value = 0;
    while (*p >= '0' && *p <= '9') value = value * 10 + static_cast<unsigned>(*p++ - '0');
    byte = static_cast<unsigned char>(value);
    if (*p == '.') ++p;
  }
  std::uint32_t network;
  std::memcpy(&network, bytes, sizeof network);
  return network;
}

bool LmqStringUtil::CopyNarrow(char** target, const char* text) const {
  if (target == nullptr) return false;
  delete[] *target;
  *target = nullptr;
  if (text == nullptr || *text == '\0') return true;
  const std::size_t length = std::strlen(text);
  char* copy = new (std::nothrow) char[length + 1];
  if (copy == nullptr) return false;
  std::memcpy(copy, text, length + 1);
  *target = copy;
  return true;
}
