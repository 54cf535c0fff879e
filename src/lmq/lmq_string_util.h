// lmq_string_util.h - stateless text helpers of the HTTP library.
//
// Narrow text is the system's ANSI code page (UTF-8 outside Windows), the
// only code page the library uses on the wire.
#pragma once

#include <string>

#include "lmq/lmq_string.h"

class LmqStringUtil {
 public:
  // Results: the length without terminator, or -1 (and the target
  // untouched) when the conversion failed.
  int WideToNarrow(const wchar_t* text, std::string* out) const;
  int NarrowToWide(const char* text, std::wstring* out) const;
  int NarrowToWide(const char* text, LmqString* out) const;

  // ASCII letters only; other bytes are kept.
  std::string ToUpper(const char* text) const;
  // Four dot-separated decimal parts of 0 to 255 each; an empty part counts
  // as 0.
  bool IsDottedIPv4(const char* text) const;
  // The value of a text that IsDottedIPv4 accepts, network byte order.
  std::uint32_t DottedIPv4Value(const char* text) const;
  // Replaces *target with a copy of text; a null or empty text leaves it
  // null. False when the copy could not be allocated.
  bool CopyNarrow(char** target, const char* text) const;
};

// The library's one instance.
extern const LmqStringUtil g_lmqStringUtil;
