// url.cpp (POSIX) - our own URL cracker, following WinINet's results for
// the URLs the program meets (see url.h).
#include <cwctype>
#include <string>
#include <string_view>

#include "base/status.h"
#include "base/wide_text.h"
#include "platform/system_parts.h"

namespace orb::platform {

namespace {

bool IsSchemeChar(wchar_t c) {
  return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9') || c == L'+' ||
         c == L'-' || c == L'.';
}

int HexValue(wchar_t c) {
  if (c >= L'0' && c <= L'9') return c - L'0';
  if (c >= L'a' && c <= L'f') return c - L'a' + 10;
  if (c >= L'A' && c <= L'F') return c - L'A' + 10;
  return -1;
}

bool EqualsIgnoringCase(std::wstring_view a, std::wstring_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::towlower(a[i]) != std::towlower(b[i])) return false;
  }
  return true;
}

// Each valid %XX becomes the character XX, as WinINet decodes; anything
// else, a lone or malformed % included, stays as written.
std::wstring DecodeAsCharacters(std::wstring_view text) {
  std::wstring out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == L'%' && i + 2 < text.size() && HexValue(text[i + 1]) >= 0 && HexValue(text[i + 2]) >= 0) {
      out.push_back(static_cast<wchar_t>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2])));
      i += 2;
    } else {
      out.push_back(text[i]);
    }
  }
  return out;
}

// Local file names on Linux are UTF-8 bytes: %E3%81%82 is one character.
std::wstring DecodeAsUtf8(std::wstring_view text) {
  std::string bytes;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == L'%' && i + 2 < text.size() && HexValue(text[i + 1]) >= 0 && HexValue(text[i + 2]) >= 0) {
      bytes.push_back(static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2])));
      i += 2;
    } else {
      bytes += WideToUtf8(std::wstring_view(&text[i], 1));
    }
  }
  return Utf8ToWide(bytes);
}

void CrackFile(std::wstring_view rest, CrackedUrl* out) {
  out->port = 0;
  if (rest.substr(0, 2) != L"//") {
    out->path = DecodeAsUtf8(rest);
    return;
  }
  rest.remove_prefix(2);
  const std::size_t slash = rest.find(L'/');
  const std::wstring_view authority = rest.substr(0, slash);
  if (!authority.empty() && !EqualsIgnoringCase(authority, L"localhost")) {
    out->host = DecodeAsUtf8(authority);  // another machine's file: no local path
    return;
  }
  out->path = slash == std::wstring_view::npos ? std::wstring(L"/") : DecodeAsUtf8(rest.substr(slash));
}

void CrackNetwork(std::wstring_view rest, CrackedUrl* out) {
  std::uint16_t defaultPort = 0;
  if (out->scheme == UrlScheme::kHttp) defaultPort = 80;
  if (out->scheme == UrlScheme::kHttps) defaultPort = 443;
  if (out->scheme == UrlScheme::kFtp) defaultPort = 21;

  std::wstring raw(rest);
  if (out->scheme == UrlScheme::kHttp || out->scheme == UrlScheme::kHttps) {
    for (wchar_t& c : raw) {
      if (c == L'\\') c = L'/';  // browsers' and WinINet's reading of a backslash
    }
  }
  std::wstring_view text(raw);
  if (text.substr(0, 2) != L"//") {
    out->path = DecodeAsCharacters(text);
    return;
  }
  text.remove_prefix(2);
  const std::size_t end = text.find_first_of(L"/?#");
  std::wstring_view authority = text.substr(0, end);
  const std::wstring_view path = end == std::wstring_view::npos ? std::wstring_view() : text.substr(end);

  const std::size_t at = authority.rfind(L'@');
  if (at != std::wstring_view::npos) authority.remove_prefix(at + 1);
  // A colon inside [...] belongs to an IPv6 address.
  const std::size_t bracket = authority.rfind(L']');
  std::size_t colon = authority.rfind(L':');
  if (bracket != std::wstring_view::npos && colon != std::wstring_view::npos && colon < bracket) {
    colon = std::wstring_view::npos;
  }
  out->port = defaultPort;
  if (colon != std::wstring_view::npos) {
    // As WinINet: digits up to the first other character, none is port 0,
    // and only the low 16 bits of the value count (unsigned arithmetic
    // wraps, which keeps them right).
    std::uint32_t port = 0;
    for (std::size_t i = colon + 1; i < authority.size() && authority[i] >= L'0' && authority[i] <= L'9'; ++i) {
      port = port * 10u + static_cast<std::uint32_t>(authority[i] - L'0');
    }
    out->port = static_cast<std::uint16_t>(port & 0xFFFFu);
    authority = authority.substr(0, colon);
  }
  out->host = DecodeAsCharacters(authority);
  out->path = DecodeAsCharacters(path);
  if (out->path.empty() && !out->host.empty()) out->path = L"/";
}

}  // namespace

SysError SystemCrackUrl(const wchar_t* url, std::size_t hostCapacity, std::size_t pathCapacity, CrackedUrl* out) {
  const std::wstring_view text(url);
  std::size_t colon = 0;
  while (colon < text.size() && IsSchemeChar(text[colon])) ++colon;
  // A one-letter "scheme" is a drive letter, which Linux does not have.
  if (colon >= text.size() || text[colon] != L':' || colon < 2) return win32_error::kInternetUnrecognizedScheme;

  const std::wstring_view scheme = text.substr(0, colon);
  if (EqualsIgnoringCase(scheme, L"http")) {
    out->scheme = UrlScheme::kHttp;
  } else if (EqualsIgnoringCase(scheme, L"https")) {
    out->scheme = UrlScheme::kHttps;
  } else if (EqualsIgnoringCase(scheme, L"file")) {
    out->scheme = UrlScheme::kFile;
  } else if (EqualsIgnoringCase(scheme, L"ftp")) {
    out->scheme = UrlScheme::kFtp;
  } else {
    out->scheme = UrlScheme::kOther;
  }

  const std::wstring_view rest = text.substr(colon + 1);
  if (out->scheme == UrlScheme::kFile) {
    CrackFile(rest, out);
  } else {
    CrackNetwork(rest, out);
  }
  if (out->host.size() + 1 > hostCapacity || out->path.size() + 1 > pathCapacity) {
    *out = CrackedUrl();
    return win32_error::kInsufficientBuffer;
  }
  return win32_error::kSuccess;
}

}  // namespace orb::platform
