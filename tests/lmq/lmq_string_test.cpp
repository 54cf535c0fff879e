#include "lmq/lmq_string.h"
#include "lmq/lmq_string_util.h"

#include <gtest/gtest.h>

namespace {

TEST(LmqString, UnsetReadsEmptyAndSetCopies) {
  LmqString s;
  EXPECT_STREQ(s.Get(), L"");
  EXPECT_FALSE(s.IsSet());
  s.Set(nullptr);  // ignored
  EXPECT_FALSE(s.IsSet());
  s.Set(L"abcdef", 3);
  EXPECT_STREQ(s.Get(), L"abc");
  EXPECT_EQ(s.Length(), 3u);
  s.Set(L"ab\0cd", 5);  // stops at the first zero
  EXPECT_EQ(s.Length(), 2u);
  s.Set(s.Get() + 1);  // from a part of itself
  EXPECT_STREQ(s.Get(), L"b");
  LmqString copy = s;
  s.Clear();
  EXPECT_STREQ(copy.Get(), L"b");
  EXPECT_FALSE(s.IsSet());
}

TEST(LmqString, CompareRule) {
  struct Case {
    const wchar_t* own;  // nullptr: unset
    const wchar_t* other;
    int want;
  } cases[] = {
      {L"abc", nullptr, -1}, {nullptr, L"", 0},    {L"", L"", 0},      {nullptr, L"a", -1},
      {L"abc", L"abc", 0},   {L"abc", L"abd", -1}, {L"abd", L"abc", 1}, {L"ab", L"abc", -1},
      {L"abc", L"ab", 1},    {L"80", L"080", 1},
  };
  for (const Case& c : cases) {
    LmqString s;
    if (c.own != nullptr) s.Set(c.own);
    SCOPED_TRACE(testing::Message() << (c.own ? "set" : "unset") << " vs " << (c.other ? "text" : "null"));
    EXPECT_EQ(s.Compare(c.other), c.want);
  }
}

TEST(LmqStringUtil, DottedIPv4) {
  struct Case {
    const char* text;
    bool want;
  } cases[] = {
      {"10.0.0.1", true},  {"255.255.255.255", true}, {"1..2.3", true},  {"...", true},
      {"10.0.1", false},   {"10.0.0.256", false},     {"1.2.3.4.5", false}, {"1.2.3.a", false},
      {"1.2.3.4.", false}, {"", false},               {nullptr, false},  {" 1.2.3.4", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text ? c.text : "(null)");
    EXPECT_EQ(g_lmqStringUtil.IsDottedIPv4(c.text), c.want);
  }
}

TEST(LmqStringUtil, ConversionsAndCopies) {
  std::string narrow = "old";
  EXPECT_EQ(g_lmqStringUtil.WideToNarrow(L"Host", &narrow), 4);
  EXPECT_EQ(narrow, "Host");
  EXPECT_EQ(g_lmqStringUtil.WideToNarrow(nullptr, &narrow), -1);
  EXPECT_EQ(narrow, "Host");
  std::wstring wide;
  EXPECT_EQ(g_lmqStringUtil.NarrowToWide("abc", &wide), 3);
  EXPECT_EQ(wide, L"abc");
  LmqString s;
  EXPECT_EQ(g_lmqStringUtil.NarrowToWide("", &s), 0);
  EXPECT_EQ(g_lmqStringUtil.ToUpper("chunked-Ä1"), "CHUNKED-Ä1");
  EXPECT_EQ(g_lmqStringUtil.ToUpper(""), "");

  char* target = nullptr;
  EXPECT_TRUE(g_lmqStringUtil.CopyNarrow(&target, "text"));
  ASSERT_NE(target, nullptr);
  EXPECT_STREQ(target, "text");
  EXPECT_TRUE(g_lmqStringUtil.CopyNarrow(&target, ""));
  EXPECT_EQ(target, nullptr);
}

}  // namespace
