// The Windows string table resource and the portable table come from the
// same files; this reads every string of every language back from the
// resource and compares.
#include "platform/win32/windows_api.h"

#include <gtest/gtest.h>

#include <string>

#include "ui/string_table.h"

namespace {

// A string from its block of 16 in the resource of one language; false when
// the language has no such block.
bool ResourceString(unsigned id, WORD langid, std::wstring* text) {
  const HMODULE module = GetModuleHandleW(nullptr);
  const HRSRC found = FindResourceExW(module, MAKEINTRESOURCEW(6) /* RT_STRING */,
                                      MAKEINTRESOURCEW(id / 16 + 1), langid);
  if (found == nullptr) return false;
  const auto* p = static_cast<const WCHAR*>(LockResource(LoadResource(module, found)));
  if (p == nullptr) return false;
  for (unsigned i = 0; i < id % 16; ++i) p += 1 + *p;
  text->assign(p + 1, *p);
  return true;
}

constexpr unsigned kIds[] = {133, 135, 136, 137, 138, 139, 141, 142, 144, 148, 150, 152, 153, 154, 155, 156, 157,
                             158, 159, 161, 166, 167, 168, 170, 172, 177, 178, 179, 180, 181, 182, 183, 184, 185,
                             186, 187};

TEST(StringResourcesTest, EveryLanguageMatchesThePortableTable) {
  for (std::size_t i = 0; i < orb::ui::LanguageCount(); ++i) {
    const std::uint16_t lang = orb::ui::LanguageAt(i);
    for (const unsigned id : kIds) {
      SCOPED_TRACE(testing::Message() << "language " << std::hex << lang << " id " << std::dec << id);
      std::wstring text;
      ASSERT_TRUE(ResourceString(id, lang, &text));
      EXPECT_EQ(text, orb::ui::LoadStringForLanguage(id, lang));
    }
  }
  // The neutral table carries the English texts.
  for (const unsigned id : kIds) {
    std::wstring text;
    ASSERT_TRUE(ResourceString(id, MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL), &text));
    EXPECT_EQ(text, orb::ui::LoadStringForLanguage(id, orb::ui::kLangEnglish));
  }
}

}  // namespace
