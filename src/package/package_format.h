// package_format.h - the layout of a package file: its two headers, the
// entry table and the numbers that tie them together. Shared by the reader
// and the tools that write packages.
//
// A package: main header (128 bytes) at 0, extended header (64 bytes) at
// 192, the metadata (param items and 64 further bytes) after them, all
// within the first 32768 bytes; then the enciphered data area with the
// entry table at its position 0. Integers are big-endian.
#pragma once

#include <cstddef>
#include <cstdint>

namespace orb::package_format {

// Everything the headers describe lies in this many leading bytes.
constexpr std::size_t kHeadSize = 32768;

constexpr std::uint32_t kMagic = 0x7F504B47u;          // "\x7FPKG"
constexpr std::uint32_t kExtendedMagic = 0x7F657874u;  // "\x7F" "ext"

constexpr std::size_t kMainHeaderSize = 128;
constexpr std::size_t kExtendedHeaderOffset = 192;
constexpr std::size_t kExtendedHeaderSize = 64;
constexpr std::uint32_t kMinMetadataOffset = 192;
constexpr std::uint32_t kMinRegionSize = 384;
// The metadata ends with bytes that are not param items.
constexpr std::uint32_t kMetadataTrailerSize = 64;
// Room that a package without a data digest keeps after its trailer offset,
// beyond one region.
constexpr std::uint64_t kTrailerSlack = 32;
// A type-1 package whose data area starts right at the metadata end needs
// this much beyond the data area.
constexpr std::uint64_t kType1Slack = 96;

constexpr std::size_t kContentIdSize = 48;
constexpr std::size_t kCounterBlockSize = 16;
constexpr std::size_t kDigestSize = 20;

// Type word.
constexpr std::uint32_t kTypeFinalized = 0x80000000u;  // bit 31, must be set
constexpr std::uint32_t kTypeBit30 = 0x40000000u;      // never together with bit 31
constexpr std::uint32_t kPackageTypeMask = 0x3FFFFFFFu;
constexpr std::uint32_t kMaxPackageType = 2;

// Main header fields (offsets).
namespace main_header {
constexpr std::size_t kMagic = 0x00;
constexpr std::size_t kTypeWord = 0x04;
constexpr std::size_t kMetadataOffset = 0x08;
constexpr std::size_t kMetadataCount = 0x0C;
constexpr std::size_t kMetadataSize = 0x10;
constexpr std::size_t kEntryCount = 0x14;
constexpr std::size_t kTotalSize = 0x18;
constexpr std::size_t kDataOffset = 0x20;
constexpr std::size_t kDataSize = 0x28;
constexpr std::size_t kContentId = 0x30;
constexpr std::size_t kCounterBlock = 0x70;
}  // namespace main_header

// Extended header fields (offsets from its start).
namespace extended_header {
constexpr std::size_t kMagic = 0x00;
constexpr std::size_t kExtensionSize = 0x08;
constexpr std::size_t kRegionSize = 0x0C;
constexpr std::size_t kHeadRegionEnd = 0x10;
constexpr std::size_t kMetadataRegionEnd = 0x14;
constexpr std::size_t kTrailerOffset = 0x18;
constexpr std::size_t kDigestOffset = 0x20;
constexpr std::size_t kExtensionType = 0x24;
}  // namespace extended_header

constexpr std::uint32_t kExtensionTypeMask = 7;
constexpr std::uint32_t kExtensionTypeValue = 1;

// Entry table.
constexpr std::size_t kEntrySize = 32;
namespace entry {
constexpr std::size_t kNameOffset = 0;
constexpr std::size_t kNameSize = 4;
constexpr std::size_t kDataOffset = 8;
constexpr std::size_t kDataSize = 16;
constexpr std::size_t kFlags = 24;
}  // namespace entry

constexpr std::uint32_t kMaxNameSize = 255;
constexpr std::uint32_t kEntryDelivered = 0x200;     // the entry goes to the handheld
constexpr std::uint32_t kEntryClassMask = 0x70000000u;
constexpr std::uint32_t kEntryClassDelivered = 0x10000000u;
constexpr std::uint32_t kEntryKindMask = 0xFFu;
constexpr std::uint32_t kKindDirectory = 4;
constexpr std::uint32_t kKindDirectoryAlt = 10;
constexpr std::uint32_t kKindFile = 3;  // what our tools write; any kind but 4 and 10 is a file

// The cipher stage works on blocks of this size; data-area positions that
// are read are multiples of it.
constexpr std::size_t kCipherBlockSize = 16;

struct MainHeader {
  std::uint32_t magic = 0;
  std::uint32_t typeWord = 0;
  std::uint32_t metadataOffset = 0;
  std::uint32_t metadataCount = 0;
  std::uint32_t metadataSize = 0;
  std::uint32_t entryCount = 0;
  std::uint64_t totalSize = 0;
  std::uint64_t dataOffset = 0;
  std::uint64_t dataSize = 0;
  std::uint8_t contentId[kContentIdSize] = {};
  std::uint8_t counterBlock[kCounterBlockSize] = {};
};

struct ExtendedHeader {
  std::uint32_t magic = 0;
  std::uint32_t extensionSize = 0;
  std::uint32_t regionSize = 0;
  std::uint32_t headRegionEnd = 0;
  std::uint32_t metadataRegionEnd = 0;
  std::uint64_t trailerOffset = 0;
  std::uint32_t digestOffset = 0;  // 0: the package carries no data digest
  std::uint32_t extensionType = 0;
};

// From and to the file's bytes (kMainHeaderSize / kExtendedHeaderSize);
// bytes the format leaves unused are neither read nor written.
MainHeader LoadMainHeader(const std::uint8_t* bytes);
void StoreMainHeader(const MainHeader& header, std::uint8_t* bytes);
ExtendedHeader LoadExtendedHeader(const std::uint8_t* bytes);
void StoreExtendedHeader(const ExtendedHeader& header, std::uint8_t* bytes);

}  // namespace orb::package_format
