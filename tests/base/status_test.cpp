#include "base/status.h"

#include <gtest/gtest.h>

namespace {

TEST(Status, StandardCodesHaveTheWindowsValues) {
  // The non-Windows build defines these itself; they must match bit for bit.
  EXPECT_EQ(static_cast<unsigned>(E_POINTER), 0x80004003u);
  EXPECT_EQ(static_cast<unsigned>(E_INVALIDARG), 0x80070057u);
  EXPECT_EQ(static_cast<unsigned>(E_FAIL), 0x80004005u);
  EXPECT_EQ(static_cast<unsigned>(E_OUTOFMEMORY), 0x8007000Eu);
  EXPECT_EQ(static_cast<unsigned>(E_NOTIMPL), 0x80004001u);
  EXPECT_EQ(static_cast<unsigned>(E_NOINTERFACE), 0x80004002u);
  EXPECT_EQ(static_cast<unsigned>(E_HANDLE), 0x80070006u);
  EXPECT_EQ(static_cast<unsigned>(E_ACCESSDENIED), 0x80070005u);
  EXPECT_EQ(S_OK, 0);
  EXPECT_EQ(S_FALSE, 1);
  EXPECT_EQ(sizeof(HRESULT), 4u);
  EXPECT_TRUE(FAILED(ORB_E_NO_OPERATION));
  EXPECT_TRUE(SUCCEEDED(ORB_STATE_TRANSFERRING));
}

TEST(Status, FromWin32Error) {
  struct Case {
    std::uint32_t error;
    std::uint32_t want;
  } cases[] = {
      {0, 0},                      // success stays success
      {2, 0x80070002u},            // file not found
      {170, 0x800700AAu},          // busy
      {0x12345, 0x80072345u},      // only the low 16 bits are kept
      {0x80004005u, 0x80004005u},  // already a failure code: passed through
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.error);
    EXPECT_EQ(static_cast<std::uint32_t>(orb::StatusFromWin32(c.error)), c.want);
  }
  EXPECT_EQ(ORB_E_BUSY, orb::StatusFromWin32(orb::win32_error::kBusy));
}

TEST(Status, FromInternetError) {
  EXPECT_EQ(static_cast<std::uint32_t>(orb::StatusFromInternetError(12001)), 0x80048B01u);
  EXPECT_EQ(static_cast<std::uint32_t>(orb::StatusFromInternetError(12175)), 0x80048BAFu);
  EXPECT_EQ(orb::StatusFromInternetError(12000), ORB_E_INTERNET);
  EXPECT_EQ(orb::StatusFromInternetError(12176), ORB_E_INTERNET);
  EXPECT_EQ(orb::StatusFromInternetError(5), ORB_E_INTERNET);
}

}  // namespace
