// codepage.h - conversions between wide text and the system's narrow
// ("ANSI") code page, in which files are opened by narrow name.
//
// On Windows this is the active ANSI code page: characters it cannot hold
// become '?', as the system converter does, so such a name converts but then
// names no file. Elsewhere the narrow code page is UTF-8.
#pragma once

#include <string>
#include <string_view>

#include "base/status.h"

namespace orb::platform {

HRESULT WideToAnsi(std::wstring_view wide, std::string* out);
HRESULT AnsiToWide(std::string_view ansi, std::wstring* out);

}  // namespace orb::platform
