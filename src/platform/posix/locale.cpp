// locale.cpp (POSIX)
#include "platform/locale.h"

#include <cstdlib>

namespace orb::platform {

bool UserInterfaceLangid(std::uint16_t* /*langid*/) { return false; }

bool UserLocaleName(std::string* name) {
  for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* value = std::getenv(variable);
    if (value != nullptr && *value != '\0') {
      *name = value;
      return true;
    }
  }
  return false;
}

}  // namespace orb::platform
