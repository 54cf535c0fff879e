// package_reader.cpp - header checks, data digest, entry walk.
#include "package/package_reader.h"

#include <cstring>
#include <limits>
#include <new>
#include <string_view>

#include "base/device_name.h"
#include "package/big_endian.h"
#include "package/entry_name.h"
#include "package/package_key.h"
#include "platform/codepage.h"

namespace fmt = orb::package_format;
using orb::PackageFailure;
using InputOutputInterface::ParamItems::ParamItemSet;

namespace {

// Both headers, complete: anything shorter is no package.
constexpr std::size_t kMinPackageSize = fmt::kExtendedHeaderOffset + fmt::kExtendedHeaderSize;
constexpr std::uint64_t kMaxFilePosition = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());

// a + b, or false when the sum does not fit in 64 bits.
bool Add(std::uint64_t a, std::uint64_t b, std::uint64_t* sum) {
  if (a > std::numeric_limits<std::uint64_t>::max() - b) return false;
  *sum = a + b;
  return true;
}

struct Head {
  fmt::MainHeader main;
  fmt::ExtendedHeader extended;
};

PackageFailure CheckMainHeader(const fmt::MainHeader& m) {
  const std::uint32_t type = m.typeWord & fmt::kPackageTypeMask;
  const std::uint64_t metadataEnd = std::uint64_t{m.metadataOffset} + m.metadataSize;

  if (m.magic != fmt::kMagic) return PackageFailure::kMainHeader;
  if (type == 0 || type > fmt::kMaxPackageType) return PackageFailure::kMainHeader;
  if ((m.typeWord & (fmt::kTypeFinalized | fmt::kTypeBit30)) == (fmt::kTypeFinalized | fmt::kTypeBit30)) {
    return PackageFailure::kMainHeader;
  }
  if (m.metadataOffset < fmt::kMinMetadataOffset) return PackageFailure::kMainHeader;
  // The metadata carries its 64 trailing bytes; less cannot be metadata.
  if (m.metadataSize < fmt::kMetadataTrailerSize ||
      m.metadataSize - fmt::kMetadataTrailerSize > fmt::kHeadSize) {
    return PackageFailure::kMainHeader;
  }
  if (m.metadataSize - fmt::kMetadataTrailerSize < 8 * std::uint64_t{m.metadataCount}) {
    return PackageFailure::kMainHeader;
  }
  if (type == 1 && metadataEnd == m.dataOffset) {
    std::uint64_t dataEnd = 0;
    std::uint64_t needed = 0;
    if (!Add(m.dataOffset, m.dataSize, &dataEnd) || !Add(dataEnd, fmt::kType1Slack, &needed) ||
        m.totalSize < needed) {
      return PackageFailure::kMainHeader;
    }
  }

  if ((m.typeWord & fmt::kTypeFinalized) == 0) return PackageFailure::kNotFinalized;
  // The format compares these as signed 32-bit numbers; a data offset of
  // 2^32 or more always passes.
  if (type == 1 && m.dataOffset < (std::uint64_t{1} << 32) &&
      static_cast<std::int32_t>(static_cast<std::uint32_t>(metadataEnd)) >=
          static_cast<std::int32_t>(static_cast<std::uint32_t>(m.dataOffset))) {
    return PackageFailure::kType1Layout;
  }
  return PackageFailure::kNone;
}

PackageFailure CheckExtendedHeader(const fmt::MainHeader& m, const fmt::ExtendedHeader& e) {
  // Sums in 64 bits: a 32-bit sum could wrap round into the head and let an
  // offset far beyond it pass.
  const std::uint64_t metadataEnd = std::uint64_t{m.metadataOffset} + m.metadataSize;
  const std::uint64_t headRegionLimit = std::uint64_t{e.headRegionEnd} + e.regionSize;
  const std::uint64_t metadataRegionLimit = std::uint64_t{e.metadataRegionEnd} + e.regionSize;

  if (e.magic != fmt::kExtendedMagic) return PackageFailure::kExtendedHeader;
  if (e.extensionSize > fmt::kHeadSize) return PackageFailure::kExtendedHeader;
  if (e.regionSize < fmt::kMinRegionSize || e.regionSize > fmt::kHeadSize) return PackageFailure::kExtendedHeader;
  if (e.headRegionEnd != std::uint64_t{e.extensionSize} + fmt::kExtendedHeaderOffset ||
      e.headRegionEnd > fmt::kHeadSize || headRegionLimit > m.metadataOffset) {
    return PackageFailure::kExtendedHeader;
  }
  if (e.metadataRegionEnd != metadataEnd || metadataRegionLimit > m.dataOffset) {
    return PackageFailure::kExtendedHeader;
  }
  if (e.digestOffset != 0) {
    // The digest is copied out of the head: all of it must lie there.
    if (std::uint64_t{e.digestOffset} + fmt::kDigestSize > fmt::kHeadSize) return PackageFailure::kExtendedHeader;
    std::uint64_t dataEnd = 0;
    if (m.dataOffset < e.digestOffset || m.dataOffset < e.trailerOffset ||
        !Add(m.dataOffset, m.dataSize, &dataEnd) || m.totalSize != dataEnd) {
      return PackageFailure::kExtendedHeader;
    }
  } else {
    std::uint64_t trailerEnd = 0;
    if (!Add(e.trailerOffset, std::uint64_t{e.regionSize} + fmt::kTrailerSlack, &trailerEnd) ||
        m.totalSize < trailerEnd) {
      return PackageFailure::kExtendedHeader;
    }
  }

  if ((e.extensionType & fmt::kExtensionTypeMask) != fmt::kExtensionTypeValue) return PackageFailure::kExtensionType;
  if (headRegionLimit > fmt::kHeadSize) return PackageFailure::kHeadRegion;
  if (metadataRegionLimit > fmt::kHeadSize) return PackageFailure::kMetadataRegion;
  return PackageFailure::kNone;
}

// Checks both headers of a 32768-byte head and parses its param items.
PackageFailure ParseHeadBuffer(const std::uint8_t* head, Head* out, ParamItemSet* items, PackageInfo* info) {
  using namespace InputOutputInterface::ParamItems;
  out->main = fmt::LoadMainHeader(head);
  PackageFailure failure = CheckMainHeader(out->main);
  if (failure != PackageFailure::kNone) return failure;
  out->extended = fmt::LoadExtendedHeader(head + fmt::kExtendedHeaderOffset);
  failure = CheckExtendedHeader(out->main, out->extended);
  if (failure != PackageFailure::kNone) return failure;

  // The checks above keep the metadata inside the head.
  const fmt::MainHeader& m = out->main;
  items->Parse(head + m.metadataOffset, m.metadataSize - fmt::kMetadataTrailerSize, m.metadataCount);

  *info = PackageInfo{};
  if (out->extended.digestOffset != 0) {
    std::memcpy(info->dataDigest, head + out->extended.digestOffset, fmt::kDigestSize);
  }
  info->distributionType = static_cast<std::uint32_t>(items->Get<DistributionType>().Number());
  info->contentType = static_cast<std::uint32_t>(items->Get<ContentType>().Number());
  info->packageFlags = static_cast<std::uint32_t>(items->Get<PackageFlag>().Number());
  info->entryCount = m.entryCount;
  info->dataOffset = m.dataOffset;
  info->installSize = items->Get<InstallSize>().Number();
  std::memcpy(info->contentId, m.contentId, sizeof(info->contentId));
  std::memcpy(info->titleId, items->Get<TitleIDInfo>().Bytes(), sizeof(info->titleId));
  return PackageFailure::kNone;
}

bool IsDirectoryKind(std::uint32_t flags) {
  const std::uint32_t kind = flags & fmt::kEntryKindMask;
  return kind == fmt::kKindDirectory || kind == fmt::kKindDirectoryAlt;
}

bool IsDelivered(std::uint32_t flags) { return (flags & fmt::kEntryDelivered) != 0; }

bool HasDeliveredClass(std::uint32_t flags) { return (flags & fmt::kEntryClassMask) == fmt::kEntryClassDelivered; }

}  // namespace

PackageReader::PackageReader() : prefix_(kDefaultEntryPrefix) {}

PackageReader::~PackageReader() = default;

HRESULT PackageReader::Result(PackageFailure failure) {
  lastFailure_ = failure;
  return orb::StatusFromPackageFailure(failure);
}

HRESULT PackageReader::FailAndClose(PackageFailure failure) {
  Close();
  return Result(failure);
}

bool PackageReader::EnsureHead() {
  if (!head_) head_.reset(new (std::nothrow) std::uint8_t[kHeadSize]);
  return head_ != nullptr;
}

HRESULT PackageReader::ParseHead(const std::uint8_t* head, std::size_t size, PackageInfo* info) {
  if (head == nullptr || info == nullptr) return E_POINTER;
  *info = PackageInfo{};
  if (size < kMinPackageSize) return Result(PackageFailure::kMainHeader);
  const std::uint8_t* full = head;
  std::unique_ptr<std::uint8_t[]> padded;
  if (size < kHeadSize) {
    padded.reset(new (std::nothrow) std::uint8_t[kHeadSize]);
    if (!padded) return E_OUTOFMEMORY;
    std::memset(padded.get(), 0, kHeadSize);
    std::memcpy(padded.get(), head, size);
    full = padded.get();
  }
  Head parsed;
  ParamItemSet items;
  return Result(ParseHeadBuffer(full, &parsed, &items, info));
}

HRESULT PackageReader::Open(const char* path, PackageInfo* info) {
  if (info == nullptr) return E_POINTER;
  Close();
  cursor_ = 0;
  *info = PackageInfo{};
  HRESULT systemFailure = S_OK;
  const PackageFailure failure = OpenFile(path, info, &systemFailure);
  if (failure == PackageFailure::kNone && SUCCEEDED(systemFailure)) return Result(PackageFailure::kNone);
  Close();
  *info = PackageInfo{};
  if (FAILED(systemFailure)) {
    lastFailure_ = PackageFailure::kNone;
    return systemFailure;
  }
  return Result(failure);
}

PackageFailure PackageReader::OpenFile(const char* path, PackageInfo* info, HRESULT* systemFailure) {
  namespace p = orb::platform;
  if (path == nullptr || *path == '\0') return PackageFailure::kNotOpen;
  std::wstring widePath;
  if (FAILED(p::AnsiToWide(path, &widePath))) return PackageFailure::kNotOpen;
  if (file_.Open(widePath, p::file_access::kRead, p::file_share::kRead, p::file_disposition::kOpenExisting,
                 p::file_attribute::kNormal) != 0) {
    return PackageFailure::kNotOpen;
  }
  if (!EnsureHead()) {
    *systemFailure = E_OUTOFMEMORY;
    return PackageFailure::kNone;
  }
  if (file_.Size(&fileSize_) != 0) return PackageFailure::kRead;
  if (fileSize_ < kMinPackageSize) return PackageFailure::kMainHeader;
  // A file shorter than the head reads as its bytes followed by zeros; the
  // header checks and the size check below find what is missing.
  std::memset(head_.get(), 0, kHeadSize);
  const std::uint32_t want = static_cast<std::uint32_t>(fileSize_ < kHeadSize ? fileSize_ : kHeadSize);
  std::uint32_t done = 0;
  if (file_.Read(head_.get(), want, &done) != 0 || done != want) return PackageFailure::kRead;

  Head parsed;
  PackageFailure failure = ParseHeadBuffer(head_.get(), &parsed, &items_, info);
  if (failure != PackageFailure::kNone) return failure;
  main_ = parsed.main;
  extended_ = parsed.extended;

  // A package cut short is refused here, before anything is installed from
  // it, rather than at whichever entry first reaches past its end.
  std::uint64_t dataEnd = 0;
  if (!Add(main_.dataOffset, main_.dataSize, &dataEnd) || dataEnd > kMaxFilePosition || dataEnd > fileSize_) {
    return PackageFailure::kRead;
  }

  if (extended_.digestOffset != 0) {
    failure = CheckDataDigest(systemFailure);
    if (failure != PackageFailure::kNone || FAILED(*systemFailure)) return failure;
  }
  // A package with a digest is read like any other once the digest holds:
  // the installer needs the cipher stage and the delivered count and size.
  *systemFailure = cipher_.Init(orb::kPackageKey, main_.counterBlock);
  if (FAILED(*systemFailure)) return PackageFailure::kNone;
  return SurveyEntries(info);
}

PackageFailure PackageReader::CheckDataDigest(HRESULT* systemFailure) {
  std::unique_ptr<std::uint8_t[]> block(new (std::nothrow) std::uint8_t[kDigestBlockSize]);
  orb::platform::Sha1Digest digest;
  if (!block) {
    *systemFailure = E_OUTOFMEMORY;
    return PackageFailure::kNone;
  }
  *systemFailure = digest.Start();
  if (FAILED(*systemFailure)) return PackageFailure::kNone;
  if (file_.Seek(static_cast<std::int64_t>(main_.dataOffset), orb::platform::SeekOrigin::kBegin, nullptr) != 0) {
    return PackageFailure::kRead;
  }
  for (std::uint64_t left = main_.dataSize; left > 0;) {
    const std::uint32_t want = static_cast<std::uint32_t>(left < kDigestBlockSize ? left : kDigestBlockSize);
    std::uint32_t done = 0;
    if (file_.Read(block.get(), want, &done) != 0 || done != want) return PackageFailure::kRead;
    *systemFailure = digest.Update(block.get(), want);
    if (FAILED(*systemFailure)) return PackageFailure::kNone;
    left -= want;
  }
  std::uint8_t computed[orb::platform::Sha1Digest::kSize];
  *systemFailure = digest.Finish(computed);
  if (FAILED(*systemFailure)) return PackageFailure::kNone;
  if (std::memcmp(computed, head_.get() + extended_.digestOffset, sizeof(computed)) != 0) {
    return PackageFailure::kDigest;
  }
  return PackageFailure::kNone;
}

bool PackageReader::InsideDataArea(std::uint64_t position, std::uint64_t size) const {
  std::uint64_t end = 0;
  return Add(position, size, &end) && end <= main_.dataSize;
}

PackageFailure PackageReader::SurveyEntries(PackageInfo* info) {
  const std::uint64_t tableSize = std::uint64_t{main_.entryCount} * fmt::kEntrySize;
  if (!InsideDataArea(0, tableSize)) return PackageFailure::kOutsideData;

  // The head has been parsed; its buffer serves as the table's window.
  constexpr std::uint32_t kEntriesPerRead = static_cast<std::uint32_t>(kHeadSize / fmt::kEntrySize);
  std::uint32_t delivered = 0;
  std::uint64_t bytes = 0;
  for (std::uint32_t first = 0; first < main_.entryCount;) {
    const std::uint32_t left = main_.entryCount - first;
    const std::uint32_t count = left < kEntriesPerRead ? left : kEntriesPerRead;
    const PackageFailure failure =
        ReadDataArea(std::uint64_t{first} * fmt::kEntrySize, head_.get(), std::size_t{count} * fmt::kEntrySize);
    if (failure != PackageFailure::kNone) return failure;
    for (std::uint32_t i = 0; i < count; ++i) {
      const std::uint8_t* e = head_.get() + std::size_t{i} * fmt::kEntrySize;
      const std::uint32_t flags = orb::LoadBe32(e + fmt::entry::kFlags);
      if (!IsDelivered(flags) || !HasDeliveredClass(flags)) continue;
      const std::uint32_t nameSize = orb::LoadBe32(e + fmt::entry::kNameSize);
      const std::uint64_t dataOffset = orb::LoadBe64(e + fmt::entry::kDataOffset);
      const std::uint64_t dataSize = orb::LoadBe64(e + fmt::entry::kDataSize);
      // Checked here too, so that a package that points outside its data is
      // refused before the installer writes anything.
      if (!InsideDataArea(orb::LoadBe32(e + fmt::entry::kNameOffset), nameSize) ||
          !InsideDataArea(dataOffset, dataSize)) {
        return PackageFailure::kOutsideData;
      }
      ++delivered;
      if (!IsDirectoryKind(flags)) bytes = dataSize > ~bytes ? ~std::uint64_t{0} : bytes + dataSize;
    }
    first += count;
  }
  if (delivered == 0 || bytes == 0) return PackageFailure::kNoContent;
  info->entryCount = delivered;
  info->installSize = bytes;
  cursor_ = 0;
  entryPosition_ = 0;
  entryRemaining_ = 0;
  return PackageFailure::kNone;
}

PackageFailure PackageReader::ReadDataArea(std::uint64_t position, std::uint8_t* out, std::size_t size) {
  std::uint64_t start = 0;
  std::uint64_t end = 0;
  if (!Add(main_.dataOffset, position, &start) || !Add(start, size, &end) || end > kMaxFilePosition) {
    return PackageFailure::kRead;
  }
  if (file_.Seek(static_cast<std::int64_t>(start), orb::platform::SeekOrigin::kBegin, nullptr) != 0) {
    streamFailed_ = true;
    return PackageFailure::kRead;
  }
  for (std::size_t at = 0; at < size;) {
    const std::size_t left = size - at;
    const std::uint32_t want = static_cast<std::uint32_t>(left < 0x40000000u ? left : 0x40000000u);
    std::uint32_t done = 0;
    if (file_.Read(out + at, want, &done) != 0 || done != want) {
      streamFailed_ = true;
      return PackageFailure::kRead;
    }
    at += want;
  }
  if (FAILED(cipher_.Apply(position, out, size))) return PackageFailure::kRead;
  return PackageFailure::kNone;
}

PackageFailure PackageReader::ReadEntry(std::uint32_t index, Entry* entry) {
  std::uint8_t bytes[fmt::kEntrySize];
  const PackageFailure failure = ReadDataArea(std::uint64_t{index} * fmt::kEntrySize, bytes, sizeof(bytes));
  if (failure != PackageFailure::kNone) return failure;
  entry->nameOffset = orb::LoadBe32(bytes + fmt::entry::kNameOffset);
  entry->nameSize = orb::LoadBe32(bytes + fmt::entry::kNameSize);
  entry->dataOffset = orb::LoadBe64(bytes + fmt::entry::kDataOffset);
  entry->dataSize = orb::LoadBe64(bytes + fmt::entry::kDataSize);
  entry->flags = orb::LoadBe32(bytes + fmt::entry::kFlags);
  return PackageFailure::kNone;
}

HRESULT PackageReader::NextEntry(std::uint64_t* dataSize, char name[kNameBufferSize]) {
  if (dataSize == nullptr || name == nullptr) return E_POINTER;
  *dataSize = 0;
  name[0] = '\0';
  HRESULT kind = S_OK;
  const PackageFailure failure = NextDeliveredEntry(dataSize, name, &kind);
  if (failure != PackageFailure::kNone) {
    *dataSize = 0;
    name[0] = '\0';
    return FailAndClose(failure);
  }
  if (kind == S_OK) Close();
  lastFailure_ = PackageFailure::kNone;
  return kind;
}

PackageFailure PackageReader::NextDeliveredEntry(std::uint64_t* dataSize, char* name, HRESULT* kind) {
  if (entryRemaining_ != 0) return PackageFailure::kEntryState;
  if (cursor_ > main_.entryCount) return PackageFailure::kCursor;
  if (!file_.IsOpen()) return PackageFailure::kNotOpen;
  if (streamFailed_) return PackageFailure::kRead;

  Entry entry;
  for (;;) {
    if (cursor_ >= main_.entryCount) {
      *kind = S_OK;
      return PackageFailure::kNone;
    }
    const PackageFailure failure = ReadEntry(cursor_, &entry);
    ++cursor_;
    if (failure != PackageFailure::kNone) return failure;
    if (IsDelivered(entry.flags)) break;
  }
  if (!HasDeliveredClass(entry.flags)) return PackageFailure::kEntryClass;
  if (entry.nameSize > fmt::kMaxNameSize) return PackageFailure::kNameSize;
  if (!InsideDataArea(entry.nameOffset, entry.nameSize) || !InsideDataArea(entry.dataOffset, entry.dataSize)) {
    return PackageFailure::kOutsideData;
  }

  char full[kNameBufferSize];
  const PackageFailure failure =
      ReadDataArea(entry.nameOffset, reinterpret_cast<std::uint8_t*>(full), entry.nameSize);
  if (failure != PackageFailure::kNone) return failure;
  full[entry.nameSize] = '\0';

  std::size_t cut = 0;
  if (!prefix_.empty()) {
    if (entry.nameSize < prefix_.size() || std::memcmp(full, prefix_.data(), prefix_.size()) != 0) {
      return PackageFailure::kNamePrefix;
    }
    cut = prefix_.size();
  }
  const bool directory = IsDirectoryKind(entry.flags);
  const std::size_t length = entry.nameSize - cut;
  if (!orb::package::IsSafeEntryName(std::string_view(full + cut, length), directory)) {
    return PackageFailure::kUnsafeName;
  }

  std::memcpy(name, full + cut, length);
  name[length] = '\0';
  *dataSize = entry.dataSize;
  entryPosition_ = entry.dataOffset;
  entryRemaining_ = entry.dataSize;
  *kind = directory ? ORB_S_PKG_DIRECTORY : ORB_S_PKG_FILE;
  return PackageFailure::kNone;
}

HRESULT PackageReader::ReadData(void* buffer, std::uint32_t wanted, std::uint32_t* delivered) {
  if (delivered == nullptr) return E_POINTER;
  *delivered = 0;
  PackageFailure failure = PackageFailure::kNone;
  if (wanted % fmt::kCipherBlockSize != 0) {
    failure = PackageFailure::kReadSize;
  } else if (entryRemaining_ == 0) {
    failure = PackageFailure::kEntryState;
  } else if (!file_.IsOpen()) {
    failure = PackageFailure::kNotOpen;
  } else if (streamFailed_) {
    failure = PackageFailure::kRead;
  } else if (cursor_ > main_.entryCount) {
    failure = PackageFailure::kCursor;
  } else if (buffer == nullptr) {
    return E_POINTER;
  }
  if (failure != PackageFailure::kNone) return FailAndClose(failure);

  const std::uint32_t count =
      static_cast<std::uint32_t>(entryRemaining_ < wanted ? entryRemaining_ : std::uint64_t{wanted});
  failure = ReadDataArea(entryPosition_, static_cast<std::uint8_t*>(buffer), count);
  if (failure != PackageFailure::kNone) return FailAndClose(failure);
  entryPosition_ += count;
  entryRemaining_ -= count;
  *delivered = count;
  return Result(PackageFailure::kNone);
}

void PackageReader::Close() {
  file_.Close();
  streamFailed_ = false;
  entryPosition_ = 0;
  entryRemaining_ = 0;
}

void PackageReader::SetEntryPrefix(const char* prefix) { prefix_ = prefix != nullptr ? prefix : ""; }
