#include "platform/crypto.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/hex.h"

namespace {

using orb::platform::Aes128Cipher;
using orb::platform::Sha1Digest;
using orb::test::FromHex;
using orb::test::Hex;

// Published test vectors; the long input goes in uneven pieces so that the
// digest is seen to carry its state across calls.
TEST(PlatformCrypto, Sha1KnownAnswers) {
  const struct {
    std::string input;
    std::size_t piece;
    const char* want;
  } cases[] = {
      {"", 1, "DA39A3EE5E6B4B0D3255BFEF95601890AFD80709"},
      {"abc", 3, "A9993E364706816ABA3E25717850C26C9CD0D89D"},
      {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq", 7, "84983E441C3BD26EBAAE4AA1F95129E5E54670F1"},
      {std::string(1000000, 'a'), 9973, "34AA973CD4C4DAA4F61EEB2BDBAD27316534016F"},
  };
  Sha1Digest digest;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.want);
    ASSERT_EQ(digest.Start(), S_OK);
    for (std::size_t at = 0; at < c.input.size(); at += c.piece) {
      ASSERT_EQ(digest.Update(c.input.data() + at, std::min(c.piece, c.input.size() - at)), S_OK);
    }
    std::uint8_t out[Sha1Digest::kSize];
    ASSERT_EQ(digest.Finish(out), S_OK);
    EXPECT_EQ(Hex(out, sizeof(out)), c.want);
  }
  // A finished digest takes no more data until it is started again.
  EXPECT_EQ(digest.Update("x", 1), E_UNEXPECTED);
}

// FIPS-197 appendix C.1 and the ECB example of SP 800-38A (four blocks in
// one call, enciphered in place).
TEST(PlatformCrypto, Aes128KnownAnswers) {
  Aes128Cipher aes;
  std::uint8_t block[16] = {};
  EXPECT_EQ(aes.EncryptBlocks(block, block, 1), E_UNEXPECTED);

  auto key = FromHex("000102030405060708090A0B0C0D0E0F");
  auto data = FromHex("00112233445566778899AABBCCDDEEFF");
  ASSERT_EQ(aes.SetKey(key.data()), S_OK);
  std::uint8_t out[16];
  ASSERT_EQ(aes.EncryptBlocks(data.data(), out, 1), S_OK);
  EXPECT_EQ(Hex(out, 16), "69C4E0D86A7B0430D8CDB78070B4C55A");

  key = FromHex("2B7E151628AED2A6ABF7158809CF4F3C");
  data = FromHex(
      "6BC1BEE22E409F96E93D7E117393172AAE2D8A571E03AC9C9EB76FAC45AF8E51"
      "30C81C46A35CE411E5FBC1191A0A52EFF69F2445DF4F9B17AD2B417BE66C3710");
  ASSERT_EQ(aes.SetKey(key.data()), S_OK);
  ASSERT_EQ(aes.EncryptBlocks(data.data(), data.data(), 4), S_OK);
  EXPECT_EQ(Hex(data.data(), data.size()),
            "3AD77BB40D7A3660A89ECAF32466EF97F5D3D58503B9699DE785895A96FDBAAF"
            "43B1CD7F598ECE23881B00E3ED0306887B0C785E27E8AD3F8223207104725DD4");
}

}  // namespace
