// machine_settings.h - the program's machine-wide settings.
//
// There is one: "UpdateControlFile", the address of the release-version
// file, which replaces the built-in address when it is set.
//   Windows: the value of that name under HKEY_LOCAL_MACHINE
//     "SOFTWARE\Vora\ORBITON Network Downloader", read as text (its type is
//     not checked), at most 1023 characters.
//   Linux: a line "UpdateControlFile=VALUE" in /etc/orbdl.conf (UTF-8;
//     blanks around name and value ignored; lines starting with # or ; are
//     comments; the first line of a name counts; values of more than 1023
//     characters are not read). The environment variable
//     ORBDL_SETTINGS_FILE names another file instead, so that tests never
//     write /etc.
#pragma once

#include <cstddef>
#include <string>

namespace orb::platform {

constexpr wchar_t kUpdateControlFileSetting[] = L"UpdateControlFile";

// Most characters of a setting's value.
constexpr std::size_t kMaxSettingChars = 1023;

// The setting's value; false when it is not set or cannot be read.
bool ReadMachineSetting(const wchar_t* name, std::wstring* value);

}  // namespace orb::platform
