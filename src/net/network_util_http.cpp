// network_util_http.cpp - HTTP and HTTPS through the system's client.
#include "net/network_util_http.h"

#include <algorithm>

CNetworkUtilHTTP::~CNetworkUtilHTTP() { Close(); }

HRESULT CNetworkUtilHTTP::Open(const wchar_t* url) {
  if (url == nullptr) return E_POINTER;
  Close();
  orb::net::InternetTarget target;
  const HRESULT hr = orb::net::TargetFromUrl(url, &target);
  if (FAILED(hr)) return hr;
  return request_.Send(target, kUserAgent, L"GET", receiveTimeoutMs_);
}

HRESULT CNetworkUtilHTTP::GetContentLength(std::uint64_t* length) {
  if (length == nullptr) return E_POINTER;
  if (!request_.IsOpen()) return E_INVALIDARG;
  const HRESULT hr = request_.CheckStatus();
  if (FAILED(hr)) return hr;
  return request_.ContentLength(length);
}

HRESULT CNetworkUtilHTTP::GetContentType(wchar_t* buffer, std::uint32_t* length) {
  if (buffer == nullptr || length == nullptr) return E_POINTER;
  if (!request_.IsOpen()) return E_INVALIDARG;
  const HRESULT hr = request_.CheckStatus();
  if (FAILED(hr)) return hr;
  std::wstring value;
  if (!request_.QueryHeader(orb::net::InternetRequest::Header::kContentType, *length, &value)) {
    return ORB_E_NO_CONTENT_TYPE;
  }
  std::copy(value.begin(), value.end(), buffer);
  buffer[value.size()] = L'\0';
  *length = static_cast<std::uint32_t>(value.size() * sizeof(wchar_t));
  return S_OK;
}

HRESULT CNetworkUtilHTTP::Read(void* buffer, std::uint32_t wanted, std::uint32_t* got) {
  if (buffer == nullptr || got == nullptr) return E_POINTER;
  *got = 0;
  if (!request_.IsOpen()) return E_INVALIDARG;
  return request_.Read(buffer, wanted, got);
}

HRESULT CNetworkUtilHTTP::Close() {
  request_.Close();
  return S_OK;
}

HRESULT CNetworkUtilHTTP::GetMaxContentLength(std::uint64_t* limit) {
  if (limit == nullptr) return E_POINTER;
  *limit = kMaxContentLength;
  return S_OK;
}

bool CNetworkUtilHTTP::IsSupportedUrl(const wchar_t* url) {
  orb::net::InternetTarget target;
  return url != nullptr && SUCCEEDED(orb::net::TargetFromUrl(url, &target));
}

bool CNetworkUtilHTTP::IsOpen() { return request_.IsOpen(); }
