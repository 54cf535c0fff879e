#include "base/wide_text.h"

#include <gtest/gtest.h>

namespace {

// Code points of a wide string, whatever the width of wchar_t.
std::u32string CodePoints(const std::wstring& wide) {
  std::u32string out;
  for (std::size_t i = 0; i < wide.size(); ++i) {
    char32_t c = static_cast<char32_t>(static_cast<std::make_unsigned_t<wchar_t>>(wide[i]));
    if (sizeof(wchar_t) == 2 && c >= 0xD800 && c <= 0xDBFF && i + 1 < wide.size()) {
      c = 0x10000 + ((c - 0xD800) << 10) + (static_cast<char32_t>(wide[i + 1]) - 0xDC00);
      ++i;
    }
    out.push_back(c);
  }
  return out;
}

TEST(WideText, Utf8Decoding) {
  struct Case {
    const char* name;
    std::string utf8;
    std::u32string want;
  } cases[] = {
      {"ascii", "pngc", U"pngc"},
      {"two, three and four bytes", "\xC3\xA9\xE2\x84\xA2\xF0\x9F\x8E\xAE", U"\u00E9\u2122\U0001F3AE"},
      {"lone continuation byte", "a\x80" "b", U"a\uFFFDb"},
      {"truncated sequence at the end", "a\xE2\x84", U"a\uFFFD"},
      {"truncated sequence then ascii", "\xE2\x84" "a", U"\uFFFDa"},
      {"overlong slash", "\xC0\xAF", U"\uFFFD\uFFFD"},
      {"encoded surrogate", "\xED\xA0\x80", U"\uFFFD\uFFFD\uFFFD"},
      {"above U+10FFFF", "\xF4\x90\x80\x80", U"\uFFFD\uFFFD\uFFFD\uFFFD"},
      {"invalid lead byte", "\xFF", U"\uFFFD"},
      {"embedded NUL kept", std::string("a\0b", 3), std::u32string(U"a\0b", 3)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::wstring wide;
    ASSERT_EQ(orb::Utf8ToWide(c.utf8, &wide), S_OK);
    EXPECT_EQ(CodePoints(wide), c.want);
  }
}

TEST(WideText, RoundTripKeepsEveryPlane) {
  const std::string utf8 = "Orbiton\xC2\xAE \xE3\x83\x80\xE3\x82\xA6\xE3\x83\xB3 \xF0\x9F\x8E\xAE";
  EXPECT_EQ(orb::WideToUtf8(orb::Utf8ToWide(utf8)), utf8);
}

TEST(WideText, NullOutputIsRefused) {
  EXPECT_EQ(orb::Utf8ToWide("x", nullptr), E_POINTER);
  EXPECT_EQ(orb::WideToUtf8(L"x", nullptr), E_POINTER);
}

}  // namespace
