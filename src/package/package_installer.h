// package_installer.h - CPackageInstaller unpacks a downloaded package file
// onto the handheld's card: every delivered entry goes below the folder
// that the card's system expects for the package's content type,
//   content types 0-8, 14-16  \KVX\GAME\<title identifier>\ (games)
//   content type 9            \KVX\THEME\ (themes)
//   content type 17           \KVX\SAVEDATA\<title identifier>\ (save data)
// written with the host's own file functions on the drive behind the
// storage's letter (only drive storages can take packages).
//
// It runs on the package download's worker: it reads the operation's
// cancel flag before each entry and each chunk, and publishes progress from
// 6000 to 9999 and one chunk per entry and per chunk written.
//
// A failed installation takes back what it made: the folders it created
// (with everything in them) and the files it created in folders that were
// there before. A file it replaced stays, at length 0 when its own writing
// failed; nothing else that was on the card before is touched.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "base/status.h"
#include "package/package_reader.h"

class IDeviceStorage;

class CPackageInstaller {
 public:
  static constexpr std::uint32_t kCopyBufferSize = 65536;
  static constexpr std::int32_t kProgressStart = 6000;
  static constexpr std::int32_t kProgressSpan = 3999;
  // Content types with a folder of their own.
  static constexpr std::uint32_t kContentTypeTheme = 9;
  static constexpr std::uint32_t kContentTypeSaveData = 17;
  // The largest single file a card's file system holds is below 4 GiB.
  static constexpr std::uint64_t kMaxFileSize = std::uint64_t{1} << 32;

  CPackageInstaller() = default;
  CPackageInstaller(const CPackageInstaller&) = delete;
  CPackageInstaller& operator=(const CPackageInstaller&) = delete;

  // The target and the operation's counters; all stay the caller's and
  // must outlive InstallPackage. Counters may be left unset.
  void SetStorage(IDeviceStorage* storage) { storage_ = storage; }
  void SetCancelFlag(const std::atomic<bool>* cancel) { cancel_ = cancel; }
  void SetChunkCounter(std::atomic<std::uint32_t>* chunks) { chunks_ = chunks; }
  void SetProgress(std::atomic<std::int32_t>* progress) { progress_ = progress; }

  // Installs the package file at the host path. E_INVALIDARG for an empty
  // path or a target that is not a drive; E_FAIL when the path has no form
  // in the system's narrow code page; the reader's failures as they are;
  // ORB_E_NO_INSTALL_FOLDER for a content type without a folder (or a title
  // identifier that is no folder name); ORB_E_STORAGE_NOT_ACCESSIBLE when a
  // folder or file cannot be made or pre-sized; ORB_E_WRITE_FAILED;
  // ORB_E_TOO_LARGE for a file of 4 GiB or more; ORB_E_TRANSFER_CANCELLED.
  HRESULT InstallPackage(const std::wstring& packagePath);

  // The steps of InstallPackage, in order; public for tests.
  // Makes \KVX\, the content type's folder and the title's folder as needed
  // and gives the install folder as a host path ending in the separator.
  HRESULT PrepareInstallFolder(const std::string& titleId, std::uint32_t contentType, std::wstring* folder);
  HRESULT InstallEntries(const std::wstring& folder, std::uint32_t entryCount, std::uint64_t installSize);
  HRESULT InstallFile(const std::wstring& path, std::uint64_t size, std::uint64_t* installed,
                      std::uint64_t installSize);

  PackageReader& Reader() { return reader_; }

 private:
  bool Cancelled() const { return cancel_ != nullptr && cancel_->load(); }
  void AddChunk() {
    if (chunks_ != nullptr) chunks_->fetch_add(1);
  }
  // Creates the directory unless it exists; what it creates is noted.
  HRESULT MakeFolder(const std::wstring& path);
  HRESULT WriteFile(orb::platform::File& file, std::uint64_t size, std::uint64_t* installed, std::uint64_t installSize);
  // Removes what this installation created, newest first.
  void RemoveCreated();

  struct Created {
    std::wstring path;
    bool directory = false;
  };

  PackageReader reader_;
  IDeviceStorage* storage_ = nullptr;
  const std::atomic<bool>* cancel_ = nullptr;
  std::atomic<std::uint32_t>* chunks_ = nullptr;
  std::atomic<std::int32_t>* progress_ = nullptr;
  std::vector<Created> created_;
};
