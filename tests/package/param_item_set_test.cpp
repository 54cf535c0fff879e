#include "package/param_item_set.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "package/big_endian.h"
#include "support/hex.h"

namespace {

using namespace InputOutputInterface::ParamItems;
using orb::test::Hex;

// Encoded items: id, size, value.
struct Items {
  std::vector<std::uint8_t> bytes;
  Items& Add(std::uint32_t id, const std::vector<std::uint8_t>& value, std::uint32_t size) {
    std::uint8_t head[8];
    orb::StoreBe32(head, id);
    orb::StoreBe32(head + 4, size);
    bytes.insert(bytes.end(), head, head + 8);
    bytes.insert(bytes.end(), value.begin(), value.end());
    return *this;
  }
  Items& Add(std::uint32_t id, const std::vector<std::uint8_t>& value) {
    return Add(id, value, static_cast<std::uint32_t>(value.size()));
  }
};

std::vector<std::uint8_t> Be32(std::uint32_t v) {
  std::vector<std::uint8_t> out(4);
  orb::StoreBe32(out.data(), v);
  return out;
}

TEST(ParamItems, DefaultsWidthsAndPresenceAfterReset) {
  const struct {
    std::uint32_t id;
    std::size_t width;
    bool present;
    std::string value;
  } cases[] = {
      {1, 4, true, "00000002"},
      {2, 4, true, "00000004"},
      {3, 4, true, "0000000C"},
      {4, 8, true, "0000000000000000"},
      {5, 4, true, "20080000"},
      {6, 12, false, "000000000000000000000000"},
      {7, 24, true, std::string(48, '0')},
      {8, 8, true, "0000000000000000"},
      {9, 8, true, "0000000000000000"},
      {10, 40, false, std::string(80, '0')},
      {11, 8, false, "0000000000000000"},
  };
  ParamItemSet set;
  ASSERT_EQ(set.Items().size(), std::size(cases));
  for (const auto& c : cases) {
    SCOPED_TRACE(c.id);
    Item* item = set.Find(c.id);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item, set.Items()[c.id - 1]);  // the list is in id order
    EXPECT_EQ(item->Id(), c.id);
    EXPECT_EQ(item->Width(), c.width);
    EXPECT_EQ(item->IsPresent(), c.present);
    EXPECT_EQ(item->EncodedSize(), c.present ? 8 + c.width : 0);
    EXPECT_EQ(Hex(item->Bytes(), item->Width()), c.value);
    EXPECT_TRUE(item->MarkPresent());
    EXPECT_EQ(item->EncodedSize(), 8 + c.width);
    item->MarkAbsent();
    EXPECT_EQ(item->EncodedSize(), 0u);
  }
  EXPECT_EQ(set.Find(0), nullptr);
  EXPECT_EQ(set.Find(12), nullptr);
}

// After parsing, an item is present exactly when the bytes carried it; an
// absent one keeps its default value.
TEST(ParamItems, ParseMarksPresentOnlyWhatTheMetadataCarries) {
  Items items;
  items.Add(2, Be32(9)).Add(6, {'T', 'I', 'T', 'L', 'E', '0', '0', '0', '0', '1', '2', '3'});
  ParamItemSet set;
  set.Parse(items.bytes.data(), items.bytes.size(), 2);
  EXPECT_TRUE(set.Get<ContentType>().IsPresent());
  EXPECT_EQ(set.Get<ContentType>().Number(), 9u);
  EXPECT_TRUE(set.Get<TitleIDInfo>().IsPresent());
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(set.Get<TitleIDInfo>().Bytes()), 12), "TITLE0000123");
  EXPECT_FALSE(set.Get<DistributionType>().IsPresent());
  EXPECT_EQ(set.Get<DistributionType>().Number(), 2u);
  EXPECT_FALSE(set.Get<PackageFlag>().IsPresent());
  EXPECT_EQ(set.Get<PackageFlag>().Number(), 12u);
  EXPECT_EQ(set.PresentCount(), 2u);

  // A second parse starts from scratch.
  set.Parse(items.bytes.data(), items.bytes.size(), 0);
  EXPECT_EQ(set.PresentCount(), 0u);
  EXPECT_EQ(set.Get<ContentType>().Number(), 4u);
}

TEST(ParamItems, ParseSkipsUnknownIdsAndStopsAtTheLimitOrTheCount) {
  const std::vector<std::uint8_t> five = {1, 2, 3, 4, 5};
  const struct {
    const char* what;
    Items items;
    std::size_t trimLimit;  // bytes taken off the end of the usable size
    std::uint32_t count;
    std::uint32_t contentType;
    std::uint64_t installSize;
    std::uint32_t present;
  } cases[] = {
      {"id 13 is skipped by its size", Items().Add(13, five).Add(2, Be32(9)), 0, 2, 9, 0, 1},
      {"id 0 is skipped too", Items().Add(0, {}).Add(2, Be32(9)), 0, 2, 9, 0, 1},
      {"an item past the limit is ignored", Items().Add(2, Be32(9)).Add(4, std::vector<std::uint8_t>(8, 1)), 1, 2, 9,
       0, 1},
      {"an unknown item past the limit ends it", Items().Add(13, five).Add(2, Be32(9)), 13, 2, 4, 0, 0},
      {"a huge unknown size ends it", Items().Add(13, five, 0xFFFFFFFFu).Add(2, Be32(9)), 0, 2, 4, 0, 0},
      {"the count ends it", Items().Add(2, Be32(9)).Add(4, std::vector<std::uint8_t>(8, 1)), 0, 1, 9, 0, 1},
      {"a count beyond the items", Items().Add(2, Be32(9)), 0, 100, 9, 0, 1},
      // A known id is read with its width whatever its size field says, and
      // the next item follows that width.
      {"a known id with a wrong size", Items().Add(2, Be32(9), 100).Add(4, {0, 0, 0, 0, 0, 0, 0, 7}), 0, 2, 9, 7,
       2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ParamItemSet set;
    set.Parse(c.items.bytes.data(), c.items.bytes.size() - c.trimLimit, c.count);
    EXPECT_EQ(set.Get<ContentType>().Number(), c.contentType);
    EXPECT_EQ(set.Get<InstallSize>().Number(), c.installSize);
    EXPECT_EQ(set.PresentCount(), c.present);
  }
}

// Write produces what Parse reads, and the digest it feeds covers exactly
// the written bytes (as Digest alone does).
TEST(ParamItems, WriteRoundTripsAndFeedsTheDigest) {
  ParamItemSet set;
  set.Get<ContentType>().SetNumber(17);
  set.Get<InstallSize>().SetNumber(0x0123456789ULL);
  set.Get<TitleIDInfo>().SetBytes("SAVE00042", 9);
  set.Get<TitleIDInfo>().MarkPresent();
  set.Get<ContentInfo>().MarkAbsent();

  std::vector<std::uint8_t> bytes;
  orb::ByteWriter writer(&bytes);
  orb::platform::Sha1Digest fed;
  ASSERT_EQ(fed.Start(), S_OK);
  const std::size_t written = set.Write(writer, &fed);
  EXPECT_EQ(written, set.EncodedSize());
  ASSERT_EQ(bytes.size(), written);

  orb::platform::Sha1Digest direct;
  orb::platform::Sha1Digest perItem;
  ASSERT_EQ(direct.Start(), S_OK);
  ASSERT_EQ(perItem.Start(), S_OK);
  ASSERT_EQ(direct.Update(bytes.data(), bytes.size()), S_OK);
  for (const Item* item : set.Items()) EXPECT_EQ(item->Digest(perItem), item->EncodedSize());
  std::uint8_t a[20], b[20], c[20];
  ASSERT_EQ(fed.Finish(a), S_OK);
  ASSERT_EQ(direct.Finish(b), S_OK);
  ASSERT_EQ(perItem.Finish(c), S_OK);
  EXPECT_EQ(Hex(a, 20), Hex(b, 20));
  EXPECT_EQ(Hex(c, 20), Hex(b, 20));

  std::vector<std::uint8_t> value;
  orb::ByteWriter valueWriter(&value);
  EXPECT_EQ(set.Get<ContentType>().WriteValue(valueWriter), 4u);
  EXPECT_EQ(Hex(value.data(), value.size()), "00000011");
  EXPECT_EQ(set.Get<ContentInfo>().WriteValue(valueWriter), 0u);  // absent

  ParamItemSet read;
  read.Parse(bytes.data(), bytes.size(), set.PresentCount());
  for (std::size_t i = 0; i < ParamItemSet::kItemCount; ++i) {
    SCOPED_TRACE(i + 1);
    EXPECT_EQ(read.Items()[i]->IsPresent(), set.Items()[i]->IsPresent());
    EXPECT_EQ(Hex(read.Items()[i]->Bytes(), read.Items()[i]->Width()),
              Hex(set.Items()[i]->Bytes(), set.Items()[i]->Width()));
  }
}

}  // namespace
