// The real orbdl binary, run as a user would, through the scripted user
// interface.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app/program_environment.h"
#include "base/product_version.h"
#include "base/wide_text.h"
#include "flow/lock_with_mutex2.h"
#include "support/child_process.h"
#include "support/temp_dir.h"

namespace {

using orb::test::OutputLines;
using orb::test::ProgramEnvironment;
using orb::test::RunChild;

const std::string kCaption = "Orbiton\xC2\xAENetwork Downloader";
const std::string kAppTrace = "[ORBDL][COrbdlApp.InitInstance()]:Called";
const std::string kStartTrace = "[ORBDL][CDownloaderVisualFlow.Start()]:Called";

std::string Message(const std::string& text) {
  return "[UI] message caption=\"" + kCaption + "\" text=\"" + text +
         "\" icon=none buttons=ok default=ok owner=none -> ok";
}

TEST(OrbdlProgramTest, WithoutArgumentTracesAndShowsTheVersion) {
  orb::test::TempDir dir;
  const auto result = RunChild(ORBDL_PROGRAM, {}, ProgramEnvironment(dir));
  ASSERT_TRUE(result.started);
  ASSERT_FALSE(result.timedOut);
  EXPECT_EQ(result.exitCode, 0);
  const std::vector<std::string> want = {
      kAppTrace, "[UI] version caption=\"" + kCaption + "\" product=\"" + kCaption + " " ORBDL_VERSION_TEXT
                     "\" copyright=\"" ORBDL_COPYRIGHT_TEXT "\" -> ok"};
  EXPECT_EQ(OutputLines(result.output), want);
}

// One run each: what the user sees, from start to the one final message.
TEST(OrbdlProgramTest, ControlFilesEndWithOneMessage) {
  struct Case {
    const char* what;
    std::string file;
    std::vector<std::string> want;
  } cases[] = {
      {"unsupported code (case matters)", "[Info]\r\nEID=PNGC\r\nDesc=Racer\r\n",
       {kAppTrace, kStartTrace, Message("The data type is not supported. \\r\\n(0x80046103)"), "[UI] version-hidden"}},
      {"minimum release of the control file above the program: the notice and nothing after",
       "[Info]\r\nEID=pnv#\r\n[File]\r\nC=http://store.example/a.mp4\r\n[ORBPCDL]\r\nMV=99.0.0.0\r\n"
       "Info=http://www.vora.example/orbdl/\r\n",
       {kAppTrace, kStartTrace,
        "[UI] link caption=\"" + kCaption + "\" text=\"A later version of \\\"" + kCaption +
            "\\\" is available.\\r\\nTo download, you must update to the latest version.\" "
            "url=\"http://www.vora.example/orbdl/\" -> ok",
        "[UI] version-hidden"}},
      {"a video: the progress dialog opens, then the missing operation fails with its code",
       "[Info]\r\nEID=pnvm\r\nDesc=Racer\r\nCC=JP\r\n[File]\r\nC=http://store.example/a.mp4\r\n",
       {kAppTrace, kStartTrace, "[ORBDL][CDownloaderVisualFlow.ComicVideoDownload()]:Called", "[UI] progress open",
        "[UI] progress button=\"Cancel\"", "[UI] progress status=\"Preparing...\"",
        "[UI] progress caption=\"" + kCaption + "\"", "[UI] progress title=\"Racer\"", "[UI] progress close",
        Message("An error has occurred. \\r\\n(0x80004001)"), "[UI] version-hidden"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    orb::test::TempDir dir;
    const auto result = RunChild(ORBDL_PROGRAM, {dir.Write("a.dsf", c.file).string()}, ProgramEnvironment(dir));
    ASSERT_TRUE(result.started);
    ASSERT_FALSE(result.timedOut);
    EXPECT_EQ(OutputLines(result.output), c.want);
  }
}

TEST(OrbdlProgramTest, SecondProgramIsRefusedWhileAnOperationRuns) {
  orb::test::TempDir dir;
  const auto env = ProgramEnvironment(dir);
  LockWithMutex2 running;  // this process stands for the first program
  ASSERT_EQ(running.Lock(nullptr, false, orb::Utf8ToWide(env.back().second).c_str()), S_OK);
  const auto file = dir.Write("a.dsf", "[Info]\r\nEID=pnv#\r\n[File]\r\nC=http://store.example/a.mp4\r\n");
  const auto result = RunChild(ORBDL_PROGRAM, {file.string()}, env);
  ASSERT_TRUE(result.started);
  const std::vector<std::string> want = {kAppTrace, kStartTrace,
                                         Message("Another download is currently being processed."),
                                         "[UI] version-hidden"};
  EXPECT_EQ(OutputLines(result.output), want);
}

TEST(OrbdlProgramTest, ScriptLinesCanGoToAFile) {
  orb::test::TempDir dir;
  const auto log = dir.path() / "ui.log";
  auto env = ProgramEnvironment(dir);
  orb::test::Set(&env, "ORBDL_UI_SCRIPT", log.string());
  const auto result = RunChild(ORBDL_PROGRAM, {(dir.path() / "missing.dsf").string()}, env);
  ASSERT_TRUE(result.started);
  std::ifstream in(log, std::ios::binary);
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(OutputLines(text).size(), 2u);
  EXPECT_NE(text.find("(0x80046101)"), std::string::npos);
  EXPECT_EQ(result.output.find("[UI]"), std::string::npos);
}

}  // namespace
