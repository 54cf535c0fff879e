// orb_content_downloader_core.cpp
#include "content/orb_content_downloader_core.h"

#include <utility>

#include "content/download_url.h"
#include "package/package_reader.h"

COrbContentDownloaderCore::COrbContentDownloaderCore() = default;

COrbContentDownloaderCore::COrbContentDownloaderCore(std::vector<CNetworkUtil::TransportFactory> transports)
    : transport_(std::move(transports)) {}

COrbContentDownloaderCore::~COrbContentDownloaderCore() { JoinWorker(); }

HRESULT COrbContentDownloaderCore::SetContentUrl(const wchar_t* url) {
  if (url == nullptr) return E_POINTER;
  if (IsRunning()) return ORB_E_RUNNING;
  if (contentUrl_ != url) contentSize_ = kSizeUnknown;
  contentUrl_ = url;
  Reset();
  return S_OK;
}

HRESULT COrbContentDownloaderCore::BuildDownloadUrl(std::wstring* url) {
  return orb::content::BuildPackageDownloadUrl(contentUrl_, Storage(), Country(), url);
}

HRESULT COrbContentDownloaderCore::ReadPackageHead() {
  if (head_.Data() != nullptr) return S_OK;
  if (contentUrl_.empty()) return E_INVALIDARG;
  std::wstring url;
  HRESULT hr = BuildDownloadUrl(&url);
  if (SUCCEEDED(hr)) hr = transport_.Open(url.c_str());
  if (FAILED(hr)) return hr;

  hr = head_.Allocate(kPackageHeadBytes);
  if (FAILED(hr)) return hr;
  // A transport may deliver a response in smaller pieces than asked for:
  // only the end of the content makes the head short.
  std::uint32_t filled = 0;
  while (filled < kPackageHeadBytes) {
    std::uint32_t got = 0;
    hr = transport_.Read(head_.Data() + filled, kPackageHeadBytes - filled, &got);
    if (SUCCEEDED(hr) && got == 0) hr = ORB_E_READ_BODY;
    if (FAILED(hr)) {
      head_.Free();
      return hr;
    }
    filled += got;
  }
  return S_OK;
}

HRESULT COrbContentDownloaderCore::GetPackageContentType(std::uint32_t* contentType) {
  if (contentType == nullptr) return E_POINTER;
  HRESULT hr = ReadPackageHead();
  if (FAILED(hr)) return hr;
  PackageReader reader;
  PackageInfo info;
  hr = reader.ParseHead(head_.Data(), kPackageHeadBytes, &info);
  if (FAILED(hr)) return hr;
  *contentType = info.contentType;
  return S_OK;
}
