#include "flow/version_check.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "base/wide_text.h"
#include "support/environment.h"
#include "base/wide_text.h"
#include "support/file_url.h"
#include "support/temp_dir.h"

namespace {

using Version = CVersionCheck::Version;

Version V(std::uint32_t a, std::uint32_t b, std::uint32_t c, std::uint32_t d) {
  Version v;
  v.part[0] = a;
  v.part[1] = b;
  v.part[2] = c;
  v.part[3] = d;
  return v;
}

std::string Text(const Version& v) {
  return std::to_string(v.part[0]) + "." + std::to_string(v.part[1]) + "." + std::to_string(v.part[2]) + "." +
         std::to_string(v.part[3]);
}

TEST(VersionCheckTest, ParseVersion) {
  struct Case {
    const wchar_t* text;
    HRESULT want;
    Version parsed;
  } cases[] = {
      {L"2.5.0.1024", S_OK, V(2, 5, 0, 1024)},
      {L"2.5.0.1024.7", S_OK, V(2, 5, 0, 1024)},        // a fifth part is ignored
      {L"..2...5.0.1024.", S_OK, V(2, 5, 0, 1024)},     // runs of dots are one separator
      {L" 2. +5.-1.9x", S_OK, V(2, 5, 0xFFFFFFFFu, 9)},  // blanks, signs, 32-bit pattern, stop at non-digit
      {L"a.b.c.d", S_OK, V(0, 0, 0, 0)},                 // no digits: 0
      {L"99999999999.1.1.1", S_OK, V(0x7FFFFFFFu, 1, 1, 1)},
      {L"-99999999999.1.1.1", S_OK, V(0x80000000u, 1, 1, 1)},
      {L"2.5.0", E_FAIL, V(7, 7, 7, 7)},  // fewer than four: untouched
      {L"", E_FAIL, V(7, 7, 7, 7)},
      {L"....", E_FAIL, V(7, 7, 7, 7)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(orb::WideToUtf8(c.text));
    Version got = V(7, 7, 7, 7);
    EXPECT_EQ(CVersionCheck::ParseVersion(c.text, &got), c.want);
    EXPECT_EQ(Text(got), Text(c.parsed));
  }
  Version got;
  EXPECT_EQ(CVersionCheck::ParseVersion(nullptr, &got), E_POINTER);
}

TEST(VersionCheckTest, CompareVersionIsNumericUnsignedAndPositional) {
  EXPECT_EQ(CVersionCheck::CompareVersion(V(2, 5, 0, 9), V(2, 5, 0, 10)), -1);  // not text order
  EXPECT_EQ(CVersionCheck::CompareVersion(V(2, 6, 0, 0), V(2, 5, 9999, 9999)), 1);
  EXPECT_EQ(CVersionCheck::CompareVersion(V(2, 5, 0, 1024), V(2, 5, 0, 1024)), 0);
  EXPECT_EQ(CVersionCheck::CompareVersion(V(0xFFFFFFFFu, 0, 0, 0), V(1, 0, 0, 0)), 1);  // unsigned
}

class ReleaseFileTest : public ::testing::Test {
 protected:
  // The release file's URL after writing it; "" keeps the file away.
  std::wstring Serve(const std::string& body) {
    const auto file = dir_.Write("ORBDversion.xpd", body);
    return orb::test::FileUrl(file);
  }
  orb::test::TempDir dir_;
  // Temporary files of the fetch land here, so a test can see that none is
  // left (TMPDIR on Linux, TMP on Windows).
  orb::test::TempDir tmp_;
  orb::test::ScopedEnvironmentVariable tmpdir_{"TMPDIR", tmp_.path().u8string()};
  orb::test::ScopedEnvironmentVariable tmpvar_{"TMP", tmp_.path().u8string()};

  bool TempFolderEmpty() const { return std::filesystem::is_empty(tmp_.path()); }
};

TEST_F(ReleaseFileTest, CheckVersionAgainstTheServersFile) {
  struct Case {
    const char* file;
    Version program;
    HRESULT want;
  } cases[] = {
      {"[ORBPCDL]\nMV=2.5.0.1024\n", V(2, 5, 0, 1024), S_OK},  // equal passes
      {"[ORBPCDL]\nMV=2.5.0.1025\nLV=3.0.0.0\n", V(2, 5, 0, 1024), ORB_E_PROGRAM_TOO_OLD},
      {"[ORBPCDL]\nLV=2.5.0.10\n", V(2, 5, 0, 9), ORB_E_NEWER_RELEASE},
      {"[ORBPCDL]\nMV=2.5.9999.9999\nLV=2.5.9999.9999\n", V(2, 6, 0, 0), S_OK},
      {"[ORBPCDL]\nMV=0.0.0.0\nLV=0.0.0.0\n", V(0, 0, 0, 1), S_OK},  // 0.0.0.0 is unknown
      {"[ORBPCDL]\nMV=9.0.0.0\n", V(0, 0, 0, 0), S_OK},              // program unknown
      {"[ORBPCDL]\nLV=2.5.0\nMV=9.0.0.0\n", V(2, 5, 0, 0), S_OK},    // malformed LV stops the fetch
      {"[ORBPCDL]\nLV=9.0.0.0\nMV=2.5\n", V(2, 5, 0, 0), ORB_E_NEWER_RELEASE},  // keys before stay
      {"[Info]\nMV=9.0.0.0\n", V(2, 5, 0, 0), S_OK},                 // wrong section
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    const CVersionCheck check(Serve(c.file));
    EXPECT_EQ(check.CheckVersion(c.program), c.want);
    EXPECT_TRUE(TempFolderEmpty());
  }
}

TEST_F(ReleaseFileTest, FetchKeepsTheLinkAndLeavesNoTemporaryFile) {
  const CVersionCheck check(
      Serve("[ORBPCDL]\r\nLV=2.5.0.1024\r\nMV=2.0.0.0\r\nInfo=http://www.vora.example/orbdl/\r\n"));
  EXPECT_EQ(check.FetchResult(), S_OK);
  EXPECT_EQ(check.GetUpdateUrl(), L"http://www.vora.example/orbdl/");
  EXPECT_EQ(Text(check.Latest()), "2.5.0.1024");
  EXPECT_EQ(Text(check.Minimum()), "2.0.0.0");
  EXPECT_TRUE(TempFolderEmpty());
}

TEST_F(ReleaseFileTest, UnreachableFilePassesAndLeavesNoTemporaryFile) {
  const std::wstring missing = orb::test::FileUrl(dir_.path() / "missing.xpd");
  for (const std::wstring& url : {missing, std::wstring(L"gopher://127.0.0.1/x")}) {
    SCOPED_TRACE(orb::WideToUtf8(url));
    const CVersionCheck check(url);
    EXPECT_TRUE(FAILED(check.FetchResult()));
    EXPECT_EQ(check.CheckVersion(V(1, 0, 0, 0)), S_OK);
    EXPECT_EQ(check.GetUpdateUrl(), L"");
    EXPECT_TRUE(TempFolderEmpty());
  }
}

TEST_F(ReleaseFileTest, NoTemporaryFolderPasses) {
  orb::test::ScopedEnvironmentVariable tmpdir("TMPDIR", (dir_.path() / "no" / "such").u8string());
  orb::test::ScopedEnvironmentVariable tmp("TMP", (dir_.path() / "no" / "such").u8string());
  orb::test::ScopedEnvironmentVariable temp("TEMP", (dir_.path() / "no" / "such").u8string());
  const CVersionCheck check(Serve("[ORBPCDL]\nMV=9.0.0.0\n"));
  EXPECT_EQ(check.FetchResult(), ORB_E_NO_TEMP_FILE);
  EXPECT_EQ(check.CheckVersion(V(1, 0, 0, 0)), S_OK);
}

TEST_F(ReleaseFileTest, MachineSettingReplacesTheBuiltInAddress) {
  // The setting is read by the default constructor; the settings file of
  // this test stands in for the machine's (Linux). On Windows the test
  // prefix's registry carries the value (tools/wine/wine-run), so the
  // built-in address is never reached there either.
  const std::wstring url = Serve("[ORBPCDL]\nLV=9.0.0.0\nInfo=from the setting\n");
  const auto settings = dir_.Write("orbdl.conf", "# test\n UpdateControlFile = " + orb::WideToUtf8(url) + " \n");
  orb::test::ScopedEnvironmentVariable file("ORBDL_SETTINGS_FILE", settings.u8string());
  const CVersionCheck check;
  EXPECT_NE(check.Url(), CVersionCheck::kBuiltInUrl);
}

}  // namespace
