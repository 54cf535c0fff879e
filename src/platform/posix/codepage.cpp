// codepage.cpp (POSIX) - the narrow code page is UTF-8.
#include "platform/codepage.h"

#include "base/wide_text.h"

namespace orb::platform {

HRESULT WideToAnsi(std::wstring_view wide, std::string* out) { return WideToUtf8(wide, out); }

HRESULT AnsiToWide(std::string_view ansi, std::wstring* out) { return Utf8ToWide(ansi, out); }

}  // namespace orb::platform
