#include "package/package_cipher.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "package/package_key.h"
#include "platform/crypto.h"
#include "support/hex.h"

namespace {

using orb::PackageCipher;
using orb::test::Hex;

constexpr std::uint64_t k4GiB = std::uint64_t{1} << 32;

// The counter rule: last 8 bytes big-endian plus position / 16, modulo
// 2^64; the first 8 bytes never change.
TEST(PackageCipher, CounterBlockAddsTheBlockIndexToTheLastEightBytes) {
  const struct {
    const char* initial;
    std::uint64_t position;
    const char* want;
  } cases[] = {
      {"0102030405060708" "0000000000000000", 0, "0102030405060708" "0000000000000000"},
      {"0102030405060708" "0000000000000000", 16, "0102030405060708" "0000000000000001"},
      {"0102030405060708" "0000000000000000", 31, "0102030405060708" "0000000000000001"},
      {"0102030405060708" "00000000000000FF", 16, "0102030405060708" "0000000000000100"},
      {"0102030405060708" "00000000FFFFFFFF", 16, "0102030405060708" "0000000100000000"},
      // Wraps round without touching the first half.
      {"01020304050607FF" "FFFFFFFFFFFFFFFF", 16, "01020304050607FF" "0000000000000000"},
      {"AAAAAAAAAAAAAAAA" "FFFFFFFFFFFFFFF0", 32 * 16, "AAAAAAAAAAAAAAAA" "0000000000000010"},
      // Positions from 4 GiB on.
      {"0102030405060708" "0000000000000000", k4GiB, "0102030405060708" "0000000010000000"},
      {"0102030405060708" "FFFFFFFFF0000000", k4GiB + 5 * 16, "0102030405060708" "0000000000000005"},
      {"0102030405060708" "0000000000000001", 0xFFFFFFFFFFFFFFF0u, "0102030405060708" "1000000000000000"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.initial) + " @ " + std::to_string(c.position));
    const std::vector<std::uint8_t> initial = orb::test::FromHex(c.initial);
    std::uint8_t out[16];
    PackageCipher::CounterBlock(initial.data(), c.position, out);
    EXPECT_EQ(Hex(out, 16), c.want);
  }
}

// The key stream of a block is the AES encipherment of its counter block,
// computed here independently of the stage, at positions up to and beyond
// 4 GiB and across the wrap of the counter.
TEST(PackageCipher, KeyStreamIsTheCipherOfTheCounterBlock) {
  const std::vector<std::uint8_t> initialBytes = orb::test::FromHex("00112233445566778899AABBCCDDEEF0");
  const std::uint8_t* initial = initialBytes.data();
  PackageCipher stage;
  ASSERT_EQ(stage.Init(orb::kPackageKey, initial), S_OK);
  orb::platform::Aes128Cipher aes;
  ASSERT_EQ(aes.SetKey(orb::kPackageKey), S_OK);

  for (std::uint64_t position : {std::uint64_t{0}, std::uint64_t{16}, k4GiB - 16, k4GiB, 5 * k4GiB + 48,
                                 std::uint64_t{0xFFFFFFFFFFFFFFF0u}}) {
    SCOPED_TRACE(position);
    std::uint8_t counter[16];
    std::uint8_t want[16];
    PackageCipher::CounterBlock(initial, position, counter);
    ASSERT_EQ(aes.EncryptBlocks(counter, want, 1), S_OK);
    std::uint8_t data[16] = {};
    ASSERT_EQ(stage.Apply(position, data, sizeof(data)), S_OK);
    EXPECT_EQ(Hex(data, 16), Hex(want, 16));
  }
}

// Deciphering a run in pieces of any size and at any offset gives what one
// call over the whole run gives, across the stage's internal buffer too;
// applying twice restores the bytes.
TEST(PackageCipher, PiecesAgreeWithTheWholeRun) {
  // The counter wraps round inside the run.
  const std::vector<std::uint8_t> initial = orb::test::FromHex("0F0E0D0C0B0A0908FFFFFFFFFFFFFF00");
  PackageCipher stage;
  ASSERT_EQ(stage.Init(orb::kPackageKey, initial.data()), S_OK);

  const std::uint64_t base = k4GiB - 4096;
  std::vector<std::uint8_t> plain(200000);
  for (std::size_t i = 0; i < plain.size(); ++i) plain[i] = static_cast<std::uint8_t>(i * 7 + 3);
  std::vector<std::uint8_t> whole = plain;
  ASSERT_EQ(stage.Apply(base, whole.data(), whole.size()), S_OK);
  EXPECT_NE(whole, plain);

  for (std::size_t cut : {std::size_t{1}, std::size_t{15}, std::size_t{17}, std::size_t{65535}, std::size_t{65537},
                          std::size_t{131072}}) {
    SCOPED_TRACE(cut);
    std::vector<std::uint8_t> pieces = plain;
    ASSERT_EQ(stage.Apply(base, pieces.data(), cut), S_OK);
    ASSERT_EQ(stage.Apply(base + cut, pieces.data() + cut, pieces.size() - cut), S_OK);
    EXPECT_EQ(pieces, whole);
  }

  ASSERT_EQ(stage.Apply(base, whole.data(), whole.size()), S_OK);
  EXPECT_EQ(whole, plain);
}

TEST(PackageCipher, RefusesWorkBeforeInit) {
  PackageCipher stage;
  std::uint8_t data[16] = {};
  EXPECT_EQ(stage.Apply(0, data, sizeof(data)), E_UNEXPECTED);
}

}  // namespace
