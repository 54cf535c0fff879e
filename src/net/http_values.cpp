// http_values.cpp - status codes, lengths and proxy settings as text.
#include "net/http_values.h"

#include <cwctype>
#include <vector>

namespace orb::net {

namespace {

template <class Char>
bool ParseDecimal(std::basic_string_view<Char> text, std::uint64_t limit, std::uint64_t* value) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  std::uint64_t n = 0;
  const std::size_t first = i;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    const std::uint64_t digit = static_cast<std::uint64_t>(text[i] - '0');
    if (n > (limit - digit) / 10) return false;
    n = n * 10 + digit;
  }
  if (i == first) return false;
  *value = n;
  return true;
}

constexpr std::uint64_t kMaxSigned64 = 0x7FFFFFFFFFFFFFFFull;

std::wstring Lower(std::wstring_view text) {
  std::wstring out(text);
  for (wchar_t& c : out) c = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
  return out;
}

std::vector<std::wstring_view> Split(std::wstring_view text, std::wstring_view separators) {
  std::vector<std::wstring_view> parts;
  std::size_t at = 0;
  while (at < text.size()) {
    const std::size_t end = text.find_first_of(separators, at);
    const std::size_t stop = end == std::wstring_view::npos ? text.size() : end;
    if (stop > at) parts.push_back(text.substr(at, stop - at));
    at = stop + 1;
  }
  return parts;
}

// "[http://][user@]host[:port][/...]" as "host:port"; "" when it is no
// usable HTTP proxy.
std::wstring HostPortOf(std::wstring_view value, std::uint16_t defaultPort) {
  const std::size_t schemeEnd = value.find(L"://");
  if (schemeEnd != std::wstring_view::npos) {
    if (Lower(value.substr(0, schemeEnd)) != L"http") return L"";
    value.remove_prefix(schemeEnd + 3);
  }
  value = value.substr(0, value.find(L'/'));
  const std::size_t at = value.rfind(L'@');
  if (at != std::wstring_view::npos) value.remove_prefix(at + 1);
  // The port follows the last ":" outside an IPv6 literal's brackets.
  const std::size_t bracket = value.rfind(L']');
  const std::size_t colon = value.rfind(L':');
  std::wstring_view host = value;
  std::uint64_t port = defaultPort;
  if (colon != std::wstring_view::npos && (bracket == std::wstring_view::npos || colon > bracket)) {
    host = value.substr(0, colon);
    const std::wstring_view digits = value.substr(colon + 1);
    if (!digits.empty()) {
      std::size_t n = 0;
      while (n < digits.size() && digits[n] >= L'0' && digits[n] <= L'9') ++n;
      if (n != digits.size() || !ParseDecimal(digits, 65535, &port)) return L"";
    }
  }
  if (host.empty() || port == 0) return L"";
  return std::wstring(host) + L":" + std::to_wstring(port);
}

}  // namespace

HRESULT StatusFromHttpCode(long code) {
  switch (code) {
    case 200: return S_OK;
    case 404: return ORB_E_HTTP_NOT_FOUND;
    case 500: return ORB_E_HTTP_SERVER_ERROR;
    default: return ORB_E_HTTP_STATUS;
  }
}

HRESULT StatusFromHttpCodeText(std::wstring_view text) {
  std::uint64_t code = 0;
  if (!ParseDecimal(text, 999999, &code)) return ORB_E_STATUS_UNREADABLE;
  return StatusFromHttpCode(static_cast<long>(code));
}

bool ParseContentLength(std::wstring_view text, std::uint64_t* length) {
  return ParseDecimal(text, kMaxSigned64, length);
}

bool ParseContentLength(std::string_view text, std::uint64_t* length) {
  return ParseDecimal(text, kMaxSigned64, length);
}

std::wstring HttpProxyFromList(std::wstring_view list, std::uint16_t defaultPort) {
  std::wstring schemeless;
  for (std::wstring_view entry : Split(list, L"; \t\r\n")) {
    const std::size_t equals = entry.find(L'=');
    if (equals == std::wstring_view::npos) {
      if (schemeless.empty()) schemeless = HostPortOf(entry, defaultPort);
      continue;
    }
    if (Lower(entry.substr(0, equals)) != L"http") continue;
    std::wstring proxy = HostPortOf(entry.substr(equals + 1), defaultPort);
    if (!proxy.empty()) return proxy;
  }
  return schemeless;
}

bool ProxyBypassed(std::wstring_view noProxy, std::wstring_view host) {
  const std::wstring name = Lower(host);
  if (name.empty()) return false;
  for (std::wstring_view entry : Split(noProxy, L", \t\r\n")) {
    if (entry == L"*") return true;
    while (!entry.empty() && entry.front() == L'.') entry.remove_prefix(1);
    if (entry.empty()) continue;
    const std::wstring suffix = Lower(entry);
    if (name == suffix) return true;
    if (name.size() > suffix.size() && name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0 &&
        name[name.size() - suffix.size() - 1] == L'.') {
      return true;
    }
  }
  return false;
}

}  // namespace orb::net
