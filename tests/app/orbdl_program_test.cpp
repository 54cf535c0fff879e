// The real orbdl binary, run as a user would, through the scripted user
// interface.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "base/product_version.h"
#include "support/child_process.h"
#include "support/temp_dir.h"

namespace {

using orb::test::OutputLines;
using orb::test::RunChild;

const std::vector<std::pair<std::string, std::string>> kScripted = {
    {"ORBDL_UI_SCRIPT", "-"}, {"ORBDL_UI_ANSWERS", ""}, {"LC_ALL", "C"}, {"LANG", "C"}};

TEST(OrbdlProgramTest, WithoutArgumentTracesAndShowsTheVersion) {
  const auto result = RunChild(ORBDL_PROGRAM, {}, kScripted);
  ASSERT_TRUE(result.started);
  ASSERT_FALSE(result.timedOut);
  EXPECT_EQ(result.exitCode, 0);
  const std::vector<std::string> want = {
      "[ORBDL][COrbdlApp.InitInstance()]:Called",
      "[UI] version caption=\"Orbiton\xC2\xAENetwork Downloader\" product=\"Orbiton\xC2\xAENetwork Downloader "
      ORBDL_VERSION_TEXT "\" copyright=\"" ORBDL_COPYRIGHT_TEXT "\" -> ok"};
  EXPECT_EQ(OutputLines(result.output), want);
}

TEST(OrbdlProgramTest, UnsupportedControlFileEndsWithOneMessage) {
  orb::test::TempDir dir;
  const auto file = dir.Write("unsupported.dsf", "[Info]\r\nEID=PNGC\r\nDesc=Racer\r\n");
  const auto result = RunChild(ORBDL_PROGRAM, {file.string()}, kScripted);
  ASSERT_TRUE(result.started);
  ASSERT_FALSE(result.timedOut);
  const std::vector<std::string> want = {
      "[ORBDL][COrbdlApp.InitInstance()]:Called",
      "[ORBDL][CDownloaderVisualFlow.Start()]:Called",
      "[UI] message caption=\"Orbiton\xC2\xAENetwork Downloader\" text=\"The data type is not supported. "
      "\\r\\n(0x80046103)\" icon=none buttons=ok default=ok owner=none -> ok",
      "[UI] version-hidden"};
  EXPECT_EQ(OutputLines(result.output), want);
}

TEST(OrbdlProgramTest, ScriptLinesCanGoToAFile) {
  orb::test::TempDir dir;
  const auto log = dir.path() / "ui.log";
  auto env = kScripted;
  env[0].second = log.string();
  const auto result = RunChild(ORBDL_PROGRAM, {(dir.path() / "missing.dsf").string()}, env);
  ASSERT_TRUE(result.started);
  std::ifstream in(log, std::ios::binary);
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(OutputLines(text).size(), 2u);
  EXPECT_NE(text.find("(0x80046101)"), std::string::npos);
  EXPECT_EQ(result.output.find("[UI]"), std::string::npos);
}

}  // namespace
