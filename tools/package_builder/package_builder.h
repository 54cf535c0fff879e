// package_builder.h - writes package files for tests, demos and fuzz
// seeds: both headers, the param items, the entry table, names and data
// enciphered with the program's package key, and a data digest on request.
//
// Describe the package in a PackageSpec and get its bytes or a file. Every
// field the reader checks can be broken: entry fields through the
// overrides of EntrySpec, header fields by patching the bytes afterwards
// (PutBe32/PutBe64 at the offsets of package/package_format.h).
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace orb::package_builder {

struct EntrySpec {
  std::string name;  // as stored, e.g. "USRDIR/CONTENT/data/a.bin"
  std::string data;  // the file's bytes
  bool directory = false;
  bool delivered = true;  // flag 0x200 together with the class bits 0x10000000
  // Written instead of what the builder derives, to make broken entries.
  std::optional<std::uint32_t> flags;
  std::optional<std::uint32_t> nameSize;
  std::optional<std::uint32_t> nameOffset;
  // Data-area position of the data; they are placed there too, so a far
  // position makes a large (sparse) package.
  std::optional<std::uint64_t> dataOffset;
  std::optional<std::uint64_t> dataSize;
};

// A param item written as given after the standard ones.
struct ParamSpec {
  std::uint32_t id = 0;
  std::string value;
  std::optional<std::uint32_t> size;  // the size field; default: the value's size
};

struct PackageSpec {
  std::uint32_t typeWord = 0x80000001u;  // finalised, package type 1
  std::uint32_t contentType = 4;
  std::uint32_t distributionType = 2;
  std::uint32_t packageFlags = 0x0C;
  std::optional<std::uint64_t> installSize;  // default: the sum of the delivered file sizes
  std::string titleId = "ABCD12345";          // empty: the item is left out
  std::string contentId = "KV0000-ABCD12345_00-0000000000000000";
  // Write the items above (ids 1 to 4 and 6); off leaves only extraParams.
  bool standardParams = true;
  std::vector<ParamSpec> extraParams;
  std::vector<EntrySpec> entries;
  bool withDigest = false;
  // Off writes the data area in the clear (seeds for a fuzz target that
  // enciphers its input itself).
  bool encipher = true;
  std::array<std::uint8_t, 16> counterBlock = {0x5E, 0x71, 0x0C, 0x22, 0x9A, 0x48, 0xD3, 0x16,
                                               0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0xF0};
  std::uint32_t regionSize = 384;
};

// Where the builder put things, for tests that break them.
struct PackageLayout {
  std::uint64_t metadataOffset = 0;
  std::uint64_t dataOffset = 0;
  std::uint64_t dataSize = 0;
  std::uint64_t totalSize = 0;
  std::uint32_t digestOffset = 0;  // 0 without a digest
  std::vector<std::uint64_t> namePositions;  // data-area positions, one per entry
  std::vector<std::uint64_t> dataPositions;
};

// The whole package in memory. False, with a reason, when the description cannot
// be built (metadata beyond the head, more than 1 GiB in memory).
bool BuildPackage(const PackageSpec& spec, std::string* bytes, PackageLayout* layout = nullptr,
                  std::string* error = nullptr);

// The package as a file; the gaps between far-apart data are left as holes.
bool WritePackageFile(const PackageSpec& spec, const std::filesystem::path& path, PackageLayout* layout = nullptr,
                      std::string* error = nullptr);

// A delivered file and a delivered directory.
EntrySpec FileEntry(std::string name, std::string data);
EntrySpec DirectoryEntry(std::string name);

// The usual frame of a package: the non-delivered directories of the entry
// prefix ("USRDIR", "USRDIR/CONTENT") followed by the given entries, whose
// names get the prefix "USRDIR/CONTENT/".
std::vector<EntrySpec> ContentEntries(std::vector<EntrySpec> entries);

void PutBe32(std::string* bytes, std::size_t offset, std::uint32_t value);
void PutBe64(std::string* bytes, std::size_t offset, std::uint64_t value);

}  // namespace orb::package_builder
