// url.cpp - what both crackers refuse before they see a URL.
#include "platform/url.h"

#include <cwchar>

#include "base/status.h"
#include "platform/system_parts.h"

namespace orb::platform {

SysError CrackUrl(const wchar_t* url, std::size_t hostCapacity, std::size_t pathCapacity, CrackedUrl* out) {
  *out = CrackedUrl();
  if (url == nullptr || *url == L'\0') return win32_error::kInvalidParameter;
  if (std::wcsstr(url, L"%00") != nullptr) return win32_error::kInternetInvalidUrl;
  return SystemCrackUrl(url, hostCapacity, pathCapacity, out);
}

}  // namespace orb::platform
