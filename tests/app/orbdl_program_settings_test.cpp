// The release-version file named by the machine's settings file (Linux; on
// Windows the registry names it, see the platform tests).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/program_environment.h"
#include "support/child_process.h"
#include "support/temp_dir.h"

namespace {

TEST(OrbdlProgramTest, ServersNewerReleaseIsAnnouncedAndTheRunGoesOn) {
  orb::test::TempDir dir;
  // The server's newer release wins over the control file's own minimum:
  // one notice, then the operation (which this build refuses with its code).
  const auto env = orb::test::ProgramEnvironment(
      dir, "[ORBPCDL]\r\nLV=99.0.0.0\r\nMV=0.0.0.1\r\nInfo=http://www.vora.example/orbdl/\r\n");
  const auto file = dir.Write("a.dsf", "[Info]\r\nEID=xxxx\r\n[ORBPCDL]\r\nMV=99.0.0.0\r\n");
  const auto result = orb::test::RunChild(ORBDL_PROGRAM, {file.string()}, env);
  ASSERT_TRUE(result.started);
  const auto lines = orb::test::OutputLines(result.output);
  ASSERT_EQ(lines.size(), 5u) << result.output;
  EXPECT_EQ(lines[2],
            "[UI] link caption=\"Orbiton\xC2\xAENetwork Downloader\" text=\"A later version of \\\"Orbiton\xC2\xAE"
            "Network Downloader\\\" is available.\" url=\"http://www.vora.example/orbdl/\" -> ok");
  EXPECT_NE(lines[3].find("(0x80046103)"), std::string::npos);
}

}  // namespace
