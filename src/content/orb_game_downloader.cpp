// orb_game_downloader.cpp
#include "content/orb_game_downloader.h"

#include <utility>

#include "content/download_url.h"
#include "content/file_downloader.h"
#include "device/device_storage.h"
#include "platform/file_system.h"
#include "platform/temp_file.h"

COrbGameDownloader::COrbGameDownloader() = default;

COrbGameDownloader::COrbGameDownloader(std::vector<CNetworkUtil::TransportFactory> transports)
    : COrbContentDownloaderCore(std::move(transports)) {}

COrbGameDownloader::~COrbGameDownloader() { JoinWorker(); }

HRESULT COrbGameDownloader::SetInternalStorageTarget(bool internalStorage) {
  if (IsRunning()) return ORB_E_RUNNING;
  Reset();
  internalStorage_ = internalStorage;
  return S_OK;
}

HRESULT COrbGameDownloader::Stop() { return StopWorker(); }

HRESULT COrbGameDownloader::GetContentInfo(std::int64_t* size, std::int32_t* extraBytes) {
  if (size == nullptr || extraBytes == nullptr) return E_POINTER;
  if (IsRunning()) return ORB_E_RUNNING;
  if (ContentUrl().empty()) return E_INVALIDARG;
  if (contentSize_ == kSizeUnknown) {
    std::wstring url;
    HRESULT hr = BuildDownloadUrl(&url);
    if (FAILED(hr)) return hr;
    hr = orb::content::QueryContentSize(Transport(), url, &contentSize_);
    if (FAILED(hr)) return hr;
  }
  if (extraBytes_ == 0) extraBytes_ = kExtraBytes;
  *size = contentSize_;
  *extraBytes = extraBytes_;
  return S_OK;
}

HRESULT COrbGameDownloader::Start() {
  HRESULT hr = BeginStart();
  if (FAILED(hr)) return hr;
  PublishProgress(0);
  if (ContentUrl().empty() || Storage() == nullptr) return E_INVALIDARG;
  std::int64_t size = kSizeUnknown;
  std::int32_t extra = 0;
  hr = GetContentInfo(&size, &extra);
  if (FAILED(hr)) return hr;
  hr = CheckLocalSpace(size);
  if (FAILED(hr)) return hr;
  hr = CheckFreeSpace();
  if (FAILED(hr)) return hr;
  return LaunchWorker(ORB_STATE_STARTING, [this] { FinishWork(Work()); });
}

HRESULT COrbGameDownloader::CheckLocalSpace(std::int64_t size) {
  std::wstring folder;
  if (!orb::platform::GetTempFolder(&folder)) return ORB_E_NO_TEMP_FILE;
  std::uint64_t free = 0;
  std::uint64_t total = 0;
  if (orb::platform::GetDiskSpace(folder, &free, &total) != orb::win32_error::kSuccess) return ORB_E_UNEXPECTED;
  if (size != kSizeUnknown && free <= static_cast<std::uint64_t>(size)) return ORB_E_LOCAL_DISK_FULL;
  return S_OK;
}

HRESULT COrbGameDownloader::Work() {
  // A head kept from an earlier run belongs to a response that is gone:
  // the package is read again from its start.
  if (!Transport().IsOpen()) ReleasePackageHead();
  std::uint32_t contentType = 0;
  HRESULT hr = GetPackageContentType(&contentType);
  if (SUCCEEDED(hr) && contentType == kContentTypeSystemStorageOnly && !internalStorage_) hr = ORB_E_WRONG_MODEL;
  bool isDrive = false;
  if (SUCCEEDED(hr) && (FAILED(Storage()->IsDriveStorage(&isDrive)) || !isDrive)) hr = E_INVALIDARG;
  std::wstring tempPath;
  if (SUCCEEDED(hr) && !orb::platform::CreateTempFile(kTempFilePrefix, &tempPath)) hr = ORB_E_NO_TEMP_FILE;
  if (SUCCEEDED(hr)) {
    hr = DownloadAndInstall(tempPath);
    // Whatever happened, the package on the computer has served its turn.
    orb::platform::DeleteTempFile(tempPath);
  }
  // The file transport holds its file without sharing: let it go now.
  Transport().Close();
  return hr;
}

HRESULT COrbGameDownloader::DownloadAndInstall(const std::wstring& tempPath) {
  PublishProgress(kProgressDownloadStart);
  ChunkCounter()->store(kChunksBeforeDownload);
  PublishState(ORB_STATE_TRANSFERRING);

  HRESULT hr = S_OK;
  {
    CFileDownloader downloader;
    downloader.SetCancelFlag(CancelFlag());
    downloader.SetChunkCounter(ChunkCounter());
    downloader.SetByteCounter(ByteCounter());
    downloader.SetProgress(ProgressValue(), kProgressDownloadWeight);
    // The head read left the response open: the rest follows the head.
    hr = downloader.DownloadWithPrefix(&Transport(), tempPath.c_str(), PackageHead(), kPackageHeadBytes, true);
  }
  Transport().Close();
  if (FAILED(hr)) return hr;
  PublishProgress(kProgressInstallStart);

  PublishState(ORB_STATE_INSTALLING);
  installer_.SetStorage(Storage());
  installer_.SetCancelFlag(CancelFlag());
  installer_.SetChunkCounter(ChunkCounter());
  installer_.SetProgress(ProgressValue());
  return installer_.InstallPackage(tempPath);
}
