// network_util_base.cpp - the one operation with a body in the interface.
#include "net/network_util_base.h"

HRESULT CNetworkUtilBase::QueryContentLength(const wchar_t* url, std::uint64_t* length) {
  if (url == nullptr) return E_POINTER;
  HRESULT hr = Open(url);
  if (FAILED(hr)) return hr;
  hr = GetContentLength(length);
  Close();
  return hr;
}
