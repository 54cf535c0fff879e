// machine_settings.cpp (POSIX): a settings file under /etc.
#include "platform/machine_settings.h"

#include <fstream>
#include <string>

#include "base/wide_text.h"
#include "platform/process.h"

namespace orb::platform {
namespace {

constexpr char kSettingsFile[] = "/etc/orbdl.conf";

std::string Trim(const std::string& text) {
  const std::size_t first = text.find_first_not_of(" \t\r");
  if (first == std::string::npos) return std::string();
  const std::size_t last = text.find_last_not_of(" \t\r");
  return text.substr(first, last - first + 1);
}

}  // namespace

bool ReadMachineSetting(const wchar_t* name, std::wstring* value) {
  std::string path = kSettingsFile;
  std::wstring other;
  if (ReadEnvironmentVariable(L"ORBDL_SETTINGS_FILE", &other) && !other.empty()) path = WideToUtf8(other);

  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  const std::string wanted = WideToUtf8(name);
  std::string line;
  while (std::getline(in, line)) {
    const std::string text = Trim(line);
    if (text.empty() || text[0] == '#' || text[0] == ';') continue;
    const std::size_t equals = text.find('=');
    if (equals == std::string::npos || Trim(text.substr(0, equals)) != wanted) continue;
    std::wstring wide;
    if (FAILED(Utf8ToWide(Trim(text.substr(equals + 1)), &wide)) || wide.size() > kMaxSettingChars) return false;
    *value = wide;
    return true;
  }
  return false;
}

}  // namespace orb::platform
