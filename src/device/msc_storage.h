// msc_storage.h - CMSCStorage, a storage that the system shows as a drive
// letter (the handheld in USB mass-storage mode: its card or its internal
// system storage).
//
// The drive's root comes from orb::platform::DriveRoot: "F:\" on Windows,
// the volume's mount directory on Linux, or the directory a test or the
// virtual handheld mapped the letter to. The storage holds no handle
// between calls, so a drive that disappears only makes later calls fail.
#pragma once

#include <cstddef>
#include <string>

#include "device/device_storage.h"
#include "platform/file.h"

class CMSCStorage : public IDeviceStorage {
 public:
  explicit CMSCStorage(wchar_t driveLetter);

  HRESULT IsDriveStorage(bool* result) override;
  HRESULT IsPortableDeviceStorage(bool* result) override;
  HRESULT IsZelkDevice(bool* result) override;
  HRESULT IsStorageFunction(bool* result) override;
  HRESULT IsMediaPresent(bool* present) override;
  HRESULT QueryReserved(void* reserved) override;
  std::wstring GetDeviceId() override;
  std::wstring GetStorageObjectId() override;
  std::wstring GetStorageId() override;
  HRESULT IsWriteProtected(bool* writeProtected) override;
  HRESULT GetCapacity(std::uint64_t* bytes) override;
  HRESULT GetFreeSpace(std::uint64_t* bytes) override;
  HRESULT CreateDirectory(const std::wstring& path) override;
  HRESULT RemoveDirectory(const std::wstring& path, bool recursive) override;
  HRESULT DirectoryExists(const std::wstring& path, bool* exists) override;
  HRESULT CopyFileToStorage(const std::wstring& storagePath, const std::wstring& localPath,
                            IDeviceStorageCallback* callback, void* context) override;
  HRESULT CopyFileFromStorage(const std::wstring& storagePath, const std::wstring& localPath,
                              IDeviceStorageCallback* callback, void* context) override;
  HRESULT DeleteFile(const std::wstring& path) override;
  HRESULT FileExists(const std::wstring& path, bool* exists) override;
  HRESULT OpenFile(const std::wstring& path, std::uint32_t mode, std::uint64_t expectedSize,
                   std::unique_ptr<IDeviceStorageFile>* file) override;

  // Longest path that OpenFile accepts, counted as the drive names it
  // ("F:\" and the storage path), whatever directory the root is on.
  static constexpr std::size_t kMaxPath = 260;

  // A storage path on this drive as the host names it. The storage path is
  // relative to the root whatever it holds: "." and ".." are resolved
  // without ever climbing above the root (as Windows does at a drive's
  // root, and as a mount directory on Linux would not do by itself).
  HRESULT ResolvePath(const std::wstring& storagePath, bool trailingSeparator, std::wstring* hostPath) const;

 private:
  orb::platform::SysError HostPath(const std::wstring& storagePath, bool trailingSeparator,
                                   std::wstring* hostPath) const;
  orb::platform::SysError Attributes(const std::wstring& storagePath, bool trailingSeparator,
                                     std::uint32_t* attributes) const;
  HRESULT Copy(const std::wstring& sourcePath, const std::wstring& targetPath, IDeviceStorageCallback* callback,
               void* context, bool flushTarget);

  std::wstring driveLetter_;
};
