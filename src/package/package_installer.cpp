// package_installer.cpp
#include "package/package_installer.h"

#include <algorithm>
#include <memory>
#include <new>

#include "device/device_storage.h"
#include "package/entry_name.h"
#include "platform/codepage.h"
#include "platform/drive_root.h"
#include "platform/file_system.h"

namespace {

namespace p = orb::platform;

// Distribution types whose theme packages name their entries in full.
bool KeepsFullNames(std::uint32_t distributionType) { return distributionType == 4 || distributionType == 5; }

// The folder below \KVX\ of a content type, or null when it has none.
const wchar_t* TypeFolder(std::uint32_t contentType) {
  if (contentType <= 8 || (contentType >= 14 && contentType <= 16)) return L"GAME";
  if (contentType == CPackageInstaller::kContentTypeTheme) return L"THEME";
  if (contentType == CPackageInstaller::kContentTypeSaveData) return L"SAVEDATA";
  return nullptr;
}

// A title identifier comes from the package: it must be one plain folder
// name, or the installation would land in GAME itself or outside it.
bool IsTitleFolderName(const std::string& title) {
  if (!orb::package::IsSafeEntryName(title, false)) return false;
  for (const char c : title) {
    const unsigned char u = static_cast<unsigned char>(c);
    if (u < 0x20 || c == '/' || c == ':' || c == '*' || c == '?' || c == '"' || c == '<' || c == '>' || c == '|') {
      return false;
    }
  }
  return true;
}

void AppendFolder(std::wstring* path, const wchar_t* name) {
  *path += name;
  *path += p::kPathSeparator;
}

}  // namespace

HRESULT CPackageInstaller::InstallPackage(const std::wstring& packagePath) {
  if (packagePath.empty()) return E_INVALIDARG;
  std::string narrowPath;
  if (FAILED(p::WideToAnsi(packagePath, &narrowPath))) return E_FAIL;
  created_.clear();

  PackageInfo info;
  HRESULT hr = reader_.Open(narrowPath.c_str(), &info);
  if (FAILED(hr)) return hr;

  std::wstring folder;
  hr = PrepareInstallFolder(info.TitleIdText(), info.contentType, &folder);
  if (SUCCEEDED(hr)) {
    // Such theme packages deliver their entries by their full names straight
    // into the theme folder. The reader keeps the empty prefix afterwards:
    // the program installs one package per run.
    if (info.contentType == kContentTypeTheme && KeepsFullNames(info.distributionType)) reader_.SetEntryPrefix("");
    hr = InstallEntries(folder, info.entryCount, info.installSize);
  }
  if (FAILED(hr)) {
    reader_.Close();
    RemoveCreated();
    return hr;
  }
  created_.clear();
  return S_OK;
}

HRESULT CPackageInstaller::PrepareInstallFolder(const std::string& titleId, std::uint32_t contentType,
                                                std::wstring* folder) {
  if (folder == nullptr) return E_POINTER;
  folder->clear();
  bool isDrive = false;
  if (storage_ == nullptr || FAILED(storage_->IsDriveStorage(&isDrive)) || !isDrive) return E_INVALIDARG;
  const std::wstring id = storage_->GetStorageId();
  if (id.empty()) return E_INVALIDARG;

  // Everything that refuses the package is decided before anything is
  // made on the card.
  const wchar_t* typeFolder = TypeFolder(contentType);
  if (typeFolder == nullptr) return ORB_E_NO_INSTALL_FOLDER;
  const bool withTitle = contentType != kContentTypeTheme;
  std::wstring title;
  if (withTitle && (!IsTitleFolderName(titleId) || FAILED(p::AnsiToWide(titleId, &title)))) {
    return ORB_E_NO_INSTALL_FOLDER;
  }

  std::wstring path;
  if (p::DriveRoot(id[0], &path) != orb::win32_error::kSuccess) return ORB_E_STORAGE_NOT_ACCESSIBLE;
  AppendFolder(&path, L"KVX");
  HRESULT hr = MakeFolder(path);
  if (FAILED(hr)) return hr;
  AppendFolder(&path, typeFolder);
  hr = MakeFolder(path);
  if (FAILED(hr)) return hr;
  if (withTitle) {
    AppendFolder(&path, title.c_str());
    hr = MakeFolder(path);
    if (FAILED(hr)) return hr;
  }
  *folder = std::move(path);
  return S_OK;
}

HRESULT CPackageInstaller::InstallEntries(const std::wstring& folder, std::uint32_t entryCount,
                                          std::uint64_t installSize) {
  std::uint64_t installed = 0;
  for (std::uint64_t round = 0; round <= entryCount; ++round) {
    std::uint64_t size = 0;
    char name[PackageReader::kNameBufferSize] = {};
    const HRESULT answer = reader_.NextEntry(&size, name);
    if (Cancelled()) return ORB_E_TRANSFER_CANCELLED;
    if (FAILED(answer)) return answer;
    if (answer == S_OK) return S_OK;
    if (answer != ORB_S_PKG_FILE && answer != ORB_S_PKG_DIRECTORY) return ORB_E_UNEXPECTED;

    const bool directory = answer == ORB_S_PKG_DIRECTORY;
    // The reader refuses such names already; the installer does not append
    // a name it has not checked itself.
    std::wstring relative;
    if (!orb::package::IsSafeEntryName(name, directory) || FAILED(p::AnsiToWide(name, &relative))) {
      return ORB_E_PKG_ENTRY;
    }
    std::replace(relative.begin(), relative.end(), L'/', p::kPathSeparator);
    const std::wstring path = folder + relative;
    HRESULT hr = directory ? MakeFolder(path) : InstallFile(path, size, &installed, installSize);
    if (FAILED(hr)) return hr;
    AddChunk();
  }
  return S_OK;
}

HRESULT CPackageInstaller::InstallFile(const std::wstring& path, std::uint64_t size, std::uint64_t* installed,
                                       std::uint64_t installSize) {
  if (installed == nullptr) return E_POINTER;
  std::uint32_t attributes = 0;
  const bool existed = p::GetAttributes(path, &attributes) == orb::win32_error::kSuccess;
  p::File file;
  if (file.Open(path, p::file_access::kRead | p::file_access::kWrite, p::file_share::kNone,
                p::file_disposition::kCreateAlways, p::file_attribute::kNormal) != orb::win32_error::kSuccess) {
    return ORB_E_STORAGE_NOT_ACCESSIBLE;
  }
  if (!existed) created_.push_back({path, false});

  HRESULT hr = WriteFile(file, size, installed, installSize);
  if (FAILED(hr)) {
    // What was written of it is no file of the package.
    file.Seek(0, p::SeekOrigin::kBegin, nullptr);
    file.SetEnd();
  }
  if (file.Close() != orb::win32_error::kSuccess && SUCCEEDED(hr)) hr = ORB_E_WRITE_FAILED;
  return hr;
}

HRESULT CPackageInstaller::WriteFile(p::File& file, std::uint64_t size, std::uint64_t* installed,
                                     std::uint64_t installSize) {
  if (size >= kMaxFileSize) return ORB_E_TOO_LARGE;
  // Pre-sizing shows a full card before the first byte is copied.
  if (file.Seek(static_cast<std::int64_t>(size), p::SeekOrigin::kBegin, nullptr) != orb::win32_error::kSuccess ||
      file.SetEnd() != orb::win32_error::kSuccess ||
      file.Seek(0, p::SeekOrigin::kBegin, nullptr) != orb::win32_error::kSuccess) {
    return ORB_E_STORAGE_NOT_ACCESSIBLE;
  }
  std::unique_ptr<std::uint8_t[]> buffer(new (std::nothrow) std::uint8_t[kCopyBufferSize]);
  if (!buffer) return E_OUTOFMEMORY;

  std::uint64_t remaining = size;
  while (remaining > 0) {
    if (Cancelled()) return ORB_E_TRANSFER_CANCELLED;
    std::uint32_t got = 0;
    HRESULT hr = reader_.ReadData(buffer.get(), kCopyBufferSize, &got);
    if (FAILED(hr)) return hr;
    // A reader that hands out nothing, or more than the entry holds, would
    // loop for ever or overrun the entry.
    if (got == 0 || got > remaining) return ORB_E_UNEXPECTED;
    std::uint32_t written = 0;
    if (file.Write(buffer.get(), got, &written) != orb::win32_error::kSuccess || written != got) {
      return ORB_E_WRITE_FAILED;
    }
    remaining -= got;
    *installed += got;
    // With no install size known the progress stays where it is.
    if (progress_ != nullptr && installSize != 0) {
      const std::uint64_t done = std::min(*installed, installSize);
      progress_->store(kProgressStart + static_cast<std::int32_t>(done * kProgressSpan / installSize));
    }
    AddChunk();
  }
  return S_OK;
}

HRESULT CPackageInstaller::MakeFolder(const std::wstring& path) {
  std::uint32_t attributes = 0;
  if (p::GetAttributes(path, &attributes) == orb::win32_error::kSuccess) return S_OK;
  if (p::MakeDirectory(path) != orb::win32_error::kSuccess) return ORB_E_STORAGE_NOT_ACCESSIBLE;
  created_.push_back({path, true});
  return S_OK;
}

void CPackageInstaller::RemoveCreated() {
  // Newest first: a folder goes with what it holds, a file made in a folder
  // that was there before goes on its own. Failures change nothing about
  // the result: the installation has failed already.
  for (auto it = created_.rbegin(); it != created_.rend(); ++it) {
    if (it->directory) {
      std::wstring path = it->path;
      while (path.size() > 1 && path.back() == p::kPathSeparator) path.pop_back();
      p::RemoveTree(path);
    } else {
      p::RemoveFile(it->path);
    }
  }
  created_.clear();
}
