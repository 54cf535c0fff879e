// orb_content_downloader_core.h - COrbContentDownloaderCore, the base of
// the package download: the package URL, the transport front that serves
// the size query, the head read and the download, and the package's first
// 32768 bytes, read once.
//
// The head read leaves the transport open: the download goes on reading the
// same response from byte 32768 (CFileDownloader::DownloadWithPrefix writes
// the head first).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/status.h"
#include "content/orb_downloader_core.h"
#include "flow/auto_buffer.h"
#include "net/network_util.h"

class COrbContentDownloaderCore : public COrbDownloaderCore {
 public:
  static constexpr std::uint32_t kPackageHeadBytes = 32768;

  COrbContentDownloaderCore();
  // Tests put transports of their own in place of the program's.
  explicit COrbContentDownloaderCore(std::vector<CNetworkUtil::TransportFactory> transports);
  ~COrbContentDownloaderCore() override;

  // E_POINTER for null, ORB_E_RUNNING while running; otherwise keeps the URL
  // (a new URL has a size of its own to find out) and resets.
  HRESULT SetContentUrl(const wchar_t* url);
  const std::wstring& ContentUrl() const { return contentUrl_; }

  // The package variant of the download URL (content/download_url.h).
  HRESULT BuildDownloadUrl(std::wstring* url);

  // Makes sure the package's first kPackageHeadBytes bytes are in memory:
  // the download URL is opened and read until the head is complete.
  // E_INVALIDARG without a content URL; ORB_E_READ_BODY when the content
  // ends before; E_OUTOFMEMORY; the transport's failures.
  HRESULT ReadPackageHead();
  // The head once read, else null.
  const std::uint8_t* PackageHead() const { return head_.Data(); }
  // ReadPackageHead, then the head's content type (package/package_info.h).
  // The reader's failures pass through.
  HRESULT GetPackageContentType(std::uint32_t* contentType);

 protected:
  // Forgets the head, so that the next ReadPackageHead opens the package
  // again: the rest of a package can only be read behind its head.
  void ReleasePackageHead() { head_.Free(); }
  CNetworkUtil& Transport() { return transport_; }

 private:
  std::wstring contentUrl_;
  CNetworkUtil transport_;
  AutoBuffer<std::uint8_t, std::uint32_t> head_;
};
