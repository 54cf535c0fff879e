#include "flow/auto_buffer.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

class AutoBufferTest : public ::testing::Test {
 protected:
  void TearDown() override { orb::SetAllocationFailureHookForTesting(nullptr); }
  static void FailAll() {
    orb::SetAllocationFailureHookForTesting([](std::size_t) { return true; });
  }
};

TEST_F(AutoBufferTest, AllocateZeroIsAnEmptySuccess) {
  AutoBuffer<char, int> buffer;
  EXPECT_EQ(buffer.Allocate(0), S_OK);
  EXPECT_EQ(buffer.Capacity(), 0);
  EXPECT_EQ(buffer.Length(), 0);
}

TEST_F(AutoBufferTest, WideBufferIsZeroFilled) {
  AutoBuffer<wchar_t, unsigned int> buffer;
  ASSERT_EQ(buffer.Allocate(16), S_OK);
  EXPECT_EQ(buffer.Capacity(), 16u);
  EXPECT_EQ(buffer.Length(), 16u);
  const unsigned char zeros[16 * sizeof(wchar_t)] = {};
  EXPECT_EQ(std::memcmp(buffer.Data(), zeros, sizeof zeros), 0);
}

TEST_F(AutoBufferTest, FailedAllocationAfterASuccessLeavesItEmpty) {
  AutoBuffer<unsigned char, unsigned short> buffer;
  ASSERT_EQ(buffer.Allocate(8), S_OK);
  FailAll();
  EXPECT_EQ(buffer.Allocate(32), E_OUTOFMEMORY);
  EXPECT_EQ(buffer.Data(), nullptr);
  EXPECT_EQ(buffer.Capacity(), 0);
  EXPECT_EQ(buffer.Length(), 0);
}

TEST_F(AutoBufferTest, ImpossibleSizesFailWithoutThrowing) {
  AutoBuffer<wchar_t, int> byInt;
  EXPECT_EQ(byInt.Allocate(-1), E_OUTOFMEMORY);
  // More elements than the 32-bit capacity can count.
  AutoBuffer<wchar_t, unsigned long long> byWide;
  EXPECT_EQ(byWide.Allocate(1ull << 33), E_OUTOFMEMORY);
  EXPECT_EQ(byWide.Data(), nullptr);
}

TEST_F(AutoBufferTest, ReallocateAndFreeReleaseTheArray) {
  // Run under LeakSanitizer, this also proves that nothing is lost.
  AutoBuffer<char, unsigned long> buffer;
  ASSERT_EQ(buffer.Allocate(100), S_OK);
  buffer.Data()[0] = 'x';
  ASSERT_EQ(buffer.Allocate(10), S_OK);
  EXPECT_EQ(buffer.Data()[0], '\0');
  buffer.Free();
  EXPECT_EQ(buffer.Data(), nullptr);
}

}  // namespace
