#include "platform/crypto.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using orb::platform::Aes128Cipher;
using orb::platform::Sha1Digest;

std::vector<std::uint8_t> FromHex(const std::string& hex) {
  std::vector<std::uint8_t> out;
  for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
    out.push_back(static_cast<std::uint8_t>(std::stoul(hex.substr(i, 2), nullptr, 16)));
  }
  return out;
}

std::string ToHex(const std::uint8_t* bytes, std::size_t size) {
  static const char digits[] = "0123456789abcdef";
  std::string out;
  for (std::size_t i = 0; i < size; ++i) {
    out += digits[bytes[i] >> 4];
    out += digits[bytes[i] & 15];
  }
  return out;
}

// Published test vectors; the long input goes in uneven pieces so that the
// digest is seen to carry its state across calls.
TEST(PlatformCrypto, Sha1KnownAnswers) {
  const struct {
    std::string input;
    std::size_t piece;
    const char* want;
  } cases[] = {
      {"", 1, "da39a3ee5e6b4b0d3255bfef95601890afd80709"},
      {"abc", 3, "a9993e364706816aba3e25717850c26c9cd0d89d"},
      {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq", 7, "84983e441c3bd26ebaae4aa1f95129e5e54670f1"},
      {std::string(1000000, 'a'), 9973, "34aa973cd4c4daa4f61eeb2bdbad27316534016f"},
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
    EXPECT_EQ(ToHex(out, sizeof(out)), c.want);
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

  auto key = FromHex("000102030405060708090a0b0c0d0e0f");
  auto data = FromHex("00112233445566778899aabbccddeeff");
  ASSERT_EQ(aes.SetKey(key.data()), S_OK);
  std::uint8_t out[16];
  ASSERT_EQ(aes.EncryptBlocks(data.data(), out, 1), S_OK);
  EXPECT_EQ(ToHex(out, 16), "69c4e0d86a7b0430d8cdb78070b4c55a");

  key = FromHex("2b7e151628aed2a6abf7158809cf4f3c");
  data = FromHex(
      "6bc1bee22e409f96e93d7e117393172aae2d8a571e03ac9c9eb76fac45af8e51"
      "30c81c46a35ce411e5fbc1191a0a52eff69f2445df4f9b17ad2b417be66c3710");
  ASSERT_EQ(aes.SetKey(key.data()), S_OK);
  ASSERT_EQ(aes.EncryptBlocks(data.data(), data.data(), 4), S_OK);
  EXPECT_EQ(ToHex(data.data(), data.size()),
            "3ad77bb40d7a3660a89ecaf32466ef97f5d3d58503b9699de785895a96fdbaaf"
            "43b1cd7f598ece23881b00e3ed0306887b0c785e27e8ad3f8223207104725dd4");
}

}  // namespace
