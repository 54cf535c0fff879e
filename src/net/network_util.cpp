// network_util.cpp - the transport front.
#include "net/network_util.h"

#include <new>

#include "net/network_util_file.h"
#include "net/network_util_http.h"
#include "net/network_util_http2.h"

namespace {

template <class Transport>
std::unique_ptr<CNetworkUtilBase> MakeTransport() {
  return std::unique_ptr<CNetworkUtilBase>(new (std::nothrow) Transport());
}

}  // namespace

std::vector<CNetworkUtil::TransportFactory> CNetworkUtil::DefaultTransports() {
  return {
      &MakeTransport<CNetworkUtilHTTP2>,
      &MakeTransport<CNetworkUtilHTTP>,
      &MakeTransport<CNetworkUtilFILE>,
  };
}

CNetworkUtil::CNetworkUtil() : transports_(DefaultTransports()) {}

CNetworkUtil::CNetworkUtil(std::vector<TransportFactory> transports) : transports_(std::move(transports)) {}

CNetworkUtil::~CNetworkUtil() { Close(); }

HRESULT CNetworkUtil::SelectIfNew(const wchar_t* url) {
  if (url == nullptr) return E_POINTER;
  if (url_ == url) return S_OK;
  Close();
  for (const TransportFactory& make : transports_) {
    if (!make) continue;
    std::unique_ptr<CNetworkUtilBase> probe = make();
    if (probe == nullptr) return E_OUTOFMEMORY;
    if (probe->IsSupportedUrl(url)) {
      transport_ = std::move(probe);
      url_ = url;
      return S_OK;
    }
  }
  return ORB_E_URL_NOT_SUPPORTED;
}

HRESULT CNetworkUtil::Open(const wchar_t* url) {
  if (url == nullptr) return E_POINTER;
  const HRESULT hr = SelectIfNew(url);
  if (FAILED(hr)) return hr;
  if (transport_ == nullptr) return E_INVALIDARG;
  if (transport_->IsOpen()) return S_OK;
  return transport_->Open(url);
}

HRESULT CNetworkUtil::QueryContentLength(const wchar_t* url, std::uint64_t* length) {
  if (url == nullptr) return E_POINTER;
  const HRESULT hr = SelectIfNew(url);
  if (FAILED(hr)) return hr;
  if (transport_ == nullptr) return E_INVALIDARG;
  return transport_->QueryContentLength(url, length);
}

HRESULT CNetworkUtil::GetContentLength(std::uint64_t* length) {
  return transport_ ? transport_->GetContentLength(length) : E_INVALIDARG;
}

HRESULT CNetworkUtil::GetContentType(wchar_t* buffer, std::uint32_t* length) {
  return transport_ ? transport_->GetContentType(buffer, length) : E_INVALIDARG;
}

HRESULT CNetworkUtil::Read(void* buffer, std::uint32_t wanted, std::uint32_t* got) {
  return transport_ ? transport_->Read(buffer, wanted, got) : E_INVALIDARG;
}

HRESULT CNetworkUtil::GetMaxContentLength(std::uint64_t* limit) {
  return transport_ ? transport_->GetMaxContentLength(limit) : E_INVALIDARG;
}

HRESULT CNetworkUtil::OpenAndGetContentType(const wchar_t* url, wchar_t* buffer, std::uint32_t* length) {
  if (url == nullptr) return E_POINTER;
  const HRESULT hr = Open(url);
  if (FAILED(hr)) return hr;
  return GetContentType(buffer, length);
}

bool CNetworkUtil::IsOpen() { return transport_ != nullptr && transport_->IsOpen(); }

HRESULT CNetworkUtil::Close() {
  if (transport_ != nullptr) {
    transport_->Close();
    transport_.reset();
  }
  url_.clear();
  return S_OK;
}
