// device_storage.h - IDeviceStorage, one target storage of a connected
// device: a drive (CMSCStorage) or a portable-device storage.
//
// The order of the virtual operations is fixed; every implementation and
// caller relies on it. Storage paths are relative to the storage's root,
// use backslashes and normally begin with one ("\VIDEO\clip.mp4"). Results
// are status codes; an out pointer that is null gives E_POINTER before
// anything else happens.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "base/status.h"
#include "device/device_storage_callback.h"
#include "device/device_storage_file.h"

// Open modes of OpenFile (a bit set).
namespace storage_open {
constexpr std::uint32_t kRead = 1;
constexpr std::uint32_t kWrite = 2;
}  // namespace storage_open

// OpenFile's expected size when the size is not known.
constexpr std::uint64_t kStorageSizeUnknown = ~std::uint64_t{0};

class IDeviceStorage {
 public:
  virtual ~IDeviceStorage() = default;
  virtual HRESULT IsDriveStorage(bool* result) = 0;
  virtual HRESULT IsPortableDeviceStorage(bool* result) = 0;
  virtual HRESULT IsZelkDevice(bool* result) = 0;
  virtual HRESULT IsStorageFunction(bool* result) = 0;
  // A drive without a medium answers false with success.
  virtual HRESULT IsMediaPresent(bool* present) = 0;
  // Kept for the slot order; refused.
  virtual HRESULT QueryReserved(void* reserved) = 0;
  virtual std::wstring GetDeviceId() = 0;
  virtual std::wstring GetStorageObjectId() = 0;
  // A drive: its letter ("F"). A portable-device storage: device id, "_",
  // storage object id.
  virtual std::wstring GetStorageId() = 0;
  virtual HRESULT IsWriteProtected(bool* writeProtected) = 0;
  virtual HRESULT GetCapacity(std::uint64_t* bytes) = 0;
  // Bytes free for the calling user.
  virtual HRESULT GetFreeSpace(std::uint64_t* bytes) = 0;
  virtual HRESULT CreateDirectory(const std::wstring& path) = 0;
  virtual HRESULT RemoveDirectory(const std::wstring& path, bool recursive) = 0;
  // A missing directory, or one whose parent is missing, answers false with
  // success.
  virtual HRESULT DirectoryExists(const std::wstring& path, bool* exists) = 0;
  virtual HRESULT CopyFileToStorage(const std::wstring& storagePath, const std::wstring& localPath,
                                    IDeviceStorageCallback* callback, void* context) = 0;
  virtual HRESULT CopyFileFromStorage(const std::wstring& storagePath, const std::wstring& localPath,
                                      IDeviceStorageCallback* callback, void* context) = 0;
  virtual HRESULT DeleteFile(const std::wstring& path) = 0;
  // True also for a directory; a file in a missing directory is a failure
  // (path not found), not false.
  virtual HRESULT FileExists(const std::wstring& path, bool* exists) = 0;
  // mode: storage_open bits. expectedSize: the bytes that will be written,
  // or kStorageSizeUnknown.
  virtual HRESULT OpenFile(const std::wstring& path, std::uint32_t mode, std::uint64_t expectedSize,
                           std::unique_ptr<IDeviceStorageFile>* file) = 0;
};
