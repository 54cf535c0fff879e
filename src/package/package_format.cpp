// package_format.cpp - header fields to and from their bytes.
#include "package/package_format.h"

#include <cstring>

#include "package/big_endian.h"

namespace orb::package_format {

MainHeader LoadMainHeader(const std::uint8_t* bytes) {
  MainHeader h;
  h.magic = LoadBe32(bytes + main_header::kMagic);
  h.typeWord = LoadBe32(bytes + main_header::kTypeWord);
  h.metadataOffset = LoadBe32(bytes + main_header::kMetadataOffset);
  h.metadataCount = LoadBe32(bytes + main_header::kMetadataCount);
  h.metadataSize = LoadBe32(bytes + main_header::kMetadataSize);
  h.entryCount = LoadBe32(bytes + main_header::kEntryCount);
  h.totalSize = LoadBe64(bytes + main_header::kTotalSize);
  h.dataOffset = LoadBe64(bytes + main_header::kDataOffset);
  h.dataSize = LoadBe64(bytes + main_header::kDataSize);
  std::memcpy(h.contentId, bytes + main_header::kContentId, kContentIdSize);
  std::memcpy(h.counterBlock, bytes + main_header::kCounterBlock, kCounterBlockSize);
  return h;
}

void StoreMainHeader(const MainHeader& h, std::uint8_t* bytes) {
  StoreBe32(bytes + main_header::kMagic, h.magic);
  StoreBe32(bytes + main_header::kTypeWord, h.typeWord);
  StoreBe32(bytes + main_header::kMetadataOffset, h.metadataOffset);
  StoreBe32(bytes + main_header::kMetadataCount, h.metadataCount);
  StoreBe32(bytes + main_header::kMetadataSize, h.metadataSize);
  StoreBe32(bytes + main_header::kEntryCount, h.entryCount);
  StoreBe64(bytes + main_header::kTotalSize, h.totalSize);
  StoreBe64(bytes + main_header::kDataOffset, h.dataOffset);
  StoreBe64(bytes + main_header::kDataSize, h.dataSize);
  std::memcpy(bytes + main_header::kContentId, h.contentId, kContentIdSize);
  std::memcpy(bytes + main_header::kCounterBlock, h.counterBlock, kCounterBlockSize);
}

ExtendedHeader LoadExtendedHeader(const std::uint8_t* bytes) {
  ExtendedHeader h;
  h.magic = LoadBe32(bytes + extended_header::kMagic);
  h.extensionSize = LoadBe32(bytes + extended_header::kExtensionSize);
  h.regionSize = LoadBe32(bytes + extended_header::kRegionSize);
  h.headRegionEnd = LoadBe32(bytes + extended_header::kHeadRegionEnd);
  h.metadataRegionEnd = LoadBe32(bytes + extended_header::kMetadataRegionEnd);
  h.trailerOffset = LoadBe64(bytes + extended_header::kTrailerOffset);
  h.digestOffset = LoadBe32(bytes + extended_header::kDigestOffset);
  h.extensionType = LoadBe32(bytes + extended_header::kExtensionType);
  return h;
}

void StoreExtendedHeader(const ExtendedHeader& h, std::uint8_t* bytes) {
  StoreBe32(bytes + extended_header::kMagic, h.magic);
  StoreBe32(bytes + extended_header::kExtensionSize, h.extensionSize);
  StoreBe32(bytes + extended_header::kRegionSize, h.regionSize);
  StoreBe32(bytes + extended_header::kHeadRegionEnd, h.headRegionEnd);
  StoreBe32(bytes + extended_header::kMetadataRegionEnd, h.metadataRegionEnd);
  StoreBe64(bytes + extended_header::kTrailerOffset, h.trailerOffset);
  StoreBe32(bytes + extended_header::kDigestOffset, h.digestOffset);
  StoreBe32(bytes + extended_header::kExtensionType, h.extensionType);
}

}  // namespace orb::package_format
