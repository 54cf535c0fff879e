// The flow's device questions reach the device layer unchanged, except the
// system-version question, whose failures fold into one code.
#include "flow/orb_downloader_utils.h"

#include <gtest/gtest.h>

#include "support/virtual_handheld_fixture.h"

namespace {

TEST(COrbDownloaderUtils, ForwardsTheDeviceQuestions) {
  orb::test::ScopedVirtualHandheld handheld(
      "[Drive E]\nIdentity = card\nMediumType = 0x20\n"
      "[Drive F]\nIdentity = system\nSystemVersion = 6.49\n"
      "[Drive G]\nIdentity = other\n"
      "[Drive H]\nIdentity = card\nUsbProduct = 0381\nUsbSerial = other\nSystemVersion = 6.5\n");
  COrbDownloaderUtils utils;
  std::uint32_t mask = 0;
  EXPECT_EQ(utils.ScanConsoleDrives(&mask), S_OK);
  EXPECT_EQ(mask, (1u << 4) | (1u << 5) | (1u << 7));
  std::uint32_t flags = 0;
  EXPECT_EQ(utils.GetMediaState(L'E', &flags), S_OK);
  EXPECT_EQ(flags, 2u);
  EXPECT_TRUE(utils.IsSameUsbDevice(L'E', L'F'));
  EXPECT_FALSE(utils.IsSameUsbDevice(L'E', L'H'));
  EXPECT_TRUE(utils.IsSystemStorageDrive(L'F'));
  EXPECT_FALSE(utils.IsSystemStorageDrive(L'E'));
  EXPECT_TRUE(utils.IsSingleDriveModel(L'H'));
  EXPECT_FALSE(utils.IsSingleDriveModel(L'E'));

  bool older = false;
  EXPECT_EQ(utils.IsSystemVersionOlder(L'F', "6.50", &older), S_OK);
  EXPECT_TRUE(older);
  EXPECT_EQ(utils.IsSystemVersionOlder(L'E', "6.50", &older), S_OK);
  EXPECT_FALSE(older);
  EXPECT_EQ(utils.IsSystemVersionOlder(L'G', "6.50", &older), E_INVALIDARG);  // not a console drive
  EXPECT_EQ(utils.IsSystemVersionOlder(L'H', "6.50", &older), E_INVALIDARG);  // malformed version text
  // Whatever else the device layer reports becomes one code.
  EXPECT_EQ(utils.IsSystemVersionOlder(L'E', nullptr, &older), ORB_E_SYSTEM_VERSION_UNREADABLE);
}

}  // namespace
