// device_storage_file.h - IDeviceStorageFile, one open file on a storage.
//
// The order of the virtual operations is fixed; every implementation and
// caller relies on it. The caller that received the file from
// IDeviceStorage::OpenFile owns it.
#pragma once

#include <cstdint>
#include <string>

#include "base/status.h"

class IDeviceStorageFile {
 public:
  virtual ~IDeviceStorageFile() = default;  // closes the file if still open
  virtual HRESULT Write(const void* buffer, std::uint32_t count, std::uint32_t* written) = 0;
  virtual HRESULT Read(void* buffer, std::uint32_t count, std::uint32_t* read) = 0;
  // Writes what is still cached to the device and closes the file; a
  // failure means the data may not have reached the device.
  virtual HRESULT Close() = 0;
  virtual HRESULT GetPosition(std::int32_t* position) = 0;
  virtual HRESULT SetPosition(std::uint32_t offset) = 0;
  virtual HRESULT IsReadOnly(bool* readOnly) = 0;
  virtual HRESULT GetPath(std::wstring* path) = 0;
  // Kept for the slot order; always refused.
  virtual HRESULT ReservedFileOp(void* reserved) = 0;
};
