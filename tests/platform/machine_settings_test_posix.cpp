// The settings file: /etc/orbdl.conf, or the file ORBDL_SETTINGS_FILE names.
#include "platform/machine_settings.h"

#include <gtest/gtest.h>

#include <string>

#include "support/environment.h"
#include "support/temp_dir.h"

namespace {

TEST(MachineSettingsTest, ReadsTheNamedLineOfTheSettingsFile) {
  orb::test::TempDir dir;
  const std::string longest(orb::platform::kMaxSettingChars, 'x');
  struct Case {
    const char* what;
    std::string file;
    bool found;
    std::wstring value;
  } cases[] = {
      {"plain", "UpdateControlFile=file:///srv/v.xpd\n", true, L"file:///srv/v.xpd"},
      {"blanks, CR LF, comments before",
       "# machine settings\r\n; more\r\n\r\n  UpdateControlFile =  http://h/x?a=b  \r\n", true, L"http://h/x?a=b"},
      {"first line counts", "UpdateControlFile=one\nUpdateControlFile=two\n", true, L"one"},
      {"UTF-8", "UpdateControlFile=file:///srv/caf\xC3\xA9.xpd\n", true, L"file:///srv/caf\u00e9.xpd"},
      {"other names and case", "updatecontrolfile=x\nUpdateControlFileX=y\n", false, L""},
      {"commented out", "#UpdateControlFile=x\n", false, L""},
      {"longest value", "UpdateControlFile=" + longest + "\n", true, std::wstring(longest.begin(), longest.end())},
      {"too long", "UpdateControlFile=" + longest + "y\n", false, L""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const auto file = dir.Write("orbdl.conf", c.file);
    orb::test::ScopedEnvironmentVariable env("ORBDL_SETTINGS_FILE", file.string());
    std::wstring value = L"untouched";
    EXPECT_EQ(orb::platform::ReadMachineSetting(orb::platform::kUpdateControlFileSetting, &value), c.found);
    EXPECT_EQ(value, c.found ? c.value : L"untouched");
  }
  orb::test::ScopedEnvironmentVariable env("ORBDL_SETTINGS_FILE", (dir.path() / "missing.conf").string());
  std::wstring value;
  EXPECT_FALSE(orb::platform::ReadMachineSetting(orb::platform::kUpdateControlFileSetting, &value));
}

}  // namespace
