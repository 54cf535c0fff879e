// The locale chooses the language of the texts (Linux; on Windows the user
// interface language does, which a test cannot set for a child under Wine).
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "app/program_environment.h"
#include "support/child_process.h"
#include "support/temp_dir.h"

namespace {

using orb::test::RunChild;

TEST(OrbdlProgramTest, TextsFollowTheUsersLanguage) {
  orb::test::TempDir dir;
  const auto file = dir.Write("unsupported.dsf", "[Info]\nEID=xxxx\n");
  auto env = orb::test::ProgramEnvironment(dir);
  orb::test::Set(&env, "LC_ALL", "de_DE.UTF-8");
  const auto result = RunChild(ORBDL_PROGRAM, {file.string()}, env);
  ASSERT_TRUE(result.started);
  EXPECT_NE(result.output.find("text=\"Dieser Datentyp wird nicht unterst\xC3\xBCtzt. \\r\\n(0x80046103)\""),
            std::string::npos)
      << result.output;
}

}  // namespace
