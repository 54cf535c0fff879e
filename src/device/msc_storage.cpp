// msc_storage.cpp - the drive storage on the platform's file functions.
#include "device/msc_storage.h"

#include <memory>
#include <new>
#include <vector>

#include "device/msc_storage_file.h"
#include "platform/drive_root.h"
#include "platform/drive_table.h"
#include "platform/file_system.h"

namespace {

namespace fa = orb::platform::file_attribute;
namespace access = orb::platform::file_access;
namespace share = orb::platform::file_share;
namespace disposition = orb::platform::file_disposition;

constexpr std::uint32_t kCopyChunk = 65536;

HRESULT FromSystem(orb::platform::SysError error) { return orb::StatusFromWin32(error); }

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

// The text after the drive designation: one leading backslash removed, and
// a trailing backslash removed.
std::wstring DriveRelative(const std::wstring& storagePath) {
  std::wstring rel = storagePath;
  if (!rel.empty() && rel.front() == L'\\') rel.erase(0, 1);
  if (!rel.empty() && rel.back() == L'\\') rel.pop_back();
  return rel;
}

// One 64 KiB chunk per pass; the callback is asked before every chunk and
// once more when everything is copied, before the final empty read.
HRESULT CopyLoop(orb::platform::File& source, orb::platform::File& target, IDeviceStorageCallback* callback,
                 void* context) {
  std::unique_ptr<unsigned char[]> buffer(new (std::nothrow) unsigned char[kCopyChunk]);
  if (buffer == nullptr) return E_OUTOFMEMORY;
  std::uint64_t size = 0;
  if (orb::platform::SysError e = source.Size(&size)) return FromSystem(e);

  std::uint64_t done = 0;
  bool asking = callback != nullptr;
  bool waiting = false;
  for (;;) {
    if (asking) {
      const int answer = callback->OnProgress(size, done, context);
      if (answer == storage_progress::kStop) return S_OK;  // the caller asked for it
      if (answer == storage_progress::kNotNow) {
        waiting = true;
      } else if (answer == storage_progress::kContinue) {
        waiting = false;
      } else if (answer == storage_progress::kQuiet) {
        asking = false;
        waiting = false;  // nobody would be asked again to end the wait
      }
    }
    if (waiting) {
      orb::platform::YieldThread();
      continue;
    }
    std::uint32_t got = 0;
    std::uint32_t put = 0;
    if (orb::platform::SysError e = source.Read(buffer.get(), kCopyChunk, &got)) return FromSystem(e);
    if (orb::platform::SysError e = target.Write(buffer.get(), got, &put)) return FromSystem(e);
    done += put;
    if (got == 0) return S_OK;
  }
}

}  // namespace

// The identifier is the upper-case letter, whatever case the caller used.
CMSCStorage::CMSCStorage(wchar_t driveLetter)
    : driveLetter_(1, (driveLetter >= L'a' && driveLetter <= L'z') ? static_cast<wchar_t>(driveLetter - L'a' + L'A')
                                                                   : driveLetter) {}

orb::platform::SysError CMSCStorage::HostPath(const std::wstring& storagePath, bool trailingSeparator,
                                              std::wstring* hostPath) const {
  std::wstring root;
  if (orb::platform::SysError e = orb::platform::DriveRoot(driveLetter_[0], &root)) return e;

  std::vector<std::wstring> parts;
  std::wstring part;
  const std::wstring rel = DriveRelative(storagePath);
  for (std::size_t i = 0; i <= rel.size(); ++i) {
    if (i < rel.size() && !IsSeparator(rel[i])) {
      part.push_back(rel[i]);
      continue;
    }
    if (part == L"..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != L".") {
      parts.push_back(part);
    }
    part.clear();
  }

  *hostPath = root;
  if (parts.empty()) return orb::win32_error::kSuccess;  // the root itself, with its separator
  for (std::size_t i = 0; i < parts.size(); ++i) {
    if (i > 0) hostPath->push_back(orb::platform::kPathSeparator);
    *hostPath += parts[i];
  }
  if (trailingSeparator) hostPath->push_back(orb::platform::kPathSeparator);
  return orb::win32_error::kSuccess;
}

HRESULT CMSCStorage::ResolvePath(const std::wstring& storagePath, bool trailingSeparator,
                                 std::wstring* hostPath) const {
  return FromSystem(HostPath(storagePath, trailingSeparator, hostPath));
}

orb::platform::SysError CMSCStorage::Attributes(const std::wstring& storagePath, bool trailingSeparator,
                                                std::uint32_t* attributes) const {
  std::wstring hostPath;
  if (orb::platform::SysError e = HostPath(storagePath, trailingSeparator, &hostPath)) return e;
  return orb::platform::GetAttributes(hostPath, attributes);
}

HRESULT CMSCStorage::IsDriveStorage(bool* result) {
  if (result == nullptr) return E_POINTER;
  *result = true;
  return S_OK;
}

HRESULT CMSCStorage::IsPortableDeviceStorage(bool* result) {
  if (result == nullptr) return E_POINTER;
  *result = false;
  return S_OK;
}

HRESULT CMSCStorage::IsZelkDevice(bool* result) {
  if (result == nullptr) return E_POINTER;
  *result = false;
  return S_OK;
}

HRESULT CMSCStorage::IsStorageFunction(bool* result) {
  if (result == nullptr) return E_POINTER;
  *result = false;
  return S_OK;
}

HRESULT CMSCStorage::IsMediaPresent(bool* present) {
  if (present == nullptr) return E_POINTER;
  *present = false;
  std::uint32_t attributes = 0;
  const orb::platform::SysError e = Attributes(std::wstring(), false, &attributes);
  if (e == orb::win32_error::kNotReady) return S_OK;
  if (e != orb::win32_error::kSuccess) return FromSystem(e);
  *present = true;
  return S_OK;
}

HRESULT CMSCStorage::QueryReserved(void* /*reserved*/) { return E_NOTIMPL; }

std::wstring CMSCStorage::GetDeviceId() { return std::wstring(); }

std::wstring CMSCStorage::GetStorageObjectId() { return std::wstring(); }

std::wstring CMSCStorage::GetStorageId() { return driveLetter_; }

HRESULT CMSCStorage::IsWriteProtected(bool* writeProtected) {
  if (writeProtected == nullptr) return E_POINTER;
  *writeProtected = false;
  std::uint32_t attributes = 0;
  if (orb::platform::SysError e = Attributes(std::wstring(), false, &attributes)) return FromSystem(e);
  *writeProtected = (attributes & fa::kReadOnly) != 0;
  return S_OK;
}

// Through the drive table, so that a simulated drive reports the size and
// free space it describes.
HRESULT CMSCStorage::GetCapacity(std::uint64_t* bytes) {
  if (bytes == nullptr) return E_POINTER;
  orb::platform::DriveSpace space;
  const orb::platform::SysError e = orb::platform::GetDriveSpace(driveLetter_[0], &space);
  if (e == orb::win32_error::kSuccess) *bytes = space.totalBytes;
  return FromSystem(e);
}

HRESULT CMSCStorage::GetFreeSpace(std::uint64_t* bytes) {
  if (bytes == nullptr) return E_POINTER;
  orb::platform::DriveSpace space;
  const orb::platform::SysError e = orb::platform::GetDriveSpace(driveLetter_[0], &space);
  if (e == orb::win32_error::kSuccess) *bytes = space.freeBytesForCaller;
  return FromSystem(e);
}

HRESULT CMSCStorage::CreateDirectory(const std::wstring& path) {
  std::wstring whole = path;
  while (!whole.empty() && whole.back() == L'\\') whole.pop_back();
  whole.push_back(L'\\');

  // Walk from the left, one component at a time, creating what is missing.
  std::wstring prefix;
  while (prefix.size() + 1 != whole.size()) {
    const std::size_t next = whole.find(L'\\', prefix.size() + 1);
    prefix = whole.substr(0, next);
    if (prefix.size() == 2 && prefix[1] == L':') continue;  // a drive designation
    bool exists = false;
    HRESULT hr = DirectoryExists(prefix, &exists);
    if (FAILED(hr)) return hr;
    if (exists) continue;
    std::wstring hostPath;
    hr = ResolvePath(prefix, false, &hostPath);
    if (FAILED(hr)) return hr;
    if (orb::platform::SysError e = orb::platform::MakeDirectory(hostPath)) return FromSystem(e);
  }
  return S_OK;
}

HRESULT CMSCStorage::RemoveDirectory(const std::wstring& path, bool recursive) {
  bool exists = false;
  HRESULT hr = DirectoryExists(path, &exists);
  if (FAILED(hr)) return hr;
  if (!exists) return S_OK;

  std::wstring hostPath;
  hr = ResolvePath(path, false, &hostPath);
  if (FAILED(hr)) return hr;
  std::vector<orb::platform::DirectoryEntry> entries;
  if (orb::platform::ListDirectory(hostPath, &entries) != orb::win32_error::kSuccess) return E_INVALIDARG;

  std::wstring base = path;
  while (!base.empty() && base.back() == L'\\') base.pop_back();
  for (const auto& entry : entries) {
    if (entry.isDirectory && recursive) {
      hr = RemoveDirectory(base + L'\\' + entry.name, true);
      if (FAILED(hr)) return hr;
    } else {
      // A file that cannot go stays; the directory's own removal reports it.
      orb::platform::RemoveFile(hostPath + orb::platform::kPathSeparator + entry.name);
    }
  }
  if (orb::platform::SysError e = orb::platform::RemoveEmptyDirectory(hostPath)) return FromSystem(e);
  return S_OK;
}

HRESULT CMSCStorage::DirectoryExists(const std::wstring& path, bool* exists) {
  if (exists == nullptr) return E_POINTER;
  *exists = false;
  std::uint32_t attributes = 0;
  const orb::platform::SysError e = Attributes(path, true, &attributes);
  if (e == orb::win32_error::kFileNotFound || e == orb::win32_error::kPathNotFound) return S_OK;
  if (e != orb::win32_error::kSuccess) return FromSystem(e);
  *exists = (attributes & fa::kDirectory) != 0;
  return S_OK;
}

HRESULT CMSCStorage::FileExists(const std::wstring& path, bool* exists) {
  if (exists == nullptr) return E_POINTER;
  *exists = false;
  std::uint32_t attributes = 0;
  const orb::platform::SysError e = Attributes(path, false, &attributes);
  if (e == orb::win32_error::kFileNotFound) return S_OK;
  if (e != orb::win32_error::kSuccess) return FromSystem(e);
  *exists = true;
  return S_OK;
}

HRESULT CMSCStorage::DeleteFile(const std::wstring& path) {
  std::wstring hostPath;
  HRESULT hr = ResolvePath(path, false, &hostPath);
  if (FAILED(hr)) return hr;
  if (orb::platform::SysError e = orb::platform::RemoveFile(hostPath)) return FromSystem(e);
  return S_OK;
}

HRESULT CMSCStorage::OpenFile(const std::wstring& path, std::uint32_t mode, std::uint64_t /*expectedSize*/,
                              std::unique_ptr<IDeviceStorageFile>* file) {
  if (file == nullptr) return E_POINTER;
  file->reset();
  if (3 + DriveRelative(path).size() > kMaxPath) return E_INVALIDARG;
  std::wstring hostPath;
  HRESULT hr = ResolvePath(path, false, &hostPath);
  if (FAILED(hr)) return hr;

  const bool write = (mode & storage_open::kWrite) != 0;
  std::uint32_t desired = 0;
  if ((mode & storage_open::kRead) != 0) desired |= access::kRead;
  if (write) desired |= access::kWrite;
  // An existing file is opened, not emptied: writers delete it first.
  const std::uint32_t how =
      write ? disposition::kOpenAlways : mode == storage_open::kRead ? disposition::kOpenExisting : disposition::kNone;

  orb::platform::File opened;
  if (orb::platform::SysError e = opened.Open(hostPath, desired, share::kNone, how, fa::kNormal)) {
    return FromSystem(e);
  }
  file->reset(new (std::nothrow) CMSCStorageFile(hostPath, std::move(opened), write));
  return *file ? S_OK : E_OUTOFMEMORY;
}

HRESULT CMSCStorage::CopyFileToStorage(const std::wstring& storagePath, const std::wstring& localPath,
                                       IDeviceStorageCallback* callback, void* context) {
  std::wstring hostPath;
  const HRESULT hr = ResolvePath(storagePath, false, &hostPath);
  if (FAILED(hr)) return hr;
  return Copy(localPath, hostPath, callback, context, true);
}

HRESULT CMSCStorage::CopyFileFromStorage(const std::wstring& storagePath, const std::wstring& localPath,
                                         IDeviceStorageCallback* callback, void* context) {
  std::wstring hostPath;
  const HRESULT hr = ResolvePath(storagePath, false, &hostPath);
  if (FAILED(hr)) return hr;
  return Copy(hostPath, localPath, callback, context, false);
}

HRESULT CMSCStorage::Copy(const std::wstring& sourcePath, const std::wstring& targetPath,
                          IDeviceStorageCallback* callback, void* context, bool flushTarget) {
  orb::platform::File source;
  if (orb::platform::SysError e =
          source.Open(sourcePath, access::kRead, share::kRead, disposition::kOpenExisting, fa::kNormal)) {
    return FromSystem(e);
  }
  orb::platform::File target;
  if (orb::platform::SysError e = target.Open(targetPath, access::kWrite, share::kNone,
                                              disposition::kCreateAlways, fa::kNormal | fa::kOpenNoRecall)) {
    return FromSystem(e);
  }
  HRESULT result = CopyLoop(source, target, callback, context);
  // Onto the device, a copy is complete only once nothing of it waits in a
  // cache: the user may unplug the handheld as soon as we say so.
  orb::platform::SysError closeError = flushTarget ? target.Flush() : orb::win32_error::kSuccess;
  const orb::platform::SysError closed = target.Close();
  if (closeError == orb::win32_error::kSuccess) closeError = closed;
  if (SUCCEEDED(result) && closeError != orb::win32_error::kSuccess) result = FromSystem(closeError);
  source.Close();
  // A copy that failed leaves no half-written target behind.
  if (FAILED(result)) orb::platform::RemoveFile(targetPath);
  return result;
}
