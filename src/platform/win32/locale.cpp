// locale.cpp (Windows)
#include "platform/locale.h"

#include "platform/win32/windows_api.h"

namespace orb::platform {

bool UserInterfaceLangid(std::uint16_t* langid) {
  *langid = GetUserDefaultUILanguage();
  return true;
}

bool UserLocaleName(std::string* /*name*/) { return false; }

}  // namespace orb::platform
