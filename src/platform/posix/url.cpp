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

std::uint16_t DefaultPort(UrlScheme scheme) {
  switch (scheme) {
    case UrlScheme::kHttp: return 80;
    case UrlScheme::kHttps: return 443;
    case UrlScheme::kFtp: return 21;
    default: return 0;
  }
}

// The colon before the port in host[:port], npos without one. A colon
// inside [...] belongs to an IPv6 address.
std::size_t PortColon(std::wstring_view authority) {
  const std::size_t bracket = authority.rfind(L']');
  const std::size_t colon = authority.rfind(L':');
  if (bracket != std::wstring_view::npos && colon != std::wstring_view::npos && colon < bracket) {
    return std::wstring_view::npos;
  }
  return colon;
}

// As WinINet: digits up to the first other character, none is port 0, and
// only the low 16 bits of the value count (unsigned arithmetic wraps, which
// keeps them right).
std::uint16_t ParsePort(std::wstring_view text) {
  std::uint32_t port = 0;
  for (std::size_t i = 0; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i) {
    port = port * 10u + static_cast<std::uint32_t>(text[i] - L'0');
  }
  return static_cast<std::uint16_t>(port & 0xFFFFu);
}

// The length of the scheme before its ":", or 0 when the URL has none. A
// one-letter "scheme" is a drive letter, which Linux does not have.
std::size_t SchemeLength(std::wstring_view text) {
  std::size_t colon = 0;
  while (colon < text.size() && IsSchemeChar(text[colon])) ++colon;
  if (colon >= text.size() || text[colon] != L':' || colon < 2) return 0;
  return colon;
}

UrlScheme SchemeOf(std::wstring_view scheme) {
  if (EqualsIgnoringCase(scheme, L"http")) return UrlScheme::kHttp;
  if (EqualsIgnoringCase(scheme, L"https")) return UrlScheme::kHttps;
  if (EqualsIgnoringCase(scheme, L"file")) return UrlScheme::kFile;
  if (EqualsIgnoringCase(scheme, L"ftp")) return UrlScheme::kFtp;
  return UrlScheme::kOther;
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
  const std::uint16_t defaultPort = DefaultPort(out->scheme);

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
  const std::size_t colon = PortColon(authority);
  out->port = defaultPort;
  if (colon != std::wstring_view::npos) {
    out->port = ParsePort(authority.substr(colon + 1));
    authority = authority.substr(0, colon);
  }
  out->host = DecodeAsCharacters(authority);
  out->path = DecodeAsCharacters(path);
  if (out->path.empty() && !out->host.empty()) out->path = L"/";
}

}  // namespace

SysError SystemCrackUrl(const wchar_t* url, std::size_t hostCapacity, std::size_t pathCapacity, CrackedUrl* out) {
  const std::wstring_view text(url);
  const std::size_t colon = SchemeLength(text);
  if (colon == 0) return win32_error::kInternetUnrecognizedScheme;
  out->scheme = SchemeOf(text.substr(0, colon));

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

SysError SystemSplitUrl(const wchar_t* url, UrlParts* out) {
  const std::wstring_view text(url);
  const std::size_t colon = SchemeLength(text);
  if (colon == 0) return win32_error::kInternetUnrecognizedScheme;
  out->schemeName = std::wstring(text.substr(0, colon));
  out->scheme = SchemeOf(out->schemeName);
  out->port = DefaultPort(out->scheme);

  std::wstring_view rest = text.substr(colon + 1);
  if (rest.substr(0, 2) == L"//") {
    rest.remove_prefix(2);
    const std::size_t end = rest.find_first_of(L"/?#");
    std::wstring_view authority = rest.substr(0, end);
    rest = end == std::wstring_view::npos ? std::wstring_view() : rest.substr(end);

    const std::size_t at = authority.find(L'@');
    if (at != std::wstring_view::npos) {
      const std::wstring_view user = authority.substr(0, at);
      const std::size_t separator = user.find(L':');
      out->userName = std::wstring(user.substr(0, separator));
      if (separator != std::wstring_view::npos) out->password = std::wstring(user.substr(separator + 1));
      authority.remove_prefix(at + 1);
    }
    const std::size_t portColon = PortColon(authority);
    if (portColon != std::wstring_view::npos) {
      out->port = ParsePort(authority.substr(portColon + 1));
      authority = authority.substr(0, portColon);
    }
    out->host = std::wstring(authority);
  }
  std::size_t extra = rest.find(L'?');
  if (extra == std::wstring_view::npos) extra = rest.find(L'#');
  out->path = std::wstring(rest.substr(0, extra));
  if (extra != std::wstring_view::npos) out->extra = std::wstring(rest.substr(extra));

  const struct {
    const std::wstring& part;
    std::size_t capacity;
  } limits[] = {{out->schemeName, kUrlSchemeCapacity}, {out->host, kUrlHostCapacity},
                {out->userName, kUrlUserNameCapacity}, {out->password, kUrlPasswordCapacity},
                {out->path, kUrlPathCapacity},         {out->extra, kUrlExtraCapacity}};
  for (const auto& limit : limits) {
    if (limit.part.size() + 1 > limit.capacity) return win32_error::kInsufficientBuffer;
  }
  return win32_error::kSuccess;
}

SysError SystemComposeUrl(const UrlParts& parts, std::size_t capacity, std::wstring* url) {
  std::wstring text = parts.schemeName + L"://";
  if (!parts.userName.empty()) {
    text += parts.userName;
    if (!parts.password.empty()) text += L":" + parts.password;
    text += L"@";
  }
  text += parts.host;
  if (parts.port != 0 && parts.port != DefaultPort(parts.scheme)) text += L":" + std::to_wstring(parts.port);
  if (parts.path.empty() || parts.path[0] != L'/') text += L"/";
  text += parts.path;
  text += parts.extra;
  if (text.size() + 1 > capacity) return win32_error::kInsufficientBuffer;
  *url = std::move(text);
  return win32_error::kSuccess;
}

}  // namespace orb::platform
