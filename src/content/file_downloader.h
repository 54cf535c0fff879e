// file_downloader.h - CFileDownloader moves one network resource into one
// file: a file on the local disk or a file on a storage of the handheld.
//
// An operation creates one on its worker's stack, wires it to its counters
// and cancel flag, runs one download and destroys it. The counters, the
// cancel flag, the transport and the storage stay the caller's and must
// outlive the call; the downloader owns only the local target file.
//
// The counters are read by the user-interface thread while the worker
// writes them, hence atomics: progress in hundredths of a percent (signed),
// the bytes written so far (0xFFFFFFFF once beyond 32 bits) and a chunk
// counter that grows once at the start and once per chunk.
//
// A download either completes or leaves no target behind: every failure,
// a cancel and a stream that ends before its announced length included,
// removes the partial file, locally and on the storage alike (an existing
// file that the overwrite flag protected is never touched).
#pragma once

#include <atomic>
#include <cstdint>

#include "base/status.h"
#include "device/device_storage.h"
#include "net/network_util.h"
#include "platform/file.h"

class CFileDownloader : public IDeviceStorageCallback {
 public:
  static constexpr std::uint32_t kChunkSize = 65536;

  CFileDownloader();
  // Storage copies call this with the downloader as their context: it
  // spends half of the weight over a whole copy, above the copy base, and
  // stops the copy when the cancel flag is set.
  int OnProgress(std::uint64_t total, std::uint64_t done, void* context) override;
  ~CFileDownloader() override;
  CFileDownloader(const CFileDownloader&) = delete;
  CFileDownloader& operator=(const CFileDownloader&) = delete;

  // Each returns S_OK, or E_POINTER for a null pointer.
  HRESULT SetCancelFlag(const std::atomic<bool>* cancel);
  HRESULT SetChunkCounter(std::atomic<std::uint32_t>* counter);
  HRESULT SetByteCounter(std::atomic<std::uint32_t>* counter);
  // weight: how much the progress value grows over the whole transfer.
  HRESULT SetProgress(std::atomic<std::int32_t>* progress, std::int32_t weight);
  // The progress value from which OnProgress counts.
  void SetCopyBase(std::int32_t base) { copyBase_ = base; }

  // Opens the URL with a front of its own, downloads into the local path
  // and closes the front. With overwrite clear an existing file is left as
  // it is and the result is ORB_E_TARGET_NOT_CREATED.
  HRESULT DownloadToFile(const wchar_t* url, const wchar_t* localPath, bool overwrite);
  // The front is open and its first prefixLength bytes were already read
  // into prefix: they are written first, the rest is read from the front.
  // The front stays open.
  HRESULT DownloadWithPrefix(CNetworkUtil* transport, const wchar_t* localPath, const void* prefix,
                             std::uint32_t prefixLength, bool overwrite);
  // Into the file at the storage path; the front stays open. A storage
  // write answered ORB_E_BUSY is repeated with the same bytes.
  HRESULT DownloadToStorage(CNetworkUtil* transport, IDeviceStorage* storage, const wchar_t* storagePath,
                            bool overwrite);

 private:
  class Sink;
  class LocalSink;
  class StorageSink;

  bool Cancelled() const;
  std::int32_t StartProgress();
  void FinishProgress(std::int32_t start);
  HRESULT CheckSize(CNetworkUtil* transport, std::int64_t* size, std::uint64_t* max);
  HRESULT ToLocalFile(CNetworkUtil* transport, const wchar_t* localPath, const void* prefix,
                      std::uint32_t prefixLength, bool overwrite);
  HRESULT FillLocalFile(CNetworkUtil* transport, std::int64_t size, std::uint64_t max, const void* prefix,
                        std::uint32_t prefixLength);
  HRESULT FillStorageFile(CNetworkUtil* transport, IDeviceStorage* storage, const std::wstring& path,
                          std::int64_t size, std::uint64_t max, bool overwrite, bool* created);
  HRESULT Stream(CNetworkUtil* transport, Sink* sink, std::int64_t size, std::uint64_t max,
                 std::uint64_t written, std::int32_t start);

  std::atomic<std::int32_t>* progress_ = nullptr;
  std::atomic<std::uint32_t>* byteCounter_ = nullptr;
  std::int32_t weight_ = 0;
  std::atomic<std::uint32_t>* chunkCounter_ = nullptr;
  std::int32_t copyBase_ = 0;
  const std::atomic<bool>* cancel_ = nullptr;
  orb::platform::File file_;
};
