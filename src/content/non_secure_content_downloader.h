// non_secure_content_downloader.h - CNonSecureContentDownloader, the
// plain-media operation: one file (a video, a song, a picture or a theme)
// from a URL onto the handheld, in the folder its type selects, under the
// URL's file name with the type's upper-case extension:
//   .../media/Clip.mp4    -> \VIDEO\Clip.MP4
//   .../a/summer.kxm      -> \KVX\THEME\summer.KXM
//   .../get (image/png)   -> \PICTURE\get.PNG
// The bytes of the URL are the bytes of the file; an existing file of the
// same name is replaced.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/status.h"
#include "flow/downloader_base.h"
#include "net/network_util.h"

class CNonSecureContentDownloader : public CDownloaderBase {
 public:
  // Bytes asked of the target beyond the content.
  static constexpr std::int32_t kExtraBytes = 8192;
  // Name of a file whose URL names none.
  static constexpr const wchar_t* kDefaultName = L"NO_NAME";
  // The buffer for the server's content type, in wide characters.
  static constexpr std::uint32_t kContentTypeChars = 1024;

  CNonSecureContentDownloader();
  // Tests put transports of their own in place of the program's.
  explicit CNonSecureContentDownloader(std::vector<CNetworkUtil::TransportFactory> transports);
  ~CNonSecureContentDownloader() override;

  // E_POINTER for null, ORB_E_RUNNING while running; otherwise keeps the URL
  // and resets.
  HRESULT SetContentUrl(const wchar_t* url);

  HRESULT Stop() override;
  // Checks the URL, the storage and the free space (content size + 8192
  // bytes), then starts the worker: ORB_E_RUNNING, E_INVALIDARG,
  // ORB_E_NOT_ENOUGH_SPACE, ORB_E_UNEXPECTED when no worker could start.
  HRESULT Start() override;
  // The content size (asked of the transport once; kSizeUnknown when it
  // announces none) and the extra bytes. E_POINTER, ORB_E_RUNNING,
  // E_INVALIDARG without a URL.
  HRESULT GetContentInfo(std::int64_t* size, std::int32_t* extraBytes) override;

  // The plain-media variant of the download URL (content/download_url.h).
  HRESULT BuildDownloadUrl(std::wstring* url);
  // Decides the file type, makes the type's folders on the storage (one
  // level at a time) and gives the file's storage path. E_INVALIDARG,
  // E_FAIL for a URL that does not parse, ORB_E_NO_CONTENT_TYPE when the
  // type cannot be decided, ORB_E_TARGET_NOT_CREATED for a name that would
  // not be a file of its own in the folder, ORB_E_STORAGE_NOT_ACCESSIBLE
  // when a folder cannot be checked or made.
  HRESULT BuildTargetPath(std::wstring* path);

 private:
  HRESULT Work();
  HRESULT Download(const std::wstring& path);
  HRESULT MakeFolder(const std::wstring& path);

  std::wstring contentUrl_;
  CNetworkUtil transport_;
};
