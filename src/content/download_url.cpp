// download_url.cpp
#include "content/download_url.h"

#include <cstdio>
#include <cwctype>

#include "content/url_trans.h"
#include "device/device_storage.h"
#include "device/fk_device.h"
#include "device/storage_selection.h"
#include "flow/auto_buffer.h"

namespace orb::content {

namespace {

// The first step of every variant: a content URL and a storage.
HRESULT CheckInputs(const std::wstring& contentUrl, IDeviceStorage* storage, std::wstring* url) {
  if (url == nullptr) return E_POINTER;
  url->clear();
  if (contentUrl.empty() || storage == nullptr) return E_INVALIDARG;
  return S_OK;
}

}  // namespace

bool IsLocalFileUrl(const std::wstring& url) {
  static const wchar_t kScheme[] = L"file:";
  if (url.size() < 5) return false;
  for (std::size_t i = 0; i < 5; ++i) {
    if (static_cast<wchar_t>(std::towlower(static_cast<wint_t>(url[i]))) != kScheme[i]) return false;
  }
  return true;
}

HRESULT ReadProductQuery(wchar_t letter, std::wstring* product) {
  std::uint8_t code[2] = {};
  const HRESULT hr = CFKDevice().ReadProductCode(letter, code, sizeof code);
  if (FAILED(hr)) return hr;
  wchar_t text[16];
  std::swprintf(text, 16, L"product=%02X%02X", static_cast<unsigned>(code[0]), static_cast<unsigned>(code[1]));
  *product = text;
  return S_OK;
}

std::wstring StoreQuery(const std::wstring& product, const std::wstring& country) {
  return country.empty() ? product : product + L"&country=" + country;
}

HRESULT AddStoreQuery(const std::wstring& contentUrl, const std::wstring& query, std::wstring* url) {
  if (query.empty()) {
    *url = contentUrl;
    return S_OK;
  }
  CUrlTrans trans;
  HRESULT hr = trans.SetUrl(contentUrl.c_str());
  if (SUCCEEDED(hr)) hr = trans.AddQuery(query.c_str());
  std::size_t length = 0;
  if (SUCCEEDED(hr)) hr = trans.GetLength(&length);
  if (FAILED(hr)) return hr;
  AutoBuffer<wchar_t, std::uint32_t> buffer;
  hr = buffer.Allocate(static_cast<std::uint32_t>(length + 1));
  if (FAILED(hr)) return hr;
  hr = trans.CopyTo(buffer.Data(), length + 1);
  if (FAILED(hr)) return hr;
  url->assign(buffer.Data());
  return S_OK;
}

HRESULT BuildPackageDownloadUrl(const std::wstring& contentUrl, IDeviceStorage* storage,
                                const std::wstring& country, std::wstring* url) {
  HRESULT hr = CheckInputs(contentUrl, storage, url);
  if (FAILED(hr)) return hr;
  if (IsLocalFileUrl(contentUrl)) return AddStoreQuery(contentUrl, std::wstring(), url);
  bool isDrive = false;
  if (FAILED(storage->IsDriveStorage(&isDrive)) || !isDrive) return E_INVALIDARG;
  const std::wstring id = storage->GetStorageId();
  if (id.empty()) return E_INVALIDARG;
  std::wstring product;
  hr = ReadProductQuery(id[0], &product);
  if (FAILED(hr)) return hr;
  return AddStoreQuery(contentUrl, StoreQuery(product, country), url);
}

HRESULT BuildPlainMediaDownloadUrl(const std::wstring& contentUrl, IDeviceStorage* storage,
                                   const std::wstring& country, std::wstring* url) {
  HRESULT hr = CheckInputs(contentUrl, storage, url);
  if (FAILED(hr)) return hr;
  if (IsLocalFileUrl(contentUrl)) return AddStoreQuery(contentUrl, std::wstring(), url);
  bool portable = false;
  hr = storage->IsPortableDeviceStorage(&portable);
  if (FAILED(hr)) return hr;
  std::wstring product;
  if (!portable) {
    const std::wstring id = storage->GetStorageId();
    if (id.size() != 1) return E_FAIL;
    if (CFKDevice().IsConsoleDrive(id[0])) {
      hr = ReadProductQuery(id[0], &product);
      if (FAILED(hr)) return hr;
    }
  }
  return AddStoreQuery(contentUrl, StoreQuery(product, country), url);
}

HRESULT BuildComicVideoDownloadUrl(const std::wstring& contentUrl, IDeviceStorage* storage,
                                   std::uint32_t selectionFlags, const std::wstring& country, std::wstring* url) {
  HRESULT hr = CheckInputs(contentUrl, storage, url);
  if (FAILED(hr)) return hr;
  if (IsLocalFileUrl(contentUrl)) return AddStoreQuery(contentUrl, std::wstring(), url);
  std::wstring product = kDefaultProductQuery;
  if ((selectionFlags & orb::device::kSelectedConsoleDrive) != 0) {
    const std::wstring id = storage->GetStorageId();
    if (id.empty()) return E_INVALIDARG;
    hr = ReadProductQuery(id[0], &product);
    if (FAILED(hr)) return hr;
  }
  return AddStoreQuery(contentUrl, StoreQuery(product, country), url);
}

HRESULT QueryContentSize(CNetworkUtil& transport, const std::wstring& url, std::int64_t* size) {
  std::uint64_t length = 0;
  const HRESULT hr = transport.QueryContentLength(url.c_str(), &length);
  if (hr == ORB_E_NO_CONTENT_LENGTH) {
    *size = -1;
    return S_OK;
  }
  if (FAILED(hr)) return hr;
  *size = static_cast<std::int64_t>(length);
  return S_OK;
}

}  // namespace orb::content
