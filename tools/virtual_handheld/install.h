// install.h - puts the virtual handheld that ORBDL_VIRTUAL_HANDHELD names
// in place of the real devices, for the rest of the process.
#pragma once

#include <string>

namespace orb::virtual_handheld {

// The environment variable that names the description file.
constexpr wchar_t kEnvironmentVariable[] = L"ORBDL_VIRTUAL_HANDHELD";

enum class InstallResult {
  kNotRequested,  // the variable is unset or empty: real devices
  kInstalled,
  kFailed,  // unreadable or invalid description; *error says why
};

// Reads and checks the description (relative Root directories are taken
// from the description file's own directory) and installs it as the
// device simulation. Call once at start-up, before any device question.
InstallResult InstallFromEnvironment(std::string* error);

}  // namespace orb::virtual_handheld
