// locale.h - the language the user reads.
#pragma once

#include <cstdint>
#include <string>

namespace orb::platform {

// Windows: the user interface language id; false elsewhere.
bool UserInterfaceLangid(std::uint16_t* langid);

// POSIX: the locale that governs messages (LC_ALL, then LC_MESSAGES, then
// LANG; the first that is set and not empty); false on Windows and when
// none is set.
bool UserLocaleName(std::string* name);

}  // namespace orb::platform
