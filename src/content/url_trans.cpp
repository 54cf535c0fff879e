// url_trans.cpp
#include "content/url_trans.h"

#include <algorithm>
#include <cwchar>

#include "platform/url.h"

CUrlTrans::~CUrlTrans() = default;

HRESULT CUrlTrans::SetUrl(const wchar_t* url) {
  if (url == nullptr) return E_POINTER;
  url_ = url;
  return S_OK;
}

HRESULT CUrlTrans::AddQuery(const wchar_t* query) {
  if (query == nullptr || *query == L'\0') return E_POINTER;
  namespace p = orb::platform;
  p::UrlParts parts;
  if (p::SplitUrl(url_.c_str(), &parts) != orb::win32_error::kSuccess) return ORB_E_URL_NOT_SUPPORTED;
  const std::size_t queryLength = std::wcslen(query);
  if (queryLength + parts.extra.size() + 2 > kMaxExtraChars) return ORB_E_URL_NOT_SUPPORTED;

  const std::size_t hash = parts.extra.find(L'#');
  const std::wstring existing = parts.extra.substr(0, hash);
  const std::wstring fragment = hash == std::wstring::npos ? std::wstring() : parts.extra.substr(hash);
  parts.extra = existing + (existing.empty() ? L"?" : L"&") + query + fragment;

  std::wstring composed;
  if (p::ComposeUrl(parts, kMaxUrlChars + 1, &composed) != orb::win32_error::kSuccess) {
    return ORB_E_URL_NOT_SUPPORTED;
  }
  url_ = std::move(composed);
  return S_OK;
}

HRESULT CUrlTrans::GetLength(std::size_t* length) const {
  if (length == nullptr) return E_POINTER;
  *length = url_.size();
  return S_OK;
}

HRESULT CUrlTrans::CopyTo(wchar_t* buffer, std::size_t capacity) const {
  if (buffer == nullptr) return E_POINTER;
  if (capacity == 0) return S_OK;
  std::fill(buffer, buffer + capacity, L'\0');
  const std::size_t n = std::min(url_.size(), capacity);
  std::copy(url_.begin(), url_.begin() + static_cast<std::ptrdiff_t>(n), buffer);
  buffer[capacity - 1] = L'\0';
  return S_OK;
}
