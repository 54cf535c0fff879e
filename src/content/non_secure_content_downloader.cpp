// non_secure_content_downloader.cpp
#include "content/non_secure_content_downloader.h"

#include <cwchar>
#include <utility>

#include "content/download_url.h"
#include "content/file_downloader.h"
#include "content/media_type.h"
#include "device/device_storage.h"
#include "platform/url.h"

namespace {

// The buffers WinINet's callers hand to its cracker, NUL included.
constexpr std::size_t kHostCapacity = 257;
constexpr std::size_t kPathCapacity = 2085;

}  // namespace

CNonSecureContentDownloader::CNonSecureContentDownloader() = default;

CNonSecureContentDownloader::CNonSecureContentDownloader(std::vector<CNetworkUtil::TransportFactory> transports)
    : transport_(std::move(transports)) {}

CNonSecureContentDownloader::~CNonSecureContentDownloader() {
  JoinWorker();
  contentUrl_.clear();
}

HRESULT CNonSecureContentDownloader::SetContentUrl(const wchar_t* url) {
  if (url == nullptr) return E_POINTER;
  if (IsRunning()) return ORB_E_RUNNING;
  if (contentUrl_ != url) contentSize_ = kSizeUnknown;
  contentUrl_ = url;
  Reset();
  return S_OK;
}

HRESULT CNonSecureContentDownloader::Stop() { return StopWorker(); }

HRESULT CNonSecureContentDownloader::Start() {
  HRESULT hr = BeginStart();
  if (FAILED(hr)) return hr;
  PublishProgress(0);
  if (contentUrl_.empty() || Storage() == nullptr) return E_INVALIDARG;
  hr = CheckFreeSpace();
  if (FAILED(hr)) return hr;
  return LaunchWorker(ORB_STATE_TRANSFERRING, [this] { FinishWork(Work()); });
}

HRESULT CNonSecureContentDownloader::GetContentInfo(std::int64_t* size, std::int32_t* extraBytes) {
  if (size == nullptr || extraBytes == nullptr) return E_POINTER;
  if (IsRunning()) return ORB_E_RUNNING;
  if (contentUrl_.empty()) return E_INVALIDARG;
  if (contentSize_ == kSizeUnknown) {
    std::wstring url;
    HRESULT hr = BuildDownloadUrl(&url);
    if (FAILED(hr)) return hr;
    hr = orb::content::QueryContentSize(transport_, url, &contentSize_);
    if (FAILED(hr)) return hr;
  }
  if (extraBytes_ == 0) extraBytes_ = kExtraBytes;
  *size = contentSize_;
  *extraBytes = extraBytes_;
  return S_OK;
}

HRESULT CNonSecureContentDownloader::BuildDownloadUrl(std::wstring* url) {
  return orb::content::BuildPlainMediaDownloadUrl(contentUrl_, Storage(), Country(), url);
}

HRESULT CNonSecureContentDownloader::BuildTargetPath(std::wstring* path) {
  if (path == nullptr) return E_POINTER;
  path->clear();
  IDeviceStorage* storage = Storage();
  if (contentUrl_.empty() || storage == nullptr) return E_INVALIDARG;

  namespace p = orb::platform;
  p::CrackedUrl cracked;
  if (p::CrackUrl(contentUrl_.c_str(), kHostCapacity, kPathCapacity, &cracked) != orb::win32_error::kSuccess) {
    return E_FAIL;
  }
  // The query and the fragment of a network URL name no file: a store's
  // .../Clip.mp4?token=a.b is a clip called Clip. A local file's name may
  // hold either character.
  std::wstring urlPath = std::move(cracked.path);
  if (cracked.scheme != p::UrlScheme::kFile) urlPath = urlPath.substr(0, urlPath.find_first_of(L"?#"));
  std::wstring name;
  std::wstring extension;
  orb::content::SplitFileName(urlPath, &name, &extension);

  const orb::content::MediaType* type = orb::content::MediaTypeForExtension(extension);
  if (type == nullptr) {
    std::wstring url;
    HRESULT hr = BuildDownloadUrl(&url);
    if (FAILED(hr)) return hr;
    wchar_t buffer[kContentTypeChars + 1] = {};
    std::uint32_t length = kContentTypeChars;
    hr = transport_.OpenAndGetContentType(url.c_str(), buffer, &length);
    if (SUCCEEDED(hr)) {
      type = orb::content::MediaTypeForMime(std::wstring(buffer, std::wcslen(buffer)));
    } else if (hr != ORB_E_NO_CONTENT_TYPE) {
      return hr;
    }
  }
  if (type == nullptr) return ORB_E_NO_CONTENT_TYPE;

  bool answer = false;
  HRESULT hr = storage->IsPortableDeviceStorage(&answer);
  if (FAILED(hr)) return hr;
  hr = storage->IsStorageFunction(&answer);
  if (FAILED(hr)) return hr;
  // A name from a URL must stay one file in the type's folder: refused
  // before anything is written.
  if (!orb::content::IsSafeFileName(name)) return ORB_E_TARGET_NOT_CREATED;

  std::wstring target = L"\\";
  if (*type->folder != L'\0') {
    target += type->folder;
    hr = MakeFolder(target);
    if (FAILED(hr)) return hr;
  }
  if (*type->subfolder != L'\0') {
    target += L"\\";
    target += type->subfolder;
    hr = MakeFolder(target);
    if (FAILED(hr)) return hr;
  }
  target += L"\\";
  target += name.empty() ? std::wstring(kDefaultName) : name;
  target += L".";
  target += type->fileType;
  *path = std::move(target);
  return S_OK;
}

HRESULT CNonSecureContentDownloader::MakeFolder(const std::wstring& path) {
  bool exists = false;
  if (FAILED(Storage()->DirectoryExists(path, &exists))) return ORB_E_STORAGE_NOT_ACCESSIBLE;
  if (!exists && FAILED(Storage()->CreateDirectory(path))) return ORB_E_STORAGE_NOT_ACCESSIBLE;
  return S_OK;
}

HRESULT CNonSecureContentDownloader::Work() {
  std::wstring path;
  HRESULT hr = BuildTargetPath(&path);
  if (SUCCEEDED(hr)) hr = Download(path);
  // The file transport holds its file without sharing: let it go now.
  transport_.Close();
  return hr;
}

HRESULT CNonSecureContentDownloader::Download(const std::wstring& path) {
  CFileDownloader downloader;
  downloader.SetCancelFlag(CancelFlag());
  downloader.SetChunkCounter(ChunkCounter());
  downloader.SetByteCounter(ByteCounter());
  downloader.SetProgress(ProgressValue(), kProgressMax);
  if (!transport_.IsOpen()) {
    std::wstring url;
    HRESULT hr = BuildDownloadUrl(&url);
    if (SUCCEEDED(hr)) hr = transport_.Open(url.c_str());
    if (FAILED(hr)) return hr;
  }
  return downloader.DownloadToStorage(&transport_, Storage(), path.c_str(), true);
}
