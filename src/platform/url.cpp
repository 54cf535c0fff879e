// url.cpp - what both platforms' URL code refuses before it sees a URL.
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

SysError SplitUrl(const wchar_t* url, UrlParts* out) {
  *out = UrlParts();
  if (url == nullptr || *url == L'\0') return win32_error::kInvalidParameter;
  const SysError error = SystemSplitUrl(url, out);
  if (error != win32_error::kSuccess) *out = UrlParts();
  return error;
}

SysError ComposeUrl(const UrlParts& parts, std::size_t capacity, std::wstring* url) {
  url->clear();
  if (parts.userName.empty() && !parts.password.empty()) return win32_error::kInvalidParameter;
  return SystemComposeUrl(parts, capacity, url);
}

}  // namespace orb::platform
