// msc_storage_file.cpp - one open file on a drive storage.
#include "device/msc_storage_file.h"

#include <utility>

#include "platform/file_system.h"

namespace {

HRESULT FromSystem(orb::platform::SysError error) { return orb::StatusFromWin32(error); }

}  // namespace

CMSCStorageFile::CMSCStorageFile(std::wstring path, orb::platform::File file, bool writable)
    : path_(std::move(path)), file_(std::move(file)), writable_(writable) {}

CMSCStorageFile::~CMSCStorageFile() { Close(); }

HRESULT CMSCStorageFile::Write(const void* buffer, std::uint32_t count, std::uint32_t* written) {
  if (written == nullptr) return E_POINTER;
  return FromSystem(file_.Write(buffer, count, written));
}

HRESULT CMSCStorageFile::Read(void* buffer, std::uint32_t count, std::uint32_t* read) {
  if (read == nullptr) return E_POINTER;
  return FromSystem(file_.Read(buffer, count, read));
}

HRESULT CMSCStorageFile::Close() {
  if (!file_.IsOpen()) return S_OK;
  // The program says "completed" after this; a user may unplug the
  // handheld at once, so nothing written may still wait in a cache.
  const orb::platform::SysError flushed = writable_ ? file_.Flush() : orb::win32_error::kSuccess;
  const orb::platform::SysError closed = file_.Close();
  return FromSystem(flushed != orb::win32_error::kSuccess ? flushed : closed);
}

HRESULT CMSCStorageFile::GetPosition(std::int32_t* position) {
  if (position == nullptr) return E_POINTER;
  std::uint64_t at = 0;
  if (file_.Seek(0, orb::platform::SeekOrigin::kCurrent, &at) != orb::win32_error::kSuccess) return E_FAIL;
  *position = static_cast<std::int32_t>(static_cast<std::uint32_t>(at));
  return S_OK;
}

HRESULT CMSCStorageFile::SetPosition(std::uint32_t offset) {
  if (file_.Seek(offset, orb::platform::SeekOrigin::kBegin, nullptr) != orb::win32_error::kSuccess) return E_FAIL;
  return S_OK;
}

HRESULT CMSCStorageFile::IsReadOnly(bool* readOnly) {
  if (readOnly == nullptr) return E_POINTER;
  std::uint32_t attributes = 0;
  if (orb::platform::GetAttributes(path_, &attributes) != orb::win32_error::kSuccess) return E_FAIL;
  *readOnly = (attributes & orb::platform::file_attribute::kReadOnly) != 0;
  return S_OK;
}

HRESULT CMSCStorageFile::GetPath(std::wstring* path) {
  if (path == nullptr) return E_POINTER;
  if (!file_.IsOpen()) return E_HANDLE;
  *path = path_;
  return S_OK;
}

HRESULT CMSCStorageFile::ReservedFileOp(void* /*reserved*/) {
  return file_.IsOpen() ? E_ACCESSDENIED : E_HANDLE;
}
