#include "ui/string_table.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

using orb::ui::LanguageForLangid;
using orb::ui::LanguageForLocale;
using orb::ui::LoadStringForLanguage;

// Every id the program shows.
constexpr unsigned kIds[] = {133, 135, 136, 137, 138, 139, 141, 142, 144, 148, 150, 152, 153, 154, 155, 156, 157,
                             158, 159, 161, 166, 167, 168, 170, 172, 177, 178, 179, 180, 181, 182, 183, 184, 185,
                             186, 187};

TEST(StringTableTest, EnglishTextsAreTheProgramsOwn) {
  struct Case {
    unsigned id;
    const wchar_t* want;
  } cases[] = {
      {orb::ui::IDS_PRODUCT_NAME, L"Orbiton\u00aeNetwork Downloader"},
      {orb::ui::IDS_DOWNLOAD_COMPLETED, L"Download completed."},
      {orb::ui::IDS_SEVERAL_DEVICES, L"More than one device is connected.\r\nConnect only one device."},
      {orb::ui::IDS_MUST_UPDATE,
       L"A later version of \"Orbiton\u00aeNetwork Downloader\" is available.\r\nTo download, you must update to "
       L"the latest version."},
      {orb::ui::IDS_GO_ONLY, L"This game can only be downloaded to a KVX\u2122go system."},
      {orb::ui::IDS_NO_SD_CARD, L"There is no SD Memory Card inserted."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    EXPECT_EQ(LoadStringForLanguage(c.id, orb::ui::kLangEnglish), c.want);
  }
  EXPECT_EQ(LoadStringForLanguage(134, orb::ui::kLangEnglish), L"");
}

TEST(StringTableTest, EveryLanguageCarriesEveryIdWithTheProductName) {
  std::set<std::uint16_t> seen;
  for (std::size_t i = 0; i < orb::ui::LanguageCount(); ++i) {
    const std::uint16_t lang = orb::ui::LanguageAt(i);
    SCOPED_TRACE(lang);
    EXPECT_TRUE(seen.insert(lang).second);
    for (const unsigned id : kIds) {
      EXPECT_FALSE(LoadStringForLanguage(id, lang).empty()) << id;
    }
    EXPECT_EQ(LoadStringForLanguage(orb::ui::IDS_PRODUCT_NAME, lang), L"Orbiton\u00aeNetwork Downloader");
  }
  EXPECT_EQ(orb::ui::LanguageAt(0), orb::ui::kLangEnglish);
}

TEST(StringTableTest, LanguageChoiceFallsBackToEnglish) {
  EXPECT_EQ(LanguageForLangid(0x0409), 0x0409);
  EXPECT_EQ(LanguageForLangid(0x0809), 0x0409);  // English (UK): same primary language
  EXPECT_EQ(LanguageForLangid(0x041D), 0x0409);  // Swedish: no table
  EXPECT_EQ(LanguageForLangid(0x0000), 0x0409);
  EXPECT_EQ(LanguageForLocale("C"), 0x0409);
  EXPECT_EQ(LanguageForLocale("POSIX"), 0x0409);
  EXPECT_EQ(LanguageForLocale(""), 0x0409);
  EXPECT_EQ(LanguageForLocale("sv_SE.UTF-8"), 0x0409);
  EXPECT_EQ(LanguageForLocale("en_GB.UTF-8"), 0x0409);
}

TEST(StringTableTest, LocalesAndLanguageIdsFindTheirTables) {
  struct Case {
    const char* locale;
    std::uint16_t langid;
    std::uint16_t want;
  } cases[] = {
      {"de_DE.UTF-8", 0x0407, 0x0407}, {"de_CH.UTF-8", 0x0807, 0x0407}, {"fr_CA", 0x0C0C, 0x040C},
      {"it_IT.UTF-8@euro", 0x0410, 0x0410}, {"ja_JP.eucJP", 0x0411, 0x0411}, {"ko_KR", 0x0412, 0x0412},
      {"nl_BE", 0x0813, 0x0413}, {"ru_RU.KOI8-R", 0x0419, 0x0419}, {"zh_CN.GB18030", 0x0804, 0x0804},
      {"zh_SG", 0x1004, 0x0804}, {"zh_TW.UTF-8", 0x0404, 0x0404}, {"zh_HK", 0x0C04, 0x0404},
      {"pt_BR", 0x0416, 0x0816}, {"pt_PT", 0x0816, 0x0816}, {"es_ES", 0x0C0A, 0x0C0A},
      {"es_MX", 0x080A, 0x0C0A}, {"es_ES@traditional", 0x040A, 0x0C0A},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.locale);
    EXPECT_EQ(LanguageForLocale(c.locale), c.want);
    EXPECT_EQ(LanguageForLangid(c.langid), c.want);
  }
  EXPECT_EQ(LanguageForLocale("zh"), 0x0804);
  EXPECT_EQ(LoadStringForLanguage(orb::ui::IDS_DOWNLOAD_COMPLETED, 0x0407), L"Der Download ist abgeschlossen.");
  EXPECT_EQ(LoadStringForLanguage(orb::ui::IDS_CANCEL, 0x0411), L"\u30ad\u30e3\u30f3\u30bb\u30eb");
}

TEST(StringTableTest, OverrideAndReset) {
  orb::ui::SetCurrentLanguage(0x0409);
  EXPECT_EQ(orb::ui::CurrentLanguage(), 0x0409);
  EXPECT_EQ(orb::ui::LoadString(orb::ui::IDS_OK), L"OK");
  orb::ui::SetCurrentLanguage(0);
}

}  // namespace
