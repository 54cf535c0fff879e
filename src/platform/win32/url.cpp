// url.cpp (Windows) - WinINet's URL cracker.
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

  switch (parts.nScheme) {
    case INTERNET_SCHEME_HTTP: out->scheme = UrlScheme::kHttp; break;
    case INTERNET_SCHEME_HTTPS: out->scheme = UrlScheme::kHttps; break;
    case INTERNET_SCHEME_FILE: out->scheme = UrlScheme::kFile; break;
    case INTERNET_SCHEME_FTP: out->scheme = UrlScheme::kFtp; break;
    default: out->scheme = UrlScheme::kOther; break;
  }
  out->host.assign(host.data(), parts.dwHostNameLength);
  out->port = parts.nPort;
  out->path.assign(path.data(), parts.dwUrlPathLength);
  return win32_error::kSuccess;
}

}  // namespace orb::platform
