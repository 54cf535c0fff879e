// wide_text.h - conversions between UTF-8 and the program's wide text.
//
// Wide text is UTF-16 on Windows and UTF-32 elsewhere (the width of wchar_t).
// Malformed UTF-8 never fails a conversion: each maximal ill-formed
// subsequence becomes U+FFFD, as the Windows converter does, so a damaged
// control file reads the same on every platform.
#pragma once

#include <string>
#include <string_view>

#include "base/status.h"

namespace orb {

// Status forms: E_OUTOFMEMORY when the result cannot be allocated.
HRESULT Utf8ToWide(std::string_view utf8, std::wstring* out);
HRESULT WideToUtf8(std::wstring_view wide, std::string* out);

// Convenience forms for places where an allocation failure may end the
// process (tests, diagnostics).
std::wstring Utf8ToWide(std::string_view utf8);
std::string WideToUtf8(std::wstring_view wide);

}  // namespace orb
