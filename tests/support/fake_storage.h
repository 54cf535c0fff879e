// fake_storage.h - a storage in memory, with faults on request, for tests
// of the code that writes through IDeviceStorage.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "device/device_storage.h"

namespace orb::test {

struct FakeStorageFaults {
  HRESULT fileExists = S_OK;
  HRESULT deleteFile = S_OK;
  HRESULT openFile = S_OK;
  HRESULT close = S_OK;
  // Chunk writes are numbered from 0; a write answered busy keeps its
  // number. failWriteAt fails with writeFailure, shortWriteAt writes one
  // byte less than asked, busyAt answers ORB_E_BUSY busyTimes times first.
  int failWriteAt = -1;
  HRESULT writeFailure = E_FAIL;
  int shortWriteAt = -1;
  int busyAt = -1;
  int busyTimes = 0;
  // Called on every busy answer with how many came before it.
  std::function<void(int)> onBusy;
};

class FakeStorage : public IDeviceStorage {
 public:
  // Storage path -> content. A "discarding" storage only counts the bytes.
  std::map<std::wstring, std::string> files;
  bool discard = false;
  std::uint64_t discarded = 0;
  FakeStorageFaults faults;
  // What the storage says it is: a portable-device storage unless told to be
  // a drive (its identifier is then the drive letter).
  bool isDrive = false;
  HRESULT isDriveResult = S_OK;
  std::wstring storageId = L"fake-device_s1";
  // Free bytes and how the question is answered; how often it was asked.
  std::uint64_t freeBytes = std::uint64_t{1} << 39;
  HRESULT freeSpaceResult = S_OK;
  int freeSpaceQuestions = 0;

  FakeStorage() = default;
  // A drive storage of that letter.
  explicit FakeStorage(wchar_t driveLetter) : isDrive(true), storageId(1, driveLetter) {}
  // What happened, in order: "exists P", "delete P", "open P <size>",
  // "write N", "busy N", "close".
  std::vector<std::string> log;

  HRESULT IsDriveStorage(bool* result) override {
    return FAILED(isDriveResult) ? isDriveResult : Answer(result, isDrive);
  }
  HRESULT IsPortableDeviceStorage(bool* result) override { return Answer(result, !isDrive); }
  HRESULT IsZelkDevice(bool* result) override { return Answer(result, false); }
  HRESULT IsStorageFunction(bool* result) override { return Answer(result, true); }
  HRESULT IsMediaPresent(bool*) override { return E_NOTIMPL; }
  HRESULT QueryReserved(void* reserved) override { return reserved == nullptr ? E_POINTER : E_NOTIMPL; }
  std::wstring GetDeviceId() override { return L"fake-device"; }
  std::wstring GetStorageObjectId() override { return L"s1"; }
  std::wstring GetStorageId() override { return storageId; }
  HRESULT IsWriteProtected(bool* result) override { return Answer(result, false); }
  HRESULT GetCapacity(std::uint64_t* bytes) override;
  HRESULT GetFreeSpace(std::uint64_t* bytes) override;
  HRESULT CreateDirectory(const std::wstring&) override { return S_OK; }
  HRESULT RemoveDirectory(const std::wstring&, bool) override { return S_OK; }
  HRESULT DirectoryExists(const std::wstring&, bool* exists) override { return Answer(exists, true); }
  HRESULT CopyFileToStorage(const std::wstring&, const std::wstring&, IDeviceStorageCallback*, void*) override {
    return E_NOTIMPL;
  }
  HRESULT CopyFileFromStorage(const std::wstring&, const std::wstring&, IDeviceStorageCallback*, void*) override {
    return E_NOTIMPL;
  }
  HRESULT DeleteFile(const std::wstring& path) override;
  HRESULT FileExists(const std::wstring& path, bool* exists) override;
  HRESULT OpenFile(const std::wstring& path, std::uint32_t mode, std::uint64_t expectedSize,
                   std::unique_ptr<IDeviceStorageFile>* file) override;

  // Used by the storage's files.
  HRESULT WriteChunk(const std::wstring& path, const void* buffer, std::uint32_t count, std::uint32_t* written);

 private:
  static HRESULT Answer(bool* out, bool value) {
    if (out == nullptr) return E_POINTER;
    *out = value;
    return S_OK;
  }
  int chunk_ = 0;
  int busyAnswers_ = 0;
};

}  // namespace orb::test
