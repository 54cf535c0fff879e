// package_builder.cpp - lays a PackageSpec out as the reader expects it:
// headers and metadata in the head, then the data area (entry table, names,
// data, each on a 16-byte boundary), then the trailer room.
#include "package_builder/package_builder.h"

#include <algorithm>
#include <cstring>

#include "package/big_endian.h"
#include "package/byte_stream.h"
#include "package/package_cipher.h"
#include "package/package_format.h"
#include "package/package_key.h"
#include "package/param_item_set.h"
#include "platform/crypto.h"
#include "platform/file.h"

namespace orb::package_builder {

namespace {

namespace fmt = orb::package_format;
namespace items = InputOutputInterface::ParamItems;

constexpr std::uint32_t kExtensionSize = 64;
constexpr std::uint64_t kMaxInMemory = std::uint64_t{1} << 30;

// Bytes at a file offset.
struct Piece {
  std::uint64_t offset = 0;
  std::string bytes;
};

struct Plan {
  std::vector<Piece> pieces;
  PackageLayout layout;
};

std::uint64_t Align16(std::uint64_t v) { return (v + 15) & ~std::uint64_t{15}; }

bool Fail(std::string* error, const char* text) {
  if (error != nullptr) *error = text;
  return false;
}

std::string Metadata(const PackageSpec& spec, std::uint32_t* count) {
  items::ParamItemSet set;
  for (items::Item* item : set.Items()) item->MarkAbsent();
  if (spec.standardParams) {
    std::uint64_t installSize = 0;
    for (const EntrySpec& e : spec.entries) {
      if (e.delivered && !e.directory) installSize += e.data.size();
    }
    set.Get<items::DistributionType>().SetNumber(spec.distributionType);
    set.Get<items::ContentType>().SetNumber(spec.contentType);
    set.Get<items::PackageFlag>().SetNumber(spec.packageFlags);
    set.Get<items::InstallSize>().SetNumber(spec.installSize.value_or(installSize));
    for (std::uint32_t id = 1; id <= 4; ++id) set.Find(id)->MarkPresent();
    if (!spec.titleId.empty()) {
      set.Get<items::TitleIDInfo>().SetBytes(spec.titleId.data(), spec.titleId.size());
      set.Get<items::TitleIDInfo>().MarkPresent();
    }
  }
  std::vector<std::uint8_t> out;
  ByteWriter writer(&out);
  set.Write(writer, nullptr);
  *count = set.PresentCount();
  for (const ParamSpec& p : spec.extraParams) {
    std::uint8_t head[8];
    StoreBe32(head, p.id);
    StoreBe32(head + 4, p.size.value_or(static_cast<std::uint32_t>(p.value.size())));
    writer.Write(head, sizeof(head));
    writer.Write(p.value.data(), p.value.size());
    ++*count;
  }
  out.resize(out.size() + fmt::kMetadataTrailerSize, 0);
  return std::string(out.begin(), out.end());
}

std::uint32_t EntryFlags(const EntrySpec& e) {
  if (e.flags) return *e.flags;
  std::uint32_t flags = e.directory ? fmt::kKindDirectory : fmt::kKindFile;
  if (e.delivered) flags |= fmt::kEntryDelivered | fmt::kEntryClassDelivered;
  return flags;
}

bool HashDataArea(const Plan& plan, std::uint64_t dataOffset, std::uint64_t dataSize, std::uint8_t digest[20],
                  std::string* error) {
  if (dataSize > kMaxInMemory) return Fail(error, "a data digest needs the data area in memory (at most 1 GiB)");
  std::string area(static_cast<std::size_t>(dataSize), '\0');
  for (const Piece& p : plan.pieces) {
    if (p.offset < dataOffset || p.offset >= dataOffset + dataSize) continue;
    const std::size_t at = static_cast<std::size_t>(p.offset - dataOffset);
    std::memcpy(area.data() + at, p.bytes.data(), std::min(p.bytes.size(), area.size() - at));
  }
  platform::Sha1Digest sha;
  if (FAILED(sha.Start()) || FAILED(sha.Update(area.data(), area.size())) || FAILED(sha.Finish(digest))) {
    return Fail(error, "SHA-1 failed");
  }
  return true;
}

bool MakePlan(const PackageSpec& spec, Plan* plan, std::string* error) {
  PackageLayout& layout = plan->layout;
  std::uint32_t itemCount = 0;
  const std::string metadata = Metadata(spec, &itemCount);

  const std::uint32_t headRegionEnd = static_cast<std::uint32_t>(fmt::kExtendedHeaderOffset) + kExtensionSize;
  const std::uint64_t metadataOffset = std::uint64_t{headRegionEnd} + spec.regionSize;
  const std::uint64_t metadataEnd = metadataOffset + metadata.size();
  if (metadataEnd + spec.regionSize > fmt::kHeadSize) return Fail(error, "metadata do not fit into the head");
  layout.metadataOffset = metadataOffset;
  layout.dataOffset = Align16(metadataEnd + spec.regionSize);
  layout.digestOffset = spec.withDigest ? headRegionEnd : 0;

  // The data area: table, then names, then the data placed in order.
  std::vector<Piece> area;
  const std::uint64_t tableSize = spec.entries.size() * fmt::kEntrySize;
  std::uint64_t next = Align16(tableSize);
  for (const EntrySpec& e : spec.entries) {
    layout.namePositions.push_back(next);
    area.push_back({next, e.name});
    next = Align16(next + e.name.size());
  }
  for (const EntrySpec& e : spec.entries) {
    std::uint64_t at = next;
    if (e.dataOffset) {
      at = *e.dataOffset;
    } else {
      next = Align16(next + e.data.size());
    }
    layout.dataPositions.push_back(at);
    if (!e.data.empty()) area.push_back({at, e.data});
  }
  std::uint64_t dataSize = next;
  for (const Piece& p : area) dataSize = std::max(dataSize, Align16(p.offset + p.bytes.size()));
  layout.dataSize = dataSize;

  std::string table(static_cast<std::size_t>(tableSize), '\0');
  for (std::size_t i = 0; i < spec.entries.size(); ++i) {
    const EntrySpec& e = spec.entries[i];
    auto* t = reinterpret_cast<std::uint8_t*>(table.data()) + i * fmt::kEntrySize;
    StoreBe32(t + fmt::entry::kNameOffset, e.nameOffset.value_or(static_cast<std::uint32_t>(layout.namePositions[i])));
    StoreBe32(t + fmt::entry::kNameSize, e.nameSize.value_or(static_cast<std::uint32_t>(e.name.size())));
    StoreBe64(t + fmt::entry::kDataOffset, layout.dataPositions[i]);
    StoreBe64(t + fmt::entry::kDataSize, e.dataSize.value_or(e.data.size()));
    StoreBe32(t + fmt::entry::kFlags, EntryFlags(e));
  }
  area.insert(area.begin(), Piece{0, table});

  if (spec.encipher) {
    PackageCipher cipher;
    if (FAILED(cipher.Init(kPackageKey, spec.counterBlock.data()))) return Fail(error, "cipher not available");
    for (Piece& p : area) {
      if (FAILED(cipher.Apply(p.offset, reinterpret_cast<std::uint8_t*>(p.bytes.data()), p.bytes.size()))) {
        return Fail(error, "cipher failed");
      }
    }
  }

  fmt::MainHeader main;
  main.magic = fmt::kMagic;
  main.typeWord = spec.typeWord;
  main.metadataOffset = static_cast<std::uint32_t>(metadataOffset);
  main.metadataCount = itemCount;
  main.metadataSize = static_cast<std::uint32_t>(metadata.size());
  main.entryCount = static_cast<std::uint32_t>(spec.entries.size());
  main.dataOffset = layout.dataOffset;
  main.dataSize = dataSize;
  std::memcpy(main.contentId, spec.contentId.data(), std::min(spec.contentId.size(), sizeof(main.contentId)));
  std::memcpy(main.counterBlock, spec.counterBlock.data(), sizeof(main.counterBlock));

  fmt::ExtendedHeader ext;
  ext.magic = fmt::kExtendedMagic;
  ext.extensionSize = kExtensionSize;
  ext.regionSize = spec.regionSize;
  ext.headRegionEnd = headRegionEnd;
  ext.metadataRegionEnd = static_cast<std::uint32_t>(metadataEnd);
  ext.digestOffset = layout.digestOffset;
  ext.extensionType = fmt::kExtensionTypeValue;
  const std::uint64_t dataEnd = layout.dataOffset + dataSize;
  if (spec.withDigest) {
    ext.trailerOffset = metadataEnd;
    main.totalSize = dataEnd;
  } else {
    ext.trailerOffset = dataEnd;
    main.totalSize = dataEnd + spec.regionSize + fmt::kTrailerSlack;
  }
  layout.totalSize = main.totalSize;

  std::string head(static_cast<std::size_t>(layout.dataOffset), '\0');
  auto* h = reinterpret_cast<std::uint8_t*>(head.data());
  fmt::StoreMainHeader(main, h);
  fmt::StoreExtendedHeader(ext, h + fmt::kExtendedHeaderOffset);
  std::memcpy(h + metadataOffset, metadata.data(), metadata.size());

  // Later pieces win where they overlap. First the last byte: the file
  // ends at its total size even where the data leave a hole before it.
  plan->pieces.push_back({main.totalSize - 1, std::string(1, '\0')});
  plan->pieces.push_back({0, head});
  for (Piece& p : area) plan->pieces.push_back({layout.dataOffset + p.offset, std::move(p.bytes)});
  if (!spec.withDigest) {
    plan->pieces.push_back({dataEnd, std::string(static_cast<std::size_t>(main.totalSize - dataEnd), '\0')});
  }

  if (spec.withDigest) {
    std::uint8_t digest[fmt::kDigestSize];
    if (!HashDataArea(*plan, layout.dataOffset, dataSize, digest, error)) return false;
    std::memcpy(plan->pieces[1].bytes.data() + layout.digestOffset, digest, sizeof(digest));
  }
  return true;
}

}  // namespace

bool BuildPackage(const PackageSpec& spec, std::string* bytes, PackageLayout* layout, std::string* error) {
  Plan plan;
  if (!MakePlan(spec, &plan, error)) return false;
  if (plan.layout.totalSize > kMaxInMemory) return Fail(error, "package too large for memory; write a file");
  std::string out(static_cast<std::size_t>(plan.layout.totalSize), '\0');
  for (const Piece& p : plan.pieces) {
    std::memcpy(out.data() + p.offset, p.bytes.data(), p.bytes.size());
  }
  bytes->swap(out);
  if (layout != nullptr) *layout = plan.layout;
  return true;
}

bool WritePackageFile(const PackageSpec& spec, const std::filesystem::path& path, PackageLayout* layout,
                      std::string* error) {
  namespace p = orb::platform;
  Plan plan;
  if (!MakePlan(spec, &plan, error)) return false;
  p::File file;
  if (file.Open(path.wstring(), p::file_access::kWrite, p::file_share::kNone, p::file_disposition::kCreateAlways,
                p::file_attribute::kNormal) != 0) {
    return Fail(error, "cannot create the package file");
  }
  for (const Piece& piece : plan.pieces) {
    std::uint32_t done = 0;
    if (file.Seek(static_cast<std::int64_t>(piece.offset), p::SeekOrigin::kBegin, nullptr) != 0 ||
        file.Write(piece.bytes.data(), static_cast<std::uint32_t>(piece.bytes.size()), &done) != 0 ||
        done != piece.bytes.size()) {
      file.Close();
      std::error_code ignored;
      std::filesystem::remove(path, ignored);
      return Fail(error, "cannot write the package file");
    }
  }
  if (file.Close() != 0) return Fail(error, "cannot write the package file");
  if (layout != nullptr) *layout = plan.layout;
  return true;
}

EntrySpec FileEntry(std::string name, std::string data) {
  EntrySpec e;
  e.name = std::move(name);
  e.data = std::move(data);
  return e;
}

EntrySpec DirectoryEntry(std::string name) {
  EntrySpec e;
  e.name = std::move(name);
  e.directory = true;
  return e;
}

std::vector<EntrySpec> ContentEntries(std::vector<EntrySpec> entries) {
  std::vector<EntrySpec> all;
  EntrySpec usrdir;
  usrdir.name = "USRDIR";
  usrdir.directory = true;
  usrdir.delivered = false;
  all.push_back(usrdir);
  usrdir.name = "USRDIR/CONTENT";
  all.push_back(usrdir);
  for (EntrySpec& e : entries) {
    e.name = "USRDIR/CONTENT/" + e.name;
    all.push_back(std::move(e));
  }
  return all;
}

void PutBe32(std::string* bytes, std::size_t offset, std::uint32_t value) {
  StoreBe32(reinterpret_cast<std::uint8_t*>(bytes->data()) + offset, value);
}

void PutBe64(std::string* bytes, std::size_t offset, std::uint64_t value) {
  StoreBe64(reinterpret_cast<std::uint8_t*>(bytes->data()) + offset, value);
}

}  // namespace orb::package_builder
