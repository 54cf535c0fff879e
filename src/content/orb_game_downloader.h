// orb_game_downloader.h - COrbGameDownloader, the package operation: one
// package from the store onto the handheld's card.
//
// The worker reads the package's head first (the transport stays open) to
// learn its content type, refuses content that the chosen target cannot
// take, downloads the package into a temporary file of the computer, then
// installs it with CPackageInstaller and removes the temporary file, in
// every outcome. Progress: 0..500 preparing, 500..6000 downloading,
// 6000..9999 installing, 10000 when done.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/status.h"
#include "content/orb_content_downloader_core.h"
#include "package/package_installer.h"

class COrbGameDownloader : public COrbContentDownloaderCore {
 public:
  // Bytes asked of the target beyond the package.
  static constexpr std::int32_t kExtraBytes = 262144;
  // Content that only a handheld with internal system storage may take.
  static constexpr std::uint32_t kContentTypeSystemStorageOnly = 14;
  static constexpr std::int32_t kProgressDownloadStart = 500;
  static constexpr std::int32_t kProgressDownloadWeight = 5500;
  static constexpr std::int32_t kProgressInstallStart = 6000;
  // The chunk counter when the download begins.
  static constexpr std::uint32_t kChunksBeforeDownload = 5;
  static constexpr const wchar_t* kTempFilePrefix = L"orb";

  COrbGameDownloader();
  // Tests put transports of their own in place of the program's.
  explicit COrbGameDownloader(std::vector<CNetworkUtil::TransportFactory> transports);
  ~COrbGameDownloader() override;

  // ORB_E_RUNNING while running; otherwise resets and keeps the flag: true
  // when the target is the handheld's internal system storage.
  HRESULT SetInternalStorageTarget(bool internalStorage);

  HRESULT Stop() override;
  // Checks the URL and the storage, the free space of the temporary
  // folder's volume (ORB_E_NO_TEMP_FILE, ORB_E_UNEXPECTED,
  // ORB_E_LOCAL_DISK_FULL) and of the target (ORB_E_NOT_ENOUGH_SPACE),
  // then starts the worker.
  HRESULT Start() override;
  // The package size (kSizeUnknown when the server announces none) and the
  // extra bytes. E_POINTER, ORB_E_RUNNING, E_INVALIDARG without a URL.
  HRESULT GetContentInfo(std::int64_t* size, std::int32_t* extraBytes) override;

 private:
  HRESULT CheckLocalSpace(std::int64_t size);
  HRESULT Work();
  HRESULT DownloadAndInstall(const std::wstring& tempPath);

  bool internalStorage_ = false;
  CPackageInstaller installer_;
};
