// file_downloader.cpp - streams one resource in 64 KiB chunks into a local
// file or a storage file.
#include "content/file_downloader.h"

#include <memory>
#include <new>
#include <string>

#include "platform/file_system.h"

namespace {

namespace p = orb::platform;

constexpr std::uint64_t kByteCounterMax = 0xFFFFFFFFu;

std::uint64_t AsUnsigned(std::int32_t value) { return static_cast<std::uint64_t>(static_cast<std::int64_t>(value)); }

}  // namespace

// What a transfer writes to: the local file or a storage file.
class CFileDownloader::Sink {
 public:
  virtual ~Sink() = default;
  virtual HRESULT Write(const void* buffer, std::uint32_t count, std::uint32_t* written) = 0;
  // Whether a busy answer means "the same bytes again".
  virtual bool RepeatsBusyWrites() const = 0;
};

class CFileDownloader::LocalSink : public CFileDownloader::Sink {
 public:
  explicit LocalSink(p::File* file) : file_(file) {}
  HRESULT Write(const void* buffer, std::uint32_t count, std::uint32_t* written) override {
    return orb::StatusFromWin32(file_->Write(buffer, count, written));
  }
  bool RepeatsBusyWrites() const override { return false; }

 private:
  p::File* file_;
};

class CFileDownloader::StorageSink : public CFileDownloader::Sink {
 public:
  explicit StorageSink(IDeviceStorageFile* file) : file_(file) {}
  HRESULT Write(const void* buffer, std::uint32_t count, std::uint32_t* written) override {
    return file_->Write(buffer, count, written);
  }
  bool RepeatsBusyWrites() const override { return true; }

 private:
  IDeviceStorageFile* file_;
};

CFileDownloader::CFileDownloader() = default;

CFileDownloader::~CFileDownloader() { file_.Close(); }

HRESULT CFileDownloader::SetCancelFlag(const std::atomic<bool>* cancel) {
  if (cancel == nullptr) return E_POINTER;
  cancel_ = cancel;
  return S_OK;
}

HRESULT CFileDownloader::SetChunkCounter(std::atomic<std::uint32_t>* counter) {
  if (counter == nullptr) return E_POINTER;
  chunkCounter_ = counter;
  return S_OK;
}

HRESULT CFileDownloader::SetByteCounter(std::atomic<std::uint32_t>* counter) {
  if (counter == nullptr) return E_POINTER;
  byteCounter_ = counter;
  return S_OK;
}

HRESULT CFileDownloader::SetProgress(std::atomic<std::int32_t>* progress, std::int32_t weight) {
  if (progress == nullptr) return E_POINTER;
  progress_ = progress;
  weight_ = weight;
  return S_OK;
}

bool CFileDownloader::Cancelled() const {
  return cancel_ != nullptr && cancel_->load(std::memory_order_relaxed);
}

std::int32_t CFileDownloader::StartProgress() {
  if (chunkCounter_ != nullptr) chunkCounter_->fetch_add(1, std::memory_order_relaxed);
  return progress_ != nullptr ? progress_->load(std::memory_order_relaxed) : 0;
}

int CFileDownloader::OnProgress(std::uint64_t total, std::uint64_t done, void* context) {
  if (context == nullptr) return storage_progress::kNotNow;
  auto* owner = static_cast<CFileDownloader*>(context);
  if (owner->Cancelled()) return storage_progress::kStop;
  if (total == 0) return storage_progress::kContinue;
  if (owner->chunkCounter_ != nullptr) owner->chunkCounter_->fetch_add(1, std::memory_order_relaxed);
  if (owner->progress_ != nullptr) {
    const std::uint64_t share = done * AsUnsigned(owner->weight_) / (2 * total);
    owner->progress_->store(static_cast<std::int32_t>(AsUnsigned(owner->copyBase_) + share), std::memory_order_relaxed);
  }
  return storage_progress::kContinue;
}

// The size the transport announces (-1 when it announces none) and the
// largest it carries; content larger than that is refused before anything
// is created.
HRESULT CFileDownloader::CheckSize(CNetworkUtil* transport, std::int64_t* size, std::uint64_t* max) {
  file_.Close();
  *size = -1;
  std::uint64_t length = 0;
  HRESULT hr = transport->GetContentLength(&length);
  if (SUCCEEDED(hr)) {
    *size = static_cast<std::int64_t>(length);
  } else if (hr != ORB_E_NO_CONTENT_LENGTH) {
    return hr;
  }
  hr = transport->GetMaxContentLength(max);
  if (FAILED(hr)) return hr;
  if (*size > 0 && static_cast<std::uint64_t>(*size) > *max) return ORB_E_TOO_LARGE;
  return S_OK;
}

HRESULT CFileDownloader::Stream(CNetworkUtil* transport, Sink* sink, std::int64_t size, std::uint64_t max,
                                std::uint64_t written, std::int32_t start) {
  std::unique_ptr<unsigned char[]> buffer(new (std::nothrow) unsigned char[kChunkSize]());
  if (buffer == nullptr) return E_OUTOFMEMORY;

  for (;;) {
    if (Cancelled()) return ORB_E_TRANSFER_CANCELLED;
    if (written > max) return ORB_E_TOO_LARGE;
    std::uint32_t got = 0;
    HRESULT hr = transport->Read(buffer.get(), kChunkSize, &got);
    if (FAILED(hr)) return hr;

    std::uint32_t put = 0;
    for (;;) {
      hr = sink->Write(buffer.get(), got, &put);
      if (hr != ORB_E_BUSY || !sink->RepeatsBusyWrites()) break;
      // The device is busy: the same bytes again, once it lets us; the user
      // may cancel meanwhile.
      if (Cancelled()) return ORB_E_TRANSFER_CANCELLED;
      if (written > max) return ORB_E_TOO_LARGE;
      p::YieldThread();
    }
    if (FAILED(hr) || put != got) return ORB_E_WRITE_FAILED;

    written += got;
    if (size > 0 && progress_ != nullptr) {
      const std::int64_t grown = static_cast<std::int64_t>(written * AsUnsigned(weight_)) / size;
      progress_->store(static_cast<std::int32_t>(start + grown), std::memory_order_relaxed);
    }
    if (chunkCounter_ != nullptr) chunkCounter_->fetch_add(1, std::memory_order_relaxed);
    if (byteCounter_ != nullptr) {
      byteCounter_->store(static_cast<std::uint32_t>(written > kByteCounterMax ? kByteCounterMax : written),
                          std::memory_order_relaxed);
    }
    if (got == 0) break;
  }
  // A stream that ends before its announced length is a failed download,
  // not a complete file with a zero tail.
  if (size >= 0 && written < static_cast<std::uint64_t>(size)) return ORB_E_READ_BODY;
  return S_OK;
}

void CFileDownloader::FinishProgress(std::int32_t start) {
  if (progress_ != nullptr) progress_->store(start + weight_, std::memory_order_relaxed);
}

HRESULT CFileDownloader::DownloadToFile(const wchar_t* url, const wchar_t* localPath, bool overwrite) {
  if (url == nullptr || localPath == nullptr) return E_POINTER;
  CNetworkUtil front;
  HRESULT hr = front.Open(url);
  if (SUCCEEDED(hr)) hr = ToLocalFile(&front, localPath, nullptr, 0, overwrite);
  front.Close();
  return hr;
}

HRESULT CFileDownloader::DownloadWithPrefix(CNetworkUtil* transport, const wchar_t* localPath, const void* prefix,
                                            std::uint32_t prefixLength, bool overwrite) {
  if (transport == nullptr || localPath == nullptr || (prefix == nullptr && prefixLength != 0)) return E_POINTER;
  if (!transport->IsOpen()) return E_INVALIDARG;
  return ToLocalFile(transport, localPath, prefix, prefixLength, overwrite);
}

HRESULT CFileDownloader::ToLocalFile(CNetworkUtil* transport, const wchar_t* localPath, const void* prefix,
                                     std::uint32_t prefixLength, bool overwrite) {
  std::int64_t size = -1;
  std::uint64_t max = 0;
  HRESULT hr = CheckSize(transport, &size, &max);
  if (FAILED(hr)) return hr;

  const std::wstring path(localPath);
  if (file_.Open(path, p::file_access::kRead | p::file_access::kWrite, p::file_share::kNone,
                 overwrite ? p::file_disposition::kCreateAlways : p::file_disposition::kCreateNew,
                 p::file_attribute::kNormal) != orb::win32_error::kSuccess) {
    return ORB_E_TARGET_NOT_CREATED;
  }
  try {
    hr = FillLocalFile(transport, size, max, prefix, prefixLength);
  } catch (...) {
    hr = ORB_E_UNEXPECTED;
  }
  if (SUCCEEDED(hr) && file_.Close() != orb::win32_error::kSuccess) hr = ORB_E_WRITE_FAILED;
  if (FAILED(hr)) {
    file_.Seek(0, p::SeekOrigin::kBegin, nullptr);
    file_.SetEnd();
    file_.Close();
    p::RemoveFile(path);
  }
  return hr;
}

HRESULT CFileDownloader::FillLocalFile(CNetworkUtil* transport, std::int64_t size, std::uint64_t max,
                                       const void* prefix, std::uint32_t prefixLength) {
  if (size > 0) {
    // Room for the whole resource before the first byte: a full disk shows
    // now, not after most of the download.
    if (file_.Seek(size, p::SeekOrigin::kBegin, nullptr) != orb::win32_error::kSuccess ||
        file_.SetEnd() != orb::win32_error::kSuccess ||
        file_.Seek(0, p::SeekOrigin::kBegin, nullptr) != orb::win32_error::kSuccess) {
      return ORB_E_PRESIZE_FAILED;
    }
  }
  const std::int32_t start = StartProgress();
  if (prefix != nullptr && prefixLength != 0) {
    std::uint32_t put = 0;
    if (file_.Write(prefix, prefixLength, &put) != orb::win32_error::kSuccess || put != prefixLength) {
      return ORB_E_WRITE_FAILED;
    }
  }
  LocalSink sink(&file_);
  const HRESULT hr = Stream(transport, &sink, size, max, prefixLength, start);
  if (SUCCEEDED(hr)) FinishProgress(start);
  return hr;
}

HRESULT CFileDownloader::DownloadToStorage(CNetworkUtil* transport, IDeviceStorage* storage,
                                           const wchar_t* storagePath, bool overwrite) {
  if (transport == nullptr || storage == nullptr || storagePath == nullptr) return E_POINTER;
  if (!transport->IsOpen()) return E_INVALIDARG;
  std::int64_t size = -1;
  std::uint64_t max = 0;
  HRESULT hr = CheckSize(transport, &size, &max);
  if (FAILED(hr)) return hr;

  const std::wstring path(storagePath);
  bool created = false;  // false while a file there may still be someone else's
  try {
    hr = FillStorageFile(transport, storage, path, size, max, overwrite, &created);
  } catch (...) {
    hr = ORB_E_UNEXPECTED;
  }
  if (FAILED(hr) && created) storage->DeleteFile(path);
  return hr;
}

HRESULT CFileDownloader::FillStorageFile(CNetworkUtil* transport, IDeviceStorage* storage, const std::wstring& path,
                                         std::int64_t size, std::uint64_t max, bool overwrite, bool* created) {
  const std::int32_t start = StartProgress();
  bool exists = false;
  if (FAILED(storage->FileExists(path, &exists))) return ORB_E_UNEXPECTED;
  if (exists && !overwrite) return ORB_E_UNEXPECTED;
  if (exists && FAILED(storage->DeleteFile(path))) return ORB_E_TARGET_NOT_CREATED;
  *created = true;

  std::unique_ptr<IDeviceStorageFile> file;
  const std::uint64_t expected = size >= 0 ? static_cast<std::uint64_t>(size) : kStorageSizeUnknown;
  if (FAILED(storage->OpenFile(path, storage_open::kWrite, expected, &file)) || file == nullptr) {
    return ORB_E_TARGET_NOT_CREATED;
  }
  StorageSink sink(file.get());
  const HRESULT hr = Stream(transport, &sink, size, max, 0, start);
  // Closing puts the last bytes onto the device; until it succeeds the
  // file is not complete there.
  const HRESULT closed = file->Close();
  if (FAILED(hr)) return hr;
  if (FAILED(closed)) return ORB_E_WRITE_FAILED;
  FinishProgress(start);
  return S_OK;
}
