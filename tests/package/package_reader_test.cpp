#include "package/package_reader.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "package/big_endian.h"
#include "package/package_format.h"
#include "package_builder/package_builder.h"
#include "platform/codepage.h"
#include "support/temp_dir.h"

namespace {

namespace pb = orb::package_builder;
using pb::FileEntry;
namespace fmt = orb::package_format;
namespace mh = fmt::main_header;
namespace eh = fmt::extended_header;
using orb::PackageFailure;

constexpr std::uint64_t k4GiB = std::uint64_t{1} << 32;

std::string Pattern(std::size_t size, unsigned seed) {
  std::string out(size, '\0');
  for (std::size_t i = 0; i < size; ++i) out[i] = static_cast<char>((i * 131 + seed * 17 + (i >> 8)) & 0xFF);
  return out;
}

// USRDIR and USRDIR/CONTENT (not delivered), a delivered directory, two
// delivered files (one larger than a read of the installer) and a file
// that is not delivered.
pb::PackageSpec Sample(bool digest) {
  pb::PackageSpec spec;
  spec.withDigest = digest;
  spec.installSize = 123456;  // what the item says; Open counts for itself
  pb::EntrySpec hidden = FileEntry("secret.bin", "not for the handheld");
  hidden.delivered = false;
  spec.entries = pb::ContentEntries({pb::DirectoryEntry("data"), FileEntry("data/a.bin", Pattern(40, 1)), hidden,
                                     FileEntry("data/big.bin", Pattern(70000, 2))});
  return spec;
}

std::string Build(const pb::PackageSpec& spec, pb::PackageLayout* layout = nullptr) {
  std::string bytes;
  std::string error;
  EXPECT_TRUE(pb::BuildPackage(spec, &bytes, layout, &error)) << error;
  return bytes;
}

fmt::MainHeader Main(const std::string& bytes) {
  return fmt::LoadMainHeader(reinterpret_cast<const std::uint8_t*>(bytes.data()));
}

HRESULT Parse(PackageReader& reader, const std::string& bytes, PackageInfo* info) {
  return reader.ParseHead(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(), info);
}

struct Walked {
  HRESULT kind;
  std::string name;
  std::uint64_t size;
  std::string data;
  bool operator==(const Walked& o) const {
    return kind == o.kind && name == o.name && size == o.size && data == o.data;
  }
};

std::ostream& operator<<(std::ostream& out, const Walked& w) {
  return out << "{" << w.kind << ", \"" << w.name << "\", " << w.size << ", " << w.data.size() << " bytes}";
}

// The installer's way through a package; answers the status that ended it.
HRESULT Walk(PackageReader& reader, std::vector<Walked>* walked) {
  std::vector<char> buffer(65536);
  for (;;) {
    char name[PackageReader::kNameBufferSize];
    std::uint64_t size = 0;
    const HRESULT kind = reader.NextEntry(&size, name);
    if (kind != ORB_S_PKG_FILE && kind != ORB_S_PKG_DIRECTORY) return kind;
    Walked w{kind, name, size, {}};
    if (kind == ORB_S_PKG_FILE) {
      for (std::uint64_t left = size; left > 0;) {
        std::uint32_t got = 0;
        const HRESULT hr = reader.ReadData(buffer.data(), static_cast<std::uint32_t>(buffer.size()), &got);
        if (FAILED(hr)) return hr;
        if (got == 0) return E_FAIL;
        w.data.append(buffer.data(), got);
        left -= got;
      }
    }
    walked->push_back(w);
  }
}

class PackageReaderTest : public ::testing::Test {
 protected:
  // The path as the installer passes it: in the system's narrow code page.
  std::string Save(const std::string& bytes, const std::string& name = "package.pkg") {
    return Ansi(dir_.Write(name, bytes));
  }
  static std::string Ansi(const std::filesystem::path& path) {
    std::string narrow;
    EXPECT_EQ(orb::platform::WideToAnsi(path.wstring(), &narrow), S_OK);
    return narrow;
  }
  HRESULT OpenBytes(const std::string& bytes, PackageInfo* info) { return reader_.Open(Save(bytes).c_str(), info); }

  orb::test::TempDir dir_;
  PackageReader reader_;
};

TEST_F(PackageReaderTest, OpensAndWalksTheDeliveredEntries) {
  for (bool digest : {false, true}) {
    SCOPED_TRACE(digest ? "with a data digest" : "without a data digest");
    const pb::PackageSpec spec = Sample(digest);
    pb::PackageLayout layout;
    const std::string bytes = Build(spec, &layout);
    // Names and data are stored enciphered.
    EXPECT_EQ(bytes.find("data/a.bin"), std::string::npos);

    // The head alone gives the headers' own counts.
    PackageInfo head;
    ASSERT_EQ(Parse(reader_, bytes.substr(0, 32768), &head), S_OK);
    EXPECT_EQ(head.entryCount, 6u);
    EXPECT_EQ(head.installSize, 123456u);

    PackageInfo info;
    ASSERT_EQ(OpenBytes(bytes, &info), S_OK);
    EXPECT_EQ(info.contentType, 4u);
    EXPECT_EQ(info.distributionType, 2u);
    EXPECT_EQ(info.packageFlags, 12u);
    EXPECT_EQ(info.entryCount, 3u);  // the directory and two files
    EXPECT_EQ(info.installSize, 70040u);
    EXPECT_EQ(info.dataOffset, layout.dataOffset);
    EXPECT_EQ(info.TitleIdText(), "ABCD12345");
    EXPECT_EQ(info.ContentIdText(), spec.contentId);
    std::uint8_t zero[20] = {};
    const void* wantDigest = digest ? static_cast<const void*>(bytes.data() + layout.digestOffset) : zero;
    EXPECT_EQ(std::memcmp(info.dataDigest, wantDigest, 20), 0);
    EXPECT_EQ(std::memcmp(head.dataDigest, info.dataDigest, 20), 0);

    std::vector<Walked> walked;
    EXPECT_EQ(Walk(reader_, &walked), S_OK);
    const std::vector<Walked> want = {
        {ORB_S_PKG_DIRECTORY, "data", 0, ""},
        {ORB_S_PKG_FILE, "data/a.bin", 40, Pattern(40, 1)},
        {ORB_S_PKG_FILE, "data/big.bin", 70000, Pattern(70000, 2)},
    };
    EXPECT_EQ(walked, want);
    // The last answer closed the file.
    EXPECT_FALSE(reader_.IsOpen());
    std::uint64_t size = 0;
    char name[PackageReader::kNameBufferSize];
    EXPECT_EQ(reader_.NextEntry(&size, name), ORB_E_PKG_IO);
    EXPECT_EQ(reader_.LastFailure(), PackageFailure::kNotOpen);
  }
}

struct HeaderCase {
  const char* what;
  bool digest;
  std::function<void(std::string&, const pb::PackageLayout&)> patch;
  PackageFailure parse;
  PackageFailure open;
};

void Set32(std::string& b, std::size_t at, std::uint32_t v) { pb::PutBe32(&b, at, v); }
void Set64(std::string& b, std::size_t at, std::uint64_t v) { pb::PutBe64(&b, at, v); }
void SetExt32(std::string& b, std::size_t at, std::uint32_t v) { pb::PutBe32(&b, fmt::kExtendedHeaderOffset + at, v); }
void SetExt64(std::string& b, std::size_t at, std::uint64_t v) { pb::PutBe64(&b, fmt::kExtendedHeaderOffset + at, v); }
std::uint64_t MetadataEnd(const std::string& b) {
  const fmt::MainHeader m = Main(b);
  return std::uint64_t{m.metadataOffset} + m.metadataSize;
}

// One header field broken per row; each rule fails with its own number and
// in the order of the checks.
TEST_F(PackageReaderTest, HeaderRulesFailWithTheirNumbers) {
  using F = PackageFailure;
  const F ok = F::kNone;
  const HeaderCase cases[] = {
      {"magic", false, [](std::string& b, auto&) { Set32(b, mh::kMagic, 0x7F504B48); }, F::kMainHeader,
       F::kMainHeader},
      {"package type 0", false, [](std::string& b, auto&) { Set32(b, mh::kTypeWord, 0x80000000u); },
       F::kMainHeader, F::kMainHeader},
      {"package type 3", false, [](std::string& b, auto&) { Set32(b, mh::kTypeWord, 0x80000003u); },
       F::kMainHeader, F::kMainHeader},
      {"bits 30 and 31 both set", false, [](std::string& b, auto&) { Set32(b, mh::kTypeWord, 0xC0000001u); },
       F::kMainHeader, F::kMainHeader},
      {"metadata offset 191", false, [](std::string& b, auto&) { Set32(b, mh::kMetadataOffset, 191); },
       F::kMainHeader, F::kMainHeader},
      {"metadata size 63", false, [](std::string& b, auto&) { Set32(b, mh::kMetadataSize, 63); }, F::kMainHeader,
       F::kMainHeader},
      {"metadata size 32768 + 65, before the extended header is looked at", false,
       [](std::string& b, auto&) {
         Set32(b, mh::kMetadataSize, 32768 + 65);
         SetExt32(b, eh::kMagic, 0);
       },
       F::kMainHeader, F::kMainHeader},
      {"more items than the metadata hold", false,
       [](std::string& b, auto&) { Set32(b, mh::kMetadataCount, (Main(b).metadataSize - 64) / 8 + 1); },
       F::kMainHeader, F::kMainHeader},
      {"type 1, data right after the metadata, total short of data end + 96", false,
       [](std::string& b, auto&) {
         Set64(b, mh::kDataOffset, MetadataEnd(b));
         Set64(b, mh::kTotalSize, MetadataEnd(b) + Main(b).dataSize + 95);
       },
       F::kMainHeader, F::kMainHeader},
      {"type 1, data right after the metadata", false,
       [](std::string& b, auto&) { Set64(b, mh::kDataOffset, MetadataEnd(b)); }, F::kType1Layout,
       F::kType1Layout},
      {"bit 31 clear", false, [](std::string& b, auto&) { Set32(b, mh::kTypeWord, 1); }, F::kNotFinalized,
       F::kNotFinalized},
      {"type 1, metadata running into the data", false,
       [](std::string& b, auto&) { Set64(b, mh::kDataOffset, MetadataEnd(b) - 16); }, F::kType1Layout,
       F::kType1Layout},
      // The format compares as signed 32-bit numbers: kept as it is.
      {"type 1, data offset 2^31", false, [](std::string& b, auto&) { Set64(b, mh::kDataOffset, 0x80000000u); },
       F::kType1Layout, F::kType1Layout},
      {"type 1, data offset 2^32: the head passes, the file is too short", false,
       [](std::string& b, auto&) { Set64(b, mh::kDataOffset, k4GiB); }, ok, F::kRead},
      {"type 2 has no type-1 rule", false,
       [](std::string& b, auto&) {
         Set32(b, mh::kTypeWord, 0x80000002u);
         Set64(b, mh::kDataOffset, MetadataEnd(b));
       },
       F::kExtendedHeader, F::kExtendedHeader},
      {"extended magic", false, [](std::string& b, auto&) { SetExt32(b, eh::kMagic, 0x7F657875); },
       F::kExtendedHeader, F::kExtendedHeader},
      {"extension size 32769", false, [](std::string& b, auto&) { SetExt32(b, eh::kExtensionSize, 32769); },
       F::kExtendedHeader, F::kExtendedHeader},
      {"region size 383", false, [](std::string& b, auto&) { SetExt32(b, eh::kRegionSize, 383); },
       F::kExtendedHeader, F::kExtendedHeader},
      {"region size 32769", false, [](std::string& b, auto&) { SetExt32(b, eh::kRegionSize, 32769); },
       F::kExtendedHeader, F::kExtendedHeader},
      {"head region end not extension size + 192", false,
       [](std::string& b, auto&) { SetExt32(b, eh::kHeadRegionEnd, 257); }, F::kExtendedHeader,
       F::kExtendedHeader},
      {"head region reaching the metadata", false,
       [](std::string& b, auto&) { SetExt32(b, eh::kRegionSize, Main(b).metadataOffset - 256 + 16); },
       F::kExtendedHeader, F::kExtendedHeader},
      {"metadata region end not metadata offset + size", false,
       [](std::string& b, auto&) {
         SetExt32(b, eh::kMetadataRegionEnd, static_cast<std::uint32_t>(MetadataEnd(b) + 16));
       },
       F::kExtendedHeader, F::kExtendedHeader},
      {"metadata region reaching the data", false,
       [](std::string& b, auto&) { Set64(b, mh::kDataOffset, MetadataEnd(b) + 384 - 16); }, F::kExtendedHeader,
       F::kExtendedHeader},
      // 0xFFFFFF00 + 0x200 wraps round to 0x100 in 32 bits: the metadata
      // would be read 4 GiB beyond the head.
      {"metadata offset + size wrapping round 2^32", false,
       [](std::string& b, auto&) {
         Set32(b, mh::kMetadataOffset, 0xFFFFFF00u);
         Set32(b, mh::kMetadataSize, 0x200);
         SetExt32(b, eh::kMetadataRegionEnd, 0x100);
       },
       F::kExtendedHeader, F::kExtendedHeader},
      {"no digest: total below trailer + region + 32", false,
       [](std::string& b, auto&) { Set64(b, mh::kTotalSize, Main(b).totalSize - 1); }, F::kExtendedHeader,
       F::kExtendedHeader},
      {"digest: total not data end", true,
       [](std::string& b, auto&) { Set64(b, mh::kTotalSize, Main(b).totalSize + 1); }, F::kExtendedHeader,
       F::kExtendedHeader},
      {"digest: data offset below the trailer offset", true,
       [](std::string& b, auto&) { SetExt64(b, eh::kTrailerOffset, Main(b).dataOffset + 16); },
       F::kExtendedHeader, F::kExtendedHeader},
      {"digest: data offset below the digest offset", true,
       [](std::string& b, auto&) {
         SetExt32(b, eh::kDigestOffset, static_cast<std::uint32_t>(Main(b).dataOffset + 16));
       },
       F::kExtendedHeader, F::kExtendedHeader},
      // The digest is copied out of the head; its 20 bytes must all be there.
      {"digest: digest running past the head", true,
       [](std::string& b, auto&) {
         const std::uint64_t size = Main(b).dataSize;
         Set64(b, mh::kDataOffset, 0x10000);
         Set64(b, mh::kTotalSize, 0x10000 + size);
         SetExt32(b, eh::kDigestOffset, 32768 - 19);
       },
       F::kExtendedHeader, F::kExtendedHeader},
      {"digest: digest ending with the head", true,
       [](std::string& b, auto&) {
         const std::uint64_t size = Main(b).dataSize;
         Set64(b, mh::kDataOffset, 0x10000);
         Set64(b, mh::kTotalSize, 0x10000 + size);
         SetExt32(b, eh::kDigestOffset, 32768 - 20);
       },
       ok, F::kRead},
      {"extension type 2", false, [](std::string& b, auto&) { SetExt32(b, eh::kExtensionType, 2); },
       F::kExtensionType, F::kExtensionType},
      {"extension type 9 has bits 0 to 2 equal to 1", false,
       [](std::string& b, auto&) { SetExt32(b, eh::kExtensionType, 9); }, ok, ok},
      {"head region + region beyond the head", false,
       [](std::string& b, auto&) {
         const fmt::MainHeader m = Main(b);
         const std::uint32_t region = 32600;
         const std::uint32_t metadataOffset = 256 + region;
         const std::uint64_t dataOffset = std::uint64_t{metadataOffset} + m.metadataSize + region;
         SetExt32(b, eh::kRegionSize, region);
         Set32(b, mh::kMetadataOffset, metadataOffset);
         SetExt32(b, eh::kMetadataRegionEnd, metadataOffset + m.metadataSize);
         Set64(b, mh::kDataOffset, dataOffset);
         SetExt64(b, eh::kTrailerOffset, dataOffset + m.dataSize);
         Set64(b, mh::kTotalSize, dataOffset + m.dataSize + region + 32);
       },
       F::kHeadRegion, F::kHeadRegion},
      {"metadata region + region beyond the head", false,
       [](std::string& b, auto&) {
         const fmt::MainHeader m = Main(b);
         Set32(b, mh::kMetadataOffset, 32500);
         SetExt32(b, eh::kMetadataRegionEnd, 32500 + m.metadataSize);
         Set64(b, mh::kDataOffset, 32500 + m.metadataSize + 384);
       },
       F::kMetadataRegion, F::kMetadataRegion},
  };
  for (const HeaderCase& c : cases) {
    SCOPED_TRACE(c.what);
    pb::PackageLayout layout;
    std::string bytes = Build(Sample(c.digest), &layout);
    c.patch(bytes, layout);
    PackageInfo info;
    EXPECT_EQ(Parse(reader_, bytes, &info), orb::StatusFromPackageFailure(c.parse));
    EXPECT_EQ(reader_.LastFailure(), c.parse);
    EXPECT_EQ(OpenBytes(bytes, &info), orb::StatusFromPackageFailure(c.open));
    EXPECT_EQ(reader_.LastFailure(), c.open);
    if (c.open != ok) {
      EXPECT_FALSE(reader_.IsOpen());
      EXPECT_EQ(info.contentType, 0u);  // no half-filled summary
    }
    reader_.Close();
  }
}

TEST_F(PackageReaderTest, ShortMissingAndTruncatedFiles) {
  const std::string bytes = Build(Sample(false));
  for (std::size_t size : {0, 1, 100, 127, 128, 200, 255}) {
    SCOPED_TRACE(size);
    PackageInfo info;
    EXPECT_EQ(OpenBytes(bytes.substr(0, size), &info), ORB_E_PKG_HEADER);
    EXPECT_EQ(Parse(reader_, bytes.substr(0, size), &info), ORB_E_PKG_HEADER);
  }
  // Both headers whole: the head reads, the file is short of its data.
  PackageInfo info;
  EXPECT_EQ(Parse(reader_, bytes.substr(0, 256), &info), S_OK);
  EXPECT_EQ(OpenBytes(bytes.substr(0, 256), &info), ORB_E_PKG_IO);
  EXPECT_EQ(reader_.Open((Ansi(dir_.path() / "missing.pkg")).c_str(), &info), ORB_E_PKG_IO);
  EXPECT_EQ(reader_.LastFailure(), PackageFailure::kNotOpen);
  EXPECT_EQ(reader_.Open("", &info), ORB_E_PKG_IO);
  EXPECT_EQ(reader_.Open(Ansi(dir_.path()).c_str(), &info), ORB_E_PKG_IO);  // a folder

  // A download cut short is refused at once, not at the entry that first
  // reaches past the end.
  const fmt::MainHeader m = Main(bytes);
  EXPECT_EQ(OpenBytes(bytes.substr(0, static_cast<std::size_t>(m.dataOffset + m.dataSize - 1)), &info),
            ORB_E_PKG_IO);
  EXPECT_EQ(reader_.LastFailure(), PackageFailure::kRead);
  EXPECT_FALSE(reader_.IsOpen());
}

TEST_F(PackageReaderTest, DataDigestMismatch) {
  pb::PackageLayout layout;
  std::string bytes = Build(Sample(true), &layout);
  PackageInfo info;
  bytes[static_cast<std::size_t>(layout.dataOffset + layout.dataSize - 1)] ^= 1;
  EXPECT_EQ(OpenBytes(bytes, &info), ORB_E_PKG_DIGEST);
  EXPECT_EQ(reader_.LastFailure(), PackageFailure::kDigest);
  EXPECT_FALSE(reader_.IsOpen());

  // Bytes outside the data area are not covered.
  bytes = Build(Sample(true), &layout);
  bytes[static_cast<std::size_t>(layout.dataOffset - 1)] ^= 1;
  EXPECT_EQ(OpenBytes(bytes, &info), S_OK);
}

// An id the reader does not know is skipped by its size; the item after it
// is read as usual.
TEST_F(PackageReaderTest, UnknownParamIdsAreSkipped) {
  pb::PackageSpec spec = Sample(false);
  spec.standardParams = false;
  spec.extraParams = {{13, "skip me", {}}, {2, std::string("\0\0\0\x11", 4), {}}, {6, "TITLE0000001", {}}};
  PackageInfo info;
  ASSERT_EQ(OpenBytes(Build(spec), &info), S_OK);
  EXPECT_EQ(info.contentType, 17u);
  EXPECT_EQ(info.distributionType, 2u);  // absent: the default
  EXPECT_EQ(info.TitleIdText(), "TITLE0000001");  // all 12 bytes, no terminator
}

TEST_F(PackageReaderTest, PackagesWithNothingToInstall) {
  pb::EntrySpec hidden = FileEntry("a.bin", "abc");
  hidden.delivered = false;
  pb::EntrySpec wrongClass = FileEntry("b.bin", "abc");
  wrongClass.flags = 0x20000200u | fmt::kKindFile;
  const struct {
    const char* what;
    std::vector<pb::EntrySpec> entries;
  } cases[] = {
      {"no entries", {}},
      {"only entries that are not delivered", {hidden}},
      {"only directories", {pb::DirectoryEntry("d"), pb::DirectoryEntry("d/e")}},
      {"only empty files", {FileEntry("a.bin", ""), pb::DirectoryEntry("d")}},
      {"a delivered file of another class is not counted", {wrongClass}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    pb::PackageSpec spec;
    spec.entries = pb::ContentEntries(c.entries);
    PackageInfo info;
    EXPECT_EQ(OpenBytes(Build(spec), &info), ORB_E_PKG_CONTENT);
    EXPECT_EQ(reader_.LastFailure(), PackageFailure::kNoContent);
    EXPECT_FALSE(reader_.IsOpen());
  }
}

// Names as the installer gets them, and the names it must never get: the
// installer appends them to its folder as they stand.
TEST_F(PackageReaderTest, EntryNames) {
  const struct {
    const char* prefix;
    std::string stored;
    bool directory;
    const char* want;  // null: refused
    PackageFailure failure;
  } cases[] = {
      {"USRDIR/CONTENT/", "USRDIR/CONTENT/data/a.bin", false, "data/a.bin", PackageFailure::kNone},
      {"", "USRDIR/CONTENT/data/a.bin", false, "USRDIR/CONTENT/data/a.bin", PackageFailure::kNone},
      {"", "theme.thm", false, "theme.thm", PackageFailure::kNone},
      {"USRDIR/CONTENT/", "USRDIR/CONTENT/a..b/.hidden", false, "a..b/.hidden", PackageFailure::kNone},
      {"USRDIR/CONTENT/", "USRDIR/CONTENT/dir/", true, "dir/", PackageFailure::kNone},
      {"USRDIR/CONTENT/", "USRDIR/CONTENT/", true, "", PackageFailure::kNone},
      {"USRDIR/CONTENT/", "USRDIR/CONTENT/", false, nullptr, PackageFailure::kUnsafeName},
      {"USRDIR/CONTENT/", "USRDIR/OTHER/a.bin", false, nullptr, PackageFailure::kNamePrefix},
      {"USRDIR/CONTENT/", "USRDIR/CONTENT", true, nullptr, PackageFailure::kNamePrefix},
      {"USRDIR/CONTENT/", "usrdir/content/a.bin", false, nullptr, PackageFailure::kNamePrefix},
      {"USRDIR/CONTENT/", "USRDIR/CONTENT/../a.bin", false, nullptr, PackageFailure::kUnsafeName},
      {"USRDIR/CONTENT/", "USRDIR/CONTENT/data/../../a.bin", false, nullptr, PackageFailure::kUnsafeName},
      {"USRDIR/CONTENT/", "USRDIR/CONTENT/..", true, nullptr, PackageFailure::kUnsafeName},
      {"USRDIR/CONTENT/", "USRDIR/CONTENT/data/..", true, nullptr, PackageFailure::kUnsafeName},
      {"USRDIR/CONTENT/", "USRDIR/CONTENT//etc/passwd", false, nullptr, PackageFailure::kUnsafeName},
      {"USRDIR/CONTENT/", "USRDIR/CONTENT/\\Windows\\a.dll", false, nullptr, PackageFailure::kUnsafeName},
      {"USRDIR/CONTENT/", "USRDIR/CONTENT/data\\..\\..\\a.bin", false, nullptr, PackageFailure::kUnsafeName},
      {"USRDIR/CONTENT/", "USRDIR/CONTENT/a/./b", false, nullptr, PackageFailure::kUnsafeName},
      {"USRDIR/CONTENT/", "USRDIR/CONTENT/a//b", false, nullptr, PackageFailure::kUnsafeName},
      {"USRDIR/CONTENT/", "USRDIR/CONTENT/.../a.bin", false, nullptr, PackageFailure::kUnsafeName},
      {"USRDIR/CONTENT/", "USRDIR/CONTENT/.. /a.bin", false, nullptr, PackageFailure::kUnsafeName},
      {"USRDIR/CONTENT/", std::string("USRDIR/CONTENT/a\0/../../b", 25), false, nullptr,
       PackageFailure::kUnsafeName},
      // Windows devices, whatever the extension or case.
      {"USRDIR/CONTENT/", "USRDIR/CONTENT/data/com1.bin", false, nullptr, PackageFailure::kUnsafeName},
      {"USRDIR/CONTENT/", "USRDIR/CONTENT/Nul", false, nullptr, PackageFailure::kUnsafeName},
      {"USRDIR/CONTENT/", "USRDIR/CONTENT/aux /x", false, nullptr, PackageFailure::kUnsafeName},
      {"USRDIR/CONTENT/", "USRDIR/CONTENT/console/com10.lpt", false, "console/com10.lpt",
       PackageFailure::kNone},
      {"", "/etc/passwd", false, nullptr, PackageFailure::kUnsafeName},
      {"", "\\a.bin", false, nullptr, PackageFailure::kUnsafeName},
      {"", "../a.bin", false, nullptr, PackageFailure::kUnsafeName},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.stored);
    pb::PackageSpec spec;
    pb::EntrySpec entry = c.directory ? pb::DirectoryEntry(c.stored) : FileEntry(c.stored, "x");
    spec.entries = {entry, FileEntry("USRDIR/CONTENT/filler.bin", "filler")};
    reader_.SetEntryPrefix(c.prefix);
    PackageInfo info;
    ASSERT_EQ(OpenBytes(Build(spec), &info), S_OK);
    std::uint64_t size = 0;
    char name[PackageReader::kNameBufferSize];
    const HRESULT hr = reader_.NextEntry(&size, name);
    if (c.want != nullptr) {
      EXPECT_EQ(hr, c.directory ? ORB_S_PKG_DIRECTORY : ORB_S_PKG_FILE);
      EXPECT_STREQ(name, c.want);
      EXPECT_TRUE(reader_.IsOpen());
    } else {
      EXPECT_EQ(hr, orb::StatusFromPackageFailure(c.failure));
      EXPECT_EQ(reader_.LastFailure(), c.failure);
      EXPECT_STREQ(name, "");
      EXPECT_FALSE(reader_.IsOpen());
    }
    reader_.Close();
  }
  EXPECT_EQ(reader_.EntryPrefix(), "");
}

TEST_F(PackageReaderTest, BrokenEntries) {
  pb::EntrySpec otherClass = FileEntry("USRDIR/CONTENT/b.bin", "abc");
  otherClass.flags = 0x30000200u | fmt::kKindFile;
  pb::EntrySpec longName = FileEntry("USRDIR/CONTENT/" + std::string(241, 'n'), "abc");
  pb::EntrySpec longest = FileEntry("USRDIR/CONTENT/" + std::string(240, 'n'), "abc");
  pb::EntrySpec dataBeyond = FileEntry("USRDIR/CONTENT/c.bin", "abc");
  dataBeyond.dataSize = 1u << 20;
  pb::EntrySpec nameBeyond = FileEntry("USRDIR/CONTENT/d.bin", "abc");
  nameBeyond.nameOffset = 1u << 20;
  pb::EntrySpec hiddenBeyond = FileEntry("USRDIR/CONTENT/e.bin", "abc");
  hiddenBeyond.delivered = false;
  hiddenBeyond.dataSize = 1u << 20;
  const struct {
    const char* what;
    pb::EntrySpec entry;
    PackageFailure open;
    PackageFailure next;  // at the second NextEntry
  } cases[] = {
      {"a delivered entry of another class", otherClass, PackageFailure::kNone, PackageFailure::kEntryClass},
      {"a name of 256 bytes", longName, PackageFailure::kNone, PackageFailure::kNameSize},
      {"a name of 255 bytes", longest, PackageFailure::kNone, PackageFailure::kNone},
      {"data beyond the data area", dataBeyond, PackageFailure::kOutsideData, PackageFailure::kNone},
      {"a name beyond the data area", nameBeyond, PackageFailure::kOutsideData, PackageFailure::kNone},
      {"an entry that is not delivered is not looked at", hiddenBeyond, PackageFailure::kNone,
       PackageFailure::kNone},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    pb::PackageSpec spec;
    spec.entries = {FileEntry("USRDIR/CONTENT/a.bin", "first"), c.entry};
    PackageInfo info;
    ASSERT_EQ(OpenBytes(Build(spec), &info), orb::StatusFromPackageFailure(c.open));
    EXPECT_EQ(reader_.LastFailure(), c.open);
    if (c.open != PackageFailure::kNone) continue;
    std::vector<Walked> walked;
    const HRESULT end = Walk(reader_, &walked);
    EXPECT_EQ(end, orb::StatusFromPackageFailure(c.next));
    EXPECT_EQ(reader_.LastFailure(), c.next);
    ASSERT_GE(walked.size(), 1u);
    EXPECT_EQ(walked[0].data, "first");
    EXPECT_FALSE(reader_.IsOpen());
  }

  // An entry table longer than the data area.
  std::string bytes = Build(Sample(false));
  Set32(bytes, mh::kEntryCount, 1000000);
  PackageInfo info;
  EXPECT_EQ(OpenBytes(bytes, &info), ORB_E_PKG_ENTRY);
  EXPECT_EQ(reader_.LastFailure(), PackageFailure::kOutsideData);
}

TEST_F(PackageReaderTest, CallsOutOfOrder) {
  char buffer[65536];
  std::uint32_t got = 7;
  std::uint64_t size = 0;
  char name[PackageReader::kNameBufferSize];

  // Nothing open yet.
  EXPECT_EQ(reader_.NextEntry(&size, name), ORB_E_PKG_IO);
  EXPECT_EQ(reader_.LastFailure(), PackageFailure::kNotOpen);
  EXPECT_EQ(reader_.ReadData(buffer, 16, &got), ORB_E_PKG_IO);
  EXPECT_EQ(reader_.LastFailure(), PackageFailure::kEntryState);
  EXPECT_EQ(got, 0u);

  PackageInfo info;
  const std::string bytes = Build(Sample(false));
  ASSERT_EQ(OpenBytes(bytes, &info), S_OK);
  EXPECT_EQ(reader_.ReadData(buffer, 16, &got), ORB_E_PKG_IO);  // no entry yet
  EXPECT_EQ(reader_.LastFailure(), PackageFailure::kEntryState);
  EXPECT_FALSE(reader_.IsOpen());  // every failure closes

  ASSERT_EQ(OpenBytes(bytes, &info), S_OK);
  ASSERT_EQ(reader_.NextEntry(&size, name), ORB_S_PKG_DIRECTORY);
  ASSERT_EQ(reader_.NextEntry(&size, name), ORB_S_PKG_FILE);
  ASSERT_EQ(size, 40u);
  EXPECT_EQ(reader_.ReadData(buffer, 17, &got), ORB_E_PKG_READ_SIZE);
  EXPECT_EQ(reader_.LastFailure(), PackageFailure::kReadSize);
  EXPECT_FALSE(reader_.IsOpen());

  ASSERT_EQ(OpenBytes(bytes, &info), S_OK);
  ASSERT_EQ(reader_.NextEntry(&size, name), ORB_S_PKG_DIRECTORY);
  ASSERT_EQ(reader_.NextEntry(&size, name), ORB_S_PKG_FILE);
  ASSERT_EQ(reader_.ReadData(buffer, 16, &got), S_OK);
  EXPECT_EQ(got, 16u);
  EXPECT_EQ(std::string(buffer, 16), Pattern(40, 1).substr(0, 16));
  EXPECT_EQ(reader_.NextEntry(&size, name), ORB_E_PKG_IO);  // 24 bytes still unread
  EXPECT_EQ(reader_.LastFailure(), PackageFailure::kEntryState);
  EXPECT_FALSE(reader_.IsOpen());

  // The whole remainder in one large read, then nothing is left.
  ASSERT_EQ(OpenBytes(bytes, &info), S_OK);
  ASSERT_EQ(reader_.NextEntry(&size, name), ORB_S_PKG_DIRECTORY);
  ASSERT_EQ(reader_.NextEntry(&size, name), ORB_S_PKG_FILE);
  ASSERT_EQ(reader_.ReadData(buffer, 65536, &got), S_OK);
  EXPECT_EQ(got, 40u);
  EXPECT_EQ(std::string(buffer, 40), Pattern(40, 1));
  EXPECT_EQ(reader_.ReadData(buffer, 65536, &got), ORB_E_PKG_IO);
  EXPECT_EQ(reader_.LastFailure(), PackageFailure::kEntryState);
  EXPECT_EQ(got, 0u);
  EXPECT_FALSE(reader_.IsOpen());
}

// ParseHead of another package, even a broken one, leaves the open walk
// where it was; a second Open replaces the first package.
TEST_F(PackageReaderTest, ParseHeadLeavesAnOpenPackageAlone) {
  PackageInfo info;
  ASSERT_EQ(OpenBytes(Build(Sample(false)), &info), S_OK);
  std::uint64_t size = 0;
  char name[PackageReader::kNameBufferSize];
  ASSERT_EQ(reader_.NextEntry(&size, name), ORB_S_PKG_DIRECTORY);

  std::string other = Build(Sample(true));
  PackageInfo head;
  EXPECT_EQ(Parse(reader_, other, &head), S_OK);
  Set32(other, mh::kMagic, 0);
  EXPECT_EQ(Parse(reader_, other, &head), ORB_E_PKG_HEADER);

  std::vector<Walked> walked;
  EXPECT_EQ(Walk(reader_, &walked), S_OK);
  ASSERT_EQ(walked.size(), 2u);
  EXPECT_EQ(walked[1].data, Pattern(70000, 2));

  pb::PackageSpec second;
  second.entries = pb::ContentEntries({FileEntry("only.bin", "only")});
  ASSERT_EQ(OpenBytes(Build(Sample(false)), &info), S_OK);
  ASSERT_EQ(reader_.NextEntry(&size, name), ORB_S_PKG_DIRECTORY);
  ASSERT_EQ(reader_.Open(Save(Build(second), "second.pkg").c_str(), &info), S_OK);
  walked.clear();
  EXPECT_EQ(Walk(reader_, &walked), S_OK);
  ASSERT_EQ(walked.size(), 1u);
  EXPECT_EQ(walked[0].name, "only.bin");
}

// Data-area positions are 64-bit: an entry placed beyond 4 GiB (in a sparse
// file) is read from there and deciphered with its own counter.
TEST_F(PackageReaderTest, ReadsEntriesBeyond4GiB) {
  pb::EntrySpec distant = FileEntry("far.bin", Pattern(100, 3));
  distant.dataOffset = k4GiB + 0x30;
  pb::PackageSpec spec;
  spec.entries = pb::ContentEntries({FileEntry("near.bin", "near"), distant});
  const auto path = dir_.path() / "far.pkg";
  std::string error;
  if (!pb::WritePackageFile(spec, path, nullptr, &error)) {
    GTEST_SKIP() << "no sparse file of 4 GiB here: " << error;
  }
  PackageInfo info;
  ASSERT_EQ(reader_.Open(Ansi(path).c_str(), &info), S_OK);
  EXPECT_EQ(info.installSize, 104u);
  std::vector<Walked> walked;
  EXPECT_EQ(Walk(reader_, &walked), S_OK);
  ASSERT_EQ(walked.size(), 2u);
  EXPECT_EQ(walked[0].data, "near");
  EXPECT_EQ(walked[1].name, "far.bin");
  EXPECT_EQ(walked[1].data, Pattern(100, 3));
}

}  // namespace
