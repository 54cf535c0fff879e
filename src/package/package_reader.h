// package_reader.h - PackageReader reads package files: their head (to learn
// the content type while the package is still on the server), and then the
// delivered entries of a downloaded package, one after the other, for the
// installer.
//
// Calling order: Open, then NextEntry; after each file entry ReadData until
// the entry's bytes are used up; NextEntry again, until it answers S_OK (no
// further entry; the reader has then closed the file). Any failure of Open,
// NextEntry or ReadData closes the file; Close may be called at any time.
// ParseHead needs no file and leaves an open package alone.
//
// Nothing the package says is trusted: every offset is checked to lie in
// the 32768-byte head or in the data area before it is used, and entry
// names that would reach outside the folder they are installed into
// (".." elements, absolute names, backslashes, Windows device names) are
// refused.
//
// One reader lives for the whole run of the program; it has no lock and is
// used by one thread at a time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "base/status.h"
#include "package/package_cipher.h"
#include "package/package_failure.h"
#include "package/package_format.h"
#include "package/package_info.h"
#include "package/param_item_set.h"
#include "platform/file.h"

class PackageReader {
 public:
  static constexpr std::size_t kHeadSize = orb::package_format::kHeadSize;
  // Size of the name buffer of NextEntry: 255 bytes and the terminator.
  static constexpr std::size_t kNameBufferSize = 256;
  static constexpr const char* kDefaultEntryPrefix = "USRDIR/CONTENT/";
  // The data-area digest is computed in reads of this size.
  static constexpr std::size_t kDigestBlockSize = 262144;

  PackageReader();
  ~PackageReader();
  PackageReader(const PackageReader&) = delete;
  PackageReader& operator=(const PackageReader&) = delete;

  // Checks the headers in the first bytes of a package and summarises them.
  // `size` is how many bytes `head` holds; fewer than 32768 read as if
  // zeros followed, fewer than the 256 bytes of both headers are refused.
  // The summary's entry count and install size are the headers' own.
  HRESULT ParseHead(const std::uint8_t* head, std::size_t size, PackageInfo* info);

  // Opens a package file (path in the system's narrow code page), checks
  // its headers, its data digest when it names one, and its entry table.
  // The summary counts the delivered entries and the bytes of their files.
  HRESULT Open(const char* path, PackageInfo* info);

  // The next delivered entry: S_OK when there is none (the file is closed
  // then), ORB_S_PKG_FILE or ORB_S_PKG_DIRECTORY with its data size and its
  // name (NUL-terminated, entry prefix removed, "/" between elements), or a
  // failure.
  HRESULT NextEntry(std::uint64_t* dataSize, char name[kNameBufferSize]);

  // Deciphers up to `wanted` bytes (a multiple of 16) of the current file
  // entry into buffer; *delivered receives the count.
  HRESULT ReadData(void* buffer, std::uint32_t wanted, std::uint32_t* delivered);

  void Close();

  // Delivered entries must begin with this text, which is cut off the names
  // handed out; empty hands out the names whole.
  void SetEntryPrefix(const char* prefix);
  const std::string& EntryPrefix() const { return prefix_; }

  bool IsOpen() const { return file_.IsOpen(); }
  // The reader's own number of its last failure (kNone after a success).
  orb::PackageFailure LastFailure() const { return lastFailure_; }

 private:
  struct Entry {
    std::uint32_t nameOffset = 0;
    std::uint32_t nameSize = 0;
    std::uint64_t dataOffset = 0;
    std::uint64_t dataSize = 0;
    std::uint32_t flags = 0;
  };

  HRESULT Result(orb::PackageFailure failure);
  HRESULT FailAndClose(orb::PackageFailure failure);
  bool EnsureHead();
  orb::PackageFailure OpenFile(const char* path, PackageInfo* info, HRESULT* systemFailure);
  orb::PackageFailure CheckDataDigest(HRESULT* systemFailure);
  orb::PackageFailure SurveyEntries(PackageInfo* info);
  orb::PackageFailure ReadEntry(std::uint32_t index, Entry* entry);
  orb::PackageFailure ReadDataArea(std::uint64_t position, std::uint8_t* out, std::size_t size);
  orb::PackageFailure NextDeliveredEntry(std::uint64_t* dataSize, char* name, HRESULT* kind);
  bool InsideDataArea(std::uint64_t position, std::uint64_t size) const;

  std::unique_ptr<std::uint8_t[]> head_;
  orb::platform::File file_;
  std::uint64_t fileSize_ = 0;
  orb::package_format::MainHeader main_;
  orb::package_format::ExtendedHeader extended_;
  InputOutputInterface::ParamItems::ParamItemSet items_;
  std::uint32_t cursor_ = 0;
  std::uint64_t entryPosition_ = 0;
  std::uint64_t entryRemaining_ = 0;
  orb::PackageCipher cipher_;
  std::string prefix_;
  bool streamFailed_ = false;
  orb::PackageFailure lastFailure_ = orb::PackageFailure::kNone;
};
