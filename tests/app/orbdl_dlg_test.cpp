#include "app/orbdl_dlg.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/orbdl_app.h"
#include "base/product_version.h"
#include "base/wide_text.h"
#include "support/environment.h"
#include "base/wide_text.h"
#include "support/file_url.h"
#include "support/temp_dir.h"
#include "ui/scripted_user_interface.h"
#include "ui/string_table.h"

namespace {

using orb::ui::ScriptedUserInterface;

class OrbdlDlgTest : public ::testing::Test {
 protected:
  void SetUp() override { orb::ui::SetCurrentLanguage(orb::ui::kLangEnglish); }
  void TearDown() override { orb::ui::SetCurrentLanguage(0); }

  // The flow runs in this process: a release-version file that is never the
  // maker's server (Linux; the Wine prefix's registry does it on Windows)
  // and a lock of its own.
  orb::test::TempDir settingsDir_;
  orb::test::ScopedEnvironmentVariable settings_{
      "ORBDL_SETTINGS_FILE",
      settingsDir_
          .Write("orbdl.conf",
                 "UpdateControlFile=" + orb::WideToUtf8(orb::test::FileUrl(settingsDir_.path() / "none.xpd")))
          .string()};
  orb::test::ScopedEnvironmentVariable lock_{"ORBDL_LOCK_NAME",
                                             "orbdl-dlg-test-" + settingsDir_.path().filename().string()};
};

TEST_F(OrbdlDlgTest, WithoutArgumentShowsNameVersionAndCopyright) {
  ScriptedUserInterface ui;
  COrbdlDlg dialog(ui, {L"orbdl"});
  ui.RunMainDialog(&dialog);
  const std::string want = std::string("[UI] version caption=\"Orbiton\xC2\xAENetwork Downloader\" product=\"Orbiton") +
                           "\xC2\xAENetwork Downloader " ORBDL_VERSION_TEXT "\" copyright=\"" ORBDL_COPYRIGHT_TEXT
                           "\" -> ok";
  ASSERT_EQ(ui.Lines().size(), 1u);
  EXPECT_EQ(ui.Lines()[0], want);
  EXPECT_EQ(dialog.Version()[0], ORBDL_VERSION_MAJOR);
  EXPECT_EQ(dialog.Version()[3], ORBDL_VERSION_BUILD);
}

TEST_F(OrbdlDlgTest, ControlFileRunsUnseenAndOnlyTheFirstArgumentCounts) {
  orb::test::TempDir dir;
  const auto unsupported = dir.Write("a.dsf", "[Info]\r\nEID=PNGC\r\n");
  const auto missing = dir.path() / "missing.dsf";
  struct Case {
    const char* what;
    std::vector<std::wstring> args;
    std::string text;
  } cases[] = {
      {"unsupported code (case matters)", {L"orbdl", unsupported.wstring()},
       "The data type is not supported. \\r\\n(0x80046103)"},
      {"missing file", {L"orbdl", missing.wstring()}, "An error has occurred. \\r\\n(0x80046101)"},
      {"further arguments ignored", {L"orbdl", missing.wstring(), unsupported.wstring(), L"/x"},
       "An error has occurred. \\r\\n(0x80046101)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ScriptedUserInterface ui;
    COrbdlDlg dialog(ui, c.args);
    ui.RunMainDialog(&dialog);
    const auto lines = ui.Lines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "[UI] message caption=\"Orbiton\xC2\xAENetwork Downloader\" text=\"" + c.text +
                            "\" icon=none buttons=ok default=ok owner=none -> ok");
    EXPECT_EQ(lines[1], "[UI] version-hidden");
  }
}

TEST_F(OrbdlDlgTest, KnownOperationsAreRefusedUntilTheyExist) {
  orb::test::TempDir dir;
  const auto file = dir.Write("a.dsf", "[Info]\nEID=pnvm\nCC=JP\n[File]\nC=http://store.example/a.mp4\n");
  ScriptedUserInterface ui;
  COrbdlDlg dialog(ui, {L"orbdl", file.wstring()});
  EXPECT_EQ(dialog.RunControlFile(file.wstring().c_str()), E_NOTIMPL);
  const auto lines = ui.Lines();
  ASSERT_GE(lines.size(), 3u);
  EXPECT_EQ(lines.front(), "[UI] progress open");
  EXPECT_EQ(lines[lines.size() - 2], "[UI] progress close");
  EXPECT_NE(lines.back().find("An error has occurred. \\r\\n(0x80004001)"), std::string::npos);
}

}  // namespace
