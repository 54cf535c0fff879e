// network_util_http2_wininet.cpp - the HEAD pre-flight.
#include "net/network_util_http2_wininet.h"

#include "net/http_values.h"

CNetworkUtilHTTP2_WININET::~CNetworkUtilHTTP2_WININET() {
  CloseHandles();
  effectiveUrl_.clear();
  proxy_.clear();
  resolvedUrl_.clear();
}

HRESULT CNetworkUtilHTTP2_WININET::Resolve(const wchar_t* url) {
  if (url != nullptr && !resolvedUrl_.empty() && resolvedUrl_ == url) return S_OK;
  resolvedUrl_.clear();
  if (url == nullptr) return E_POINTER;
  CloseHandles();
  // The proxy belongs to this pre-flight alone: a URL that goes directly
  // must not inherit the proxy of an earlier one.
  proxy_.clear();

  orb::net::InternetTarget target;
  HRESULT hr = orb::net::TargetFromUrl(url, &target);
  if (SUCCEEDED(hr)) hr = request_.Send(target, kUserAgent, L"HEAD", receiveTimeoutMs_);
  if (SUCCEEDED(hr)) hr = request_.CheckStatus();
  std::wstring effective;
  if (SUCCEEDED(hr)) hr = request_.QueryUrl(&effective);
  if (SUCCEEDED(hr)) {
    effectiveUrl_ = std::move(effective);
    if (request_.QueryViaProxy()) {
      std::wstring list;
      bool present = false;
      hr = request_.QueryProxyList(&list, &present);
      if (SUCCEEDED(hr) && present) proxy_ = orb::net::HttpProxyFromList(list, kDefaultProxyPort);
    }
  }
  if (FAILED(hr)) {
    CloseHandles();
    return hr;
  }
  resolvedUrl_ = url;
  return S_OK;
}

HRESULT CNetworkUtilHTTP2_WININET::GetEffectiveUrl(std::wstring* text) {
  if (text == nullptr) return E_POINTER;
  *text = effectiveUrl_;
  return S_OK;
}

HRESULT CNetworkUtilHTTP2_WININET::GetProxy(std::wstring* text) {
  if (text == nullptr) return E_POINTER;
  *text = proxy_;
  return S_OK;
}

HRESULT CNetworkUtilHTTP2_WININET::GetContentLength(std::uint64_t* length) {
  if (length == nullptr || !request_.IsOpen()) return E_POINTER;
  return request_.ContentLength(length);
}

HRESULT CNetworkUtilHTTP2_WININET::CloseHandles() {
  request_.Close();
  return S_OK;
}
