// The real orbdl with a virtual handheld named by ORBDL_VIRTUAL_HANDHELD.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/child_process.h"
#include "support/temp_dir.h"

namespace {

using orb::test::RunChild;

std::vector<std::pair<std::string, std::string>> Environment(const std::string& handheld) {
  return {{"ORBDL_UI_SCRIPT", "-"}, {"ORBDL_UI_ANSWERS", ""}, {"LC_ALL", "C"}, {"LANG", "C"},
          {"ORBDL_VIRTUAL_HANDHELD", handheld}};
}

TEST(OrbdlVirtualHandheldTest, ABrokenDescriptionStopsTheProgramWithItsError) {
  orb::test::TempDir dir;
  const auto control = dir.Write("c.dsf", "[Info]\r\nEID=pnv#\r\n[File]\r\nC=file:///x.mp4\r\n");
  const auto bad = dir.Write("bad.ini", "[Drive K]\nIdentity = phone\n");
  struct Case {
    std::string description;
    std::string error;
  } cases[] = {
      {bad.string(), "bad.ini: line 2: identity must be one of: card, system, titlecase, other"},
      {(dir.path() / "missing.ini").string(), "missing.ini: cannot be read"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.description);
    const auto result = RunChild(ORBDL_PROGRAM, {control.string()}, Environment(c.description));
    ASSERT_TRUE(result.started);
    ASSERT_FALSE(result.timedOut);
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_NE(result.output.find("orbdl: virtual handheld: "), std::string::npos) << result.output;
    EXPECT_NE(result.output.find(c.error), std::string::npos) << result.output;
    // Nothing else ran: no dialog, no trace line.
    EXPECT_EQ(result.output.find("[UI]"), std::string::npos) << result.output;
    EXPECT_EQ(result.output.find("[ORBDL]"), std::string::npos) << result.output;
  }
}

// No handheld: the plain-media run asks for the USB connection with Retry
// and Cancel, asks again on Retry, and ends without a further message on
// Cancel.
TEST(OrbdlVirtualHandheldTest, NoHandheldAsksForTheConnectionUntilCancelled) {
  orb::test::TempDir dir;
  const auto control = dir.Write("c.dsf", "[Info]\r\nEID=pnv#\r\nDesc=Clip\r\nCC=JP\r\n[File]\r\nC=file:///clip.mp4\r\n");
  const auto handheld = dir.Write("none.ini", "; a virtual handheld with no drives\n");
  auto env = Environment(handheld.string());
  env[1].second = "retry,cancel";
  const auto result = RunChild(ORBDL_PROGRAM, {control.string()}, env);
  ASSERT_TRUE(result.started);
  ASSERT_FALSE(result.timedOut);
  std::vector<std::string> messages;
  for (const std::string& line : orb::test::OutputLines(result.output)) {
    if (line.rfind("[UI] message ", 0) == 0) messages.push_back(line);
  }
  const std::string connect =
      "[UI] message caption=\"Orbiton\xC2\xAENetwork Downloader\" text=\"Establish a USB connection to the "
      "device.\\r\\n\\r\\n<If Using a KVX\xE2\x84\xA2 System> Connect the KVX\xE2\x84\xA2 system using a USB "
      "cable, and then select [USB Connection] under [Settings] on the KVX\xE2\x84\xA2 system.\" icon=warning "
      "buttons=retry-cancel default=retry owner=progress -> ";
  EXPECT_EQ(messages, (std::vector<std::string>{connect + "retry", connect + "cancel"})) << result.output;
}

}  // namespace
