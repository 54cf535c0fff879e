#include "support/fake_storage.h"

#include "base/wide_text.h"

namespace orb::test {

namespace {

class FakeStorageFile : public IDeviceStorageFile {
 public:
  FakeStorageFile(FakeStorage* storage, std::wstring path) : storage_(storage), path_(std::move(path)) {}
  HRESULT Write(const void* buffer, std::uint32_t count, std::uint32_t* written) override {
    if (!open_) return E_HANDLE;
    return storage_->WriteChunk(path_, buffer, count, written);
  }
  HRESULT Read(void*, std::uint32_t, std::uint32_t*) override { return E_FAIL; }
  HRESULT Close() override {
    if (!open_) return S_OK;
    open_ = false;
    storage_->log.push_back("close");
    return storage_->faults.close;
  }
  HRESULT GetPosition(std::int32_t*) override { return E_NOTIMPL; }
  HRESULT SetPosition(std::uint32_t) override { return E_NOTIMPL; }
  HRESULT IsReadOnly(bool* readOnly) override {
    *readOnly = false;
    return S_OK;
  }
  HRESULT GetPath(std::wstring* path) override {
    *path = path_;
    return S_OK;
  }
  HRESULT ReservedFileOp(void*) override { return E_ACCESSDENIED; }

 private:
  FakeStorage* storage_;
  std::wstring path_;
  bool open_ = true;
};

}  // namespace

HRESULT FakeStorage::GetCapacity(std::uint64_t* bytes) {
  *bytes = std::uint64_t{1} << 40;
  return S_OK;
}

HRESULT FakeStorage::GetFreeSpace(std::uint64_t* bytes) {
  ++freeSpaceQuestions;
  *bytes = freeBytes;
  return freeSpaceResult;
}

HRESULT FakeStorage::DeleteFile(const std::wstring& path) {
  log.push_back("delete " + WideToUtf8(path));
  if (FAILED(faults.deleteFile)) return faults.deleteFile;
  return files.erase(path) != 0 ? S_OK : ORB_E_FILE_NOT_FOUND;
}

HRESULT FakeStorage::FileExists(const std::wstring& path, bool* exists) {
  log.push_back("exists " + WideToUtf8(path));
  if (FAILED(faults.fileExists)) return faults.fileExists;
  *exists = files.count(path) != 0;
  return S_OK;
}

HRESULT FakeStorage::OpenFile(const std::wstring& path, std::uint32_t /*mode*/, std::uint64_t expectedSize,
                              std::unique_ptr<IDeviceStorageFile>* file) {
  log.push_back("open " + WideToUtf8(path) + " " +
                (expectedSize == kStorageSizeUnknown ? std::string("unknown") : std::to_string(expectedSize)));
  if (FAILED(faults.openFile)) return faults.openFile;
  files[path];
  file->reset(new FakeStorageFile(this, path));
  return S_OK;
}

HRESULT FakeStorage::WriteChunk(const std::wstring& path, const void* buffer, std::uint32_t count,
                                std::uint32_t* written) {
  *written = 0;
  if (chunk_ == faults.busyAt && busyAnswers_ < faults.busyTimes) {
    log.push_back("busy " + std::to_string(count));
    if (faults.onBusy) faults.onBusy(busyAnswers_);
    ++busyAnswers_;
    return ORB_E_BUSY;
  }
  const int chunk = chunk_++;
  log.push_back("write " + std::to_string(count));
  if (chunk == faults.failWriteAt) return faults.writeFailure;
  std::uint32_t n = count;
  if (chunk == faults.shortWriteAt && n > 0) --n;
  if (discard) {
    discarded += n;
  } else {
    files[path].append(static_cast<const char*>(buffer), n);
  }
  *written = n;
  return S_OK;
}

}  // namespace orb::test
