// url.cpp (Windows) - WinINet's URL cracker, splitter and composer.
#include <cwchar>
#include <cwctype>
#include <vector>

#include "base/status.h"
#include "platform/system_parts.h"
#include "platform/win32/windows_api.h"

#include <wininet.h>

namespace orb::platform {

namespace {

bool IsHex(wchar_t c) { return (c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'f') || (c >= L'A' && c <= L'F'); }

// Characters that the text after "file:" decodes to.
std::size_t DecodedLength(const wchar_t* text) {
  std::size_t n = 0;
  for (const wchar_t* p = text; *p != L'\0'; ++n) {
    p += (p[0] == L'%' && IsHex(p[1]) && IsHex(p[2])) ? 3 : 1;
  }
  return n;
}

UrlScheme SchemeOf(INTERNET_SCHEME scheme) {
  switch (scheme) {
    case INTERNET_SCHEME_HTTP: return UrlScheme::kHttp;
    case INTERNET_SCHEME_HTTPS: return UrlScheme::kHttps;
    case INTERNET_SCHEME_FILE: return UrlScheme::kFile;
    case INTERNET_SCHEME_FTP: return UrlScheme::kFtp;
    default: return UrlScheme::kOther;
  }
}

INTERNET_SCHEME SchemeNumber(UrlScheme scheme) {
  switch (scheme) {
    case UrlScheme::kHttp: return INTERNET_SCHEME_HTTP;
    case UrlScheme::kHttps: return INTERNET_SCHEME_HTTPS;
    case UrlScheme::kFile: return INTERNET_SCHEME_FILE;
    case UrlScheme::kFtp: return INTERNET_SCHEME_FTP;
    default: return INTERNET_SCHEME_UNKNOWN;
  }
}

bool StartsWithFileScheme(const wchar_t* url) {
  const wchar_t* scheme = L"file:";
  for (int i = 0; scheme[i] != L'\0'; ++i) {
    if (std::towlower(url[i]) != scheme[i]) return false;
  }
  return true;
}

}  // namespace

SysError SystemCrackUrl(const wchar_t* url, std::size_t hostCapacity, std::size_t pathCapacity, CrackedUrl* out) {
  // WinINet turns a file URL into a DOS path in a buffer of MAX_PATH
  // characters, and some of its versions write past that buffer when the
  // path is longer. No longer path could be opened anyway.
  if (StartsWithFileScheme(url) && DecodedLength(url + 5) > MAX_PATH) return win32_error::kInsufficientBuffer;

  std::vector<wchar_t> host(hostCapacity + 1, L'\0');
  std::vector<wchar_t> path(pathCapacity + 1, L'\0');
  URL_COMPONENTSW parts{};
  parts.dwStructSize = sizeof parts;
  parts.lpszHostName = host.data();
  parts.dwHostNameLength = static_cast<DWORD>(hostCapacity);
  parts.lpszUrlPath = path.data();
  parts.dwUrlPathLength = static_cast<DWORD>(pathCapacity);
  if (!InternetCrackUrlW(url, 0, ICU_DECODE, &parts)) return GetLastError();

  out->scheme = SchemeOf(parts.nScheme);
  out->host.assign(host.data(), parts.dwHostNameLength);
  out->port = parts.nPort;
  out->path.assign(path.data(), parts.dwUrlPathLength);
  return win32_error::kSuccess;
}

SysError SystemSplitUrl(const wchar_t* url, UrlParts* out) {
  std::vector<wchar_t> scheme(kUrlSchemeCapacity + 1, L'\0');
  std::vector<wchar_t> host(kUrlHostCapacity + 1, L'\0');
  std::vector<wchar_t> user(kUrlUserNameCapacity + 1, L'\0');
  std::vector<wchar_t> password(kUrlPasswordCapacity + 1, L'\0');
  std::vector<wchar_t> path(kUrlPathCapacity + 1, L'\0');
  std::vector<wchar_t> extra(kUrlExtraCapacity + 1, L'\0');
  URL_COMPONENTSW parts{};
  parts.dwStructSize = sizeof parts;
  parts.lpszScheme = scheme.data();
  parts.dwSchemeLength = static_cast<DWORD>(kUrlSchemeCapacity);
  parts.lpszHostName = host.data();
  parts.dwHostNameLength = static_cast<DWORD>(kUrlHostCapacity);
  parts.lpszUserName = user.data();
  parts.dwUserNameLength = static_cast<DWORD>(kUrlUserNameCapacity);
  parts.lpszPassword = password.data();
  parts.dwPasswordLength = static_cast<DWORD>(kUrlPasswordCapacity);
  parts.lpszUrlPath = path.data();
  parts.dwUrlPathLength = static_cast<DWORD>(kUrlPathCapacity);
  parts.lpszExtraInfo = extra.data();
  parts.dwExtraInfoLength = static_cast<DWORD>(kUrlExtraCapacity);
  if (!InternetCrackUrlW(url, 0, 0, &parts)) return GetLastError();

  out->scheme = SchemeOf(parts.nScheme);
  out->schemeName.assign(scheme.data(), parts.dwSchemeLength);
  out->host.assign(host.data(), parts.dwHostNameLength);
  out->userName.assign(user.data(), parts.dwUserNameLength);
  out->password.assign(password.data(), parts.dwPasswordLength);
  out->port = parts.nPort;
  out->path.assign(path.data(), parts.dwUrlPathLength);
  out->extra.assign(extra.data(), parts.dwExtraInfoLength);
  return win32_error::kSuccess;
}

SysError SystemComposeUrl(const UrlParts& in, std::size_t capacity, std::wstring* url) {
  // WinINet's structure holds non-const pointers; it only reads them here.
  UrlParts copy = in;
  URL_COMPONENTSW parts{};
  parts.dwStructSize = sizeof parts;
  parts.nScheme = SchemeNumber(copy.scheme);
  parts.lpszScheme = copy.schemeName.data();
  parts.dwSchemeLength = static_cast<DWORD>(copy.schemeName.size());
  parts.lpszHostName = copy.host.data();
  parts.dwHostNameLength = static_cast<DWORD>(copy.host.size());
  if (!copy.userName.empty()) {
    parts.lpszUserName = copy.userName.data();
    parts.dwUserNameLength = static_cast<DWORD>(copy.userName.size());
  }
  if (!copy.password.empty()) {
    parts.lpszPassword = copy.password.data();
    parts.dwPasswordLength = static_cast<DWORD>(copy.password.size());
  }
  parts.nPort = copy.port;
  parts.lpszUrlPath = copy.path.data();
  parts.dwUrlPathLength = static_cast<DWORD>(copy.path.size());
  parts.lpszExtraInfo = copy.extra.data();
  parts.dwExtraInfoLength = static_cast<DWORD>(copy.extra.size());

  std::vector<wchar_t> buffer(capacity + 1, L'\0');
  DWORD length = static_cast<DWORD>(capacity);
  if (!InternetCreateUrlW(&parts, 0, buffer.data(), &length)) return GetLastError();
  // WinINet versions differ on whether the NUL counts against the buffer
  // (the buffer has a spare place for it): the limit is ours.
  const std::size_t written = std::wcslen(buffer.data());
  if (written + 1 > capacity) return win32_error::kInsufficientBuffer;
  url->assign(buffer.data(), written);
  return win32_error::kSuccess;
}

}  // namespace orb::platform
