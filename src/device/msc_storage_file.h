// msc_storage_file.h - CMSCStorageFile, one open file on a drive storage.
#pragma once

#include <string>

#include "device/device_storage_file.h"
#include "platform/file.h"

class CMSCStorageFile : public IDeviceStorageFile {
 public:
  // Takes the open file and the full host path it was opened by.
  CMSCStorageFile(std::wstring path, orb::platform::File file, bool writable);
  ~CMSCStorageFile() override;

  HRESULT Write(const void* buffer, std::uint32_t count, std::uint32_t* written) override;
  HRESULT Read(void* buffer, std::uint32_t count, std::uint32_t* read) override;
  HRESULT Close() override;
  HRESULT GetPosition(std::int32_t* position) override;
  HRESULT SetPosition(std::uint32_t offset) override;
  HRESULT IsReadOnly(bool* readOnly) override;
  HRESULT GetPath(std::wstring* path) override;
  HRESULT ReservedFileOp(void* reserved) override;

 private:
  std::wstring path_;
  orb::platform::File file_;
  bool writable_;
};
