// wide_text.cpp - UTF-8 <-> wide text.
#include "base/wide_text.h"

#include <cstdint>
#include <new>
#include <type_traits>

namespace orb {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

// Decodes one code point starting at utf8[i]; advances i past it, or past the
// maximal ill-formed subsequence (yielding U+FFFD).
char32_t DecodeOne(std::string_view utf8, std::size_t& i) {
  const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(utf8[k]); };
  const unsigned char b0 = byte(i);
  if (b0 < 0x80) {
    ++i;
    return b0;
  }
  int extra;
  char32_t cp;
  unsigned char lo = 0x80, hi = 0xBF;  // allowed range of the second byte
  if (b0 >= 0xC2 && b0 <= 0xDF) {
    extra = 1;
    cp = b0 & 0x1F;
  } else if (b0 >= 0xE0 && b0 <= 0xEF) {
    extra = 2;
    cp = b0 & 0x0F;
    if (b0 == 0xE0) lo = 0xA0;        // no overlong forms
    if (b0 == 0xED) hi = 0x9F;        // no surrogates
  } else if (b0 >= 0xF0 && b0 <= 0xF4) {
    extra = 3;
    cp = b0 & 0x07;
    if (b0 == 0xF0) lo = 0x90;        // no overlong forms
    if (b0 == 0xF4) hi = 0x8F;        // nothing above U+10FFFF
  } else {
    ++i;
    return kReplacement;
  }
  ++i;
  for (int k = 0; k < extra; ++k) {
    if (i >= utf8.size()) return kReplacement;
    const unsigned char b = byte(i);
    const unsigned char min = (k == 0) ? lo : 0x80;
    const unsigned char max = (k == 0) ? hi : 0xBF;
    if (b < min || b > max) return kReplacement;  // b starts the next sequence
    cp = (cp << 6) | (b & 0x3F);
    ++i;
  }
  return cp;
}

void AppendWide(std::wstring& out, char32_t cp) {
  if constexpr (sizeof(wchar_t) == 2) {
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out.push_back(static_cast<wchar_t>(0xD800 + (cp >> 10)));
      out.push_back(static_cast<wchar_t>(0xDC00 + (cp & 0x3FF)));
      return;
    }
  }
  out.push_back(static_cast<wchar_t>(cp));
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

}  // namespace

HRESULT Utf8ToWide(std::string_view utf8, std::wstring* out) {
  if (out == nullptr) return E_POINTER;
  try {
    std::wstring result;
    result.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) AppendWide(result, DecodeOne(utf8, i));
    out->swap(result);
    return S_OK;
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
}

HRESULT WideToUtf8(std::wstring_view wide, std::string* out) {
  if (out == nullptr) return E_POINTER;
  try {
    std::string result;
    result.reserve(wide.size());
    for (std::size_t i = 0; i < wide.size(); ++i) {
      auto cp = static_cast<char32_t>(static_cast<std::make_unsigned_t<wchar_t>>(wide[i]));
      if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < wide.size()) {
        const auto next = static_cast<char32_t>(static_cast<std::make_unsigned_t<wchar_t>>(wide[i + 1]));
        if (next >= 0xDC00 && next <= 0xDFFF) {
          cp = 0x10000 + ((cp - 0xD800) << 10) + (next - 0xDC00);
          ++i;
        }
      }
      if ((cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF) cp = kReplacement;
      AppendUtf8(result, cp);
    }
    out->swap(result);
    return S_OK;
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
}

std::wstring Utf8ToWide(std::string_view utf8) {
  std::wstring out;
  Utf8ToWide(utf8, &out);
  return out;
}

std::string WideToUtf8(std::wstring_view wide) {
  std::string out;
  WideToUtf8(wide, &out);
  return out;
}

}  // namespace orb
