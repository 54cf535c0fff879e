// lmq_url.cpp - URL parsing, path normalisation and host resolution.
#include "lmq/lmq_url.h"

#include <climits>
#include <cstring>
#include <cwctype>

#include "lmq/lmq_string_util.h"

namespace {

bool HasPrefixIgnoringCase(const std::wstring& text, const wchar_t* prefix) {
  std::size_t i = 0;
  for (; prefix[i] != L'\0'; ++i) {
    if (i >= text.size()) return false;
    wchar_t c = text[i];
    if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
    if (c != prefix[i]) return false;
  }
  return true;
}

// The standard string-to-integer rule: blanks, a sign, then digits;
// saturates instead of overflowing.
long long LeadingInteger(const std::wstring& text) {
  std::size_t i = 0;
  while (i < text.size() && std::iswspace(static_cast<wint_t>(text[i]))) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) negative = text[i++] == L'-';
  long long value = 0;
  for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i) {
    if (value < INT_MAX) value = value * 10 + (text[i] - L'0');
  }
  if (value > INT_MAX) value = INT_MAX;
  return negative ? -value : value;
}

std::uint16_t HostToNetwork16(std::uint16_t v) {
  const unsigned char bytes[2] = {static_cast<unsigned char>(v >> 8), static_cast<unsigned char>(v & 0xFF)};
  std::uint16_t network;
  static_assert(sizeof network == sizeof bytes, "16-bit port");
  std::memcpy(&network, bytes, sizeof network);
  return network;
}

}  // namespace

LmqURL::LmqURL() = default;

LmqURL::LmqURL(const LmqURL& other) { *this = other; }

LmqURL& LmqURL::operator=(const LmqURL& other) {
  if (this == &other) return *this;
  url_ = other.url_;
  scheme_ = other.scheme_;
  host_ = other.host_;
  port_ = other.port_;
  path_ = other.path_;
  // The query travels in the path as well; copying it keeps GetQuery of a
  // copy equal to the original's.
  query_ = other.query_;
  address_ = other.address_;
  narrowUrl_ = other.narrowUrl_;
  narrowScheme_ = other.narrowScheme_;
  narrowHost_ = other.narrowHost_;
  narrowPort_ = other.narrowPort_;
  narrowPath_ = other.narrowPath_;
  narrowQuery_ = other.narrowQuery_;
  return *this;
}

LmqURL::~LmqURL() = default;

void LmqURL::Reset() {
  url_.Clear();
  scheme_.Clear();
  host_.Clear();
  port_.Clear();
  path_.Clear();
  query_.Clear();
  address_ = orb::platform::Ipv4SocketAddress{};
  FreeCaches();
}

void LmqURL::FreeCaches() {
  for (std::string* cache : {&narrowUrl_, &narrowScheme_, &narrowHost_, &narrowPort_, &narrowPath_, &narrowQuery_}) {
    std::string().swap(*cache);
  }
}

bool LmqURL::Parse(const wchar_t* text, bool resolve) {
  Reset();
  if (text == nullptr) return false;
  url_.Set(text);
  const std::wstring all = url_.Get();
  std::size_t start = 0;
  if (HasPrefixIgnoringCase(all, L"http://")) {
    scheme_.Set(L"http");
    start = 7;
  } else if (HasPrefixIgnoringCase(all, L"https://")) {
    scheme_.Set(L"https");
    start = 8;
  }
  if (!scheme_.IsSet()) return SetPath(all.c_str());

  const std::size_t slash = all.find(L'/', start);
  std::wstring authority = all.substr(start, slash == std::wstring::npos ? std::wstring::npos : slash - start);
  const std::wstring path = slash == std::wstring::npos ? L"/" : all.substr(slash);

  const std::size_t colon = authority.rfind(L':');
  if (colon != std::wstring::npos) {
    if (!SetPort(authority.substr(colon + 1).c_str())) return false;
    authority.resize(colon);
  } else if (!SetPort(scheme_.Compare(L"https") == 0 ? L"443" : L"80")) {
    return false;
  }
  if (!SetHost(authority.c_str(), resolve)) return false;
  return SetPath(path.c_str());
}

bool LmqURL::SetHost(const wchar_t* text, bool resolve) {
  if (text == nullptr) return false;
  host_.Set(text);
  std::wstring addressText = text;
  if (resolve && !winsock_.Resolve(text, &addressText)) return false;
  std::string narrow;
  if (g_lmqStringUtil.WideToNarrow(addressText.c_str(), &narrow) >= 0 &&
      g_lmqStringUtil.IsDottedIPv4(narrow.c_str())) {
    address_.family = orb::platform::kAddressFamilyIpv4;
    address_.address = g_lmqStringUtil.DottedIPv4Value(narrow.c_str());
  } else {
    address_.address = 0;
  }
  Rebuild();
  return true;
}

bool LmqURL::SetHost(const char* text, bool resolve) {
  std::wstring wide;
  if (text == nullptr || g_lmqStringUtil.NarrowToWide(text, &wide) < 0) return false;
  return SetHost(wide.c_str(), resolve);
}

bool LmqURL::SetPort(const wchar_t* text) {
  if (text == nullptr) return false;
  port_.Set(text);
  const long long number = LeadingInteger(text);
  if (number == 0) return false;
  address_.port = HostToNetwork16(static_cast<std::uint16_t>(number));
  Rebuild();
  return true;
}

bool LmqURL::SetPort(const char* text) {
  std::wstring wide;
  if (text == nullptr || g_lmqStringUtil.NarrowToWide(text, &wide) < 0) return false;
  return SetPort(wide.c_str());
}

bool LmqURL::SetPath(const wchar_t* text) {
  if (text == nullptr) return false;
  const std::wstring normal = NormalisePath(text);
  path_.Set(normal.c_str());
  query_.Clear();
  const std::size_t question = normal.find(L'?');
  if (question != std::wstring::npos) query_.Set(normal.c_str() + question + 1);
  Rebuild();
  return true;
}

bool LmqURL::SetPath(const char* text) {
  std::wstring wide;
  if (text == nullptr || g_lmqStringUtil.NarrowToWide(text, &wide) < 0) return false;
  return SetPath(wide.c_str());
}

std::wstring LmqURL::NormalisePath(const std::wstring& text) {
  std::wstring path = text;
  std::wstring tail;
  const std::size_t question = path.find(L'?');
  if (question != std::wstring::npos) {
    tail = path.substr(question);
    path.resize(question);
  }
  for (std::size_t at; (at = path.find(L"/./")) != std::wstring::npos;) path.replace(at, 3, L"/");
  if (path.size() >= 2 && path.compare(path.size() - 2, 2, L"/.") == 0) path.pop_back();
  for (;;) {
    const std::size_t up = path.find(L"/../");
    if (up == std::wstring::npos || up == 0) break;
    const std::size_t parent = path.rfind(L'/', up - 1);
    if (parent == std::wstring::npos) break;
    path.erase(parent + 1, up + 4 - (parent + 1));
  }
  if (path.size() > 3 && path.compare(path.size() - 3, 3, L"/..") == 0) {
    const std::size_t up = path.size() - 3;
    const std::size_t parent = up == 0 ? std::wstring::npos : path.rfind(L'/', up - 1);
    if (parent != std::wstring::npos) path.resize(parent + 1);
  }
  return path + tail;
}

void LmqURL::Rebuild() {
  FreeCaches();
  if (!scheme_.IsSet()) {
    url_.Set(path_.Get());
    return;
  }
  std::wstring full = scheme_.Get();
  full += L"://";
  full += host_.Get();
  const bool defaultPort = (scheme_.Compare(L"http") == 0 && port_.Compare(L"80") == 0) ||
                           (scheme_.Compare(L"https") == 0 && port_.Compare(L"443") == 0);
  if (!defaultPort) {
    full += L':';
    full += port_.Get();
  }
  full += path_.Get();
  url_.Set(full.c_str());
}

const char* LmqURL::Narrow(const LmqString& part, std::string* cache) {
  if (g_lmqStringUtil.WideToNarrow(part.Get(), cache) < 0) cache->clear();
  return cache->c_str();
}
