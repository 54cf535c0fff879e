// Handheld recognition and the handheld's own questions, against a virtual
// handheld that answers as the device does.
#include "device/fk_device.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "device/drive_selection.h"
#include "device/fk_media.h"
#include "platform/drive_table.h"
#include "support/virtual_handheld_fixture.h"

namespace {

using orb::test::ScopedVirtualHandheld;

std::uint32_t Bit(wchar_t letter) { return 1u << (letter - L'A'); }

TEST(CFKDevice, IdentityDecidesConsoleCardAndSystemStorage) {
  struct Case {
    const char* section;  // the drive's keys
    bool console, card, system;
  } cases[] = {
      {"Identity = card", true, true, false},
      {"Identity = system", true, false, true},
      {"Identity = titlecase", true, true, false},
      // Any "VORA" product that begins with the quoted model name is a
      // console drive, but only the two known ones are card or storage.
      {"Identity = other\nVendor = VORA\nProduct = \"KVX\" ZZ", true, false, false},
      {"Identity = other\nVendor = VORA\nProduct = KVX", false, false, false},
      {"Identity = other\nVendor = Vora\nProduct = \"KVX FK\"", false, false, false},
      {"Identity = other\nVendor = vora\nProduct = KVX", false, false, false},
      {"Identity = other\nVendor = SANDISK\nProduct = Cruzer", false, false, false},
      {"Identity = card\nInquiry = fail", false, false, false},
      {"Identity = card\nType = fixed", false, true, false},  // not removable: never scanned
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.section);
    ScopedVirtualHandheld handheld(std::string("[Drive K]\n") + c.section + "\n");
    CFKDevice device;
    EXPECT_EQ(device.IsConsoleDrive(L'K'), c.console);
    EXPECT_EQ(device.IsCardDrive(L'K'), c.card);
    EXPECT_EQ(device.IsSystemStorageDrive(L'K'), c.system);
  }
}

TEST(CFKDevice, InquiryIdentityIsTheTwentyEightBytesAfterTheHeader) {
  ScopedVirtualHandheld handheld("[Drive K]\nIdentity = system\nRevision = 2.10\n");
  std::uint8_t identity[28];
  ASSERT_EQ(CFKDevice().ReadInquiryIdentity(L'K', identity, sizeof identity), S_OK);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(identity), 28), "VORA    \"KVX\" SS        2.10");
  EXPECT_EQ(handheld.commands(), std::vector<std::string>{"K:12"});
  EXPECT_EQ(CFKDevice().ReadInquiryIdentity(L'L', identity, sizeof identity), ORB_E_INQUIRY_FAILED);
  EXPECT_EQ(CFKDevice().ReadInquiryIdentity(L'k', identity, sizeof identity), E_INVALIDARG);
  EXPECT_EQ(CFKDevice().ReadInquiryIdentity(L'@', identity, sizeof identity), E_INVALIDARG);
}

TEST(CFKDevice, ScansKeepRemovableDrivesAndThenConsoleDrives) {
  ScopedVirtualHandheld handheld(
      "[Drive D]\nIdentity = other\n"
      "[Drive E]\nIdentity = card\nType = fixed\n"
      "[Drive F]\nIdentity = card\n"
      "[Drive G]\nIdentity = system\nType = cdrom\n"
      "[Drive H]\nIdentity = system\nInquiry = fail\n"
      "[Drive Z]\nIdentity = titlecase\n");
  CFKDevice device;
  std::uint32_t mask = 0;
  ASSERT_EQ(device.ScanRemovableDrives(&mask), S_OK);
  EXPECT_EQ(mask, Bit(L'D') | Bit(L'F') | Bit(L'H') | Bit(L'Z'));
  ASSERT_EQ(device.ScanConsoleDrives(&mask), S_OK);
  EXPECT_EQ(mask, Bit(L'F') | Bit(L'Z'));
  EXPECT_EQ(device.ScanConsoleDrives(nullptr), E_POINTER);
}

TEST(CFKDevice, VendorCommandsReadVersionAndProductCode) {
  ScopedVirtualHandheld handheld(
      "[Drive K]\nSystemVersion = 6.60\nProductCode = 01 0A\n"
      "[Drive L]\nSystemVersion = unreadable\nProductCode = unreadable\n"
      "[Drive M]\nIdentity = other\n");
  CFKDevice device;
  std::uint8_t version[5];
  std::uint8_t code[2];
  ASSERT_EQ(device.ReadSystemVersion(L'K', version, sizeof version), S_OK);
  EXPECT_EQ(std::memcmp(version, "6.60\0", 5), 0);
  ASSERT_EQ(device.ReadProductCode(L'K', code, sizeof code), S_OK);
  EXPECT_EQ(code[0], 0x01);
  EXPECT_EQ(code[1], 0x0A);
  EXPECT_EQ(handheld.commands(), (std::vector<std::string>{"K:FC90", "K:FCA5"}));
  EXPECT_EQ(device.ReadSystemVersion(L'L', version, sizeof version), ORB_E_SYSTEM_VERSION_UNREADABLE);
  EXPECT_EQ(device.ReadProductCode(L'L', code, sizeof code), ORB_E_PRODUCT_CODE_UNREADABLE);
  EXPECT_EQ(device.ReadSystemVersion(L'M', version, sizeof version), ORB_E_SYSTEM_VERSION_UNREADABLE);
  EXPECT_EQ(device.ReadProductCode(L'N', code, sizeof code), ORB_E_PRODUCT_CODE_UNREADABLE);
  EXPECT_EQ(device.ReadSystemVersion(L'1', version, sizeof version), E_INVALIDARG);
  EXPECT_EQ(device.ReadProductCode(L'[', code, sizeof code), E_INVALIDARG);
  EXPECT_EQ(device.ReadProductCode(L'K', code, 1), E_INVALIDARG);
}

TEST(CFKDevice, SystemVersionComparison) {
  struct Case {
    const char* version;  // the handheld's SystemVersion
    const char* required;
    HRESULT want;
    bool older;
  } cases[] = {
      {"6.49", "6.50", S_OK, true},  // one hundredth below
      {"6.50", "6.50", S_OK, false},
      {"6.60", "6.50", S_OK, false},
      {"5.99", "6.50", S_OK, true},
      {"9.00", "6.50", S_OK, false},
      {"6.60", "6.5", E_INVALIDARG, false},     // three characters
      {"6.60", "6.500", E_INVALIDARG, false},   // five characters
      {"6.60", "6,50", E_INVALIDARG, false},
      {"6.5", "6.50", E_INVALIDARG, false},     // the device's text is checked too
      {"6.60x", "6.50", E_INVALIDARG, false},
      {"", "6.50", E_INVALIDARG, false},
      {"unreadable", "6.50", S_OK, true},        // an unreadable version counts as older
      {"unreadable", "6.5", S_OK, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.version) + " vs " + c.required);
    ScopedVirtualHandheld handheld(std::string("[Drive K]\nSystemVersion = ") + c.version + "\n");
    bool older = !c.older;
    EXPECT_EQ(CFKDevice().IsSystemVersionOlder(L'K', c.required, &older), c.want);
    if (c.want == S_OK) {
      EXPECT_EQ(older, c.older);
    }
  }
}

TEST(CFKDevice, SystemVersionOfANonConsoleDriveIsRefused) {
  ScopedVirtualHandheld handheld("[Drive K]\nIdentity = other\n[Drive L]\nIdentity = card\n");
  bool older = false;
  EXPECT_EQ(CFKDevice().IsSystemVersionOlder(L'K', "6.50", &older), E_INVALIDARG);
  EXPECT_EQ(CFKDevice().IsSystemVersionOlder(L'M', "6.50", &older), E_INVALIDARG);
  EXPECT_EQ(CFKDevice().IsSystemVersionOlder(L'L', "6.50", nullptr), E_POINTER);
  // The wrapper passes E_INVALIDARG through and folds every other failure.
  EXPECT_EQ(IsSystemVersionOlder(L'K', "6.50", &older), E_INVALIDARG);
  EXPECT_EQ(IsSystemVersionOlder(L'L', nullptr, &older), ORB_E_SYSTEM_VERSION_UNREADABLE);
  older = true;
  EXPECT_EQ(IsSystemVersionOlder(L'L', "6.50", &older), S_OK);
  EXPECT_FALSE(older);
}

// Where the system has drive letters (Windows, and Wine with the set-up
// tool's letters), the virtual handheld answers only what no drive can
// there: the system's drive table stays in force.
TEST(CFKDevice, AGuestHandheldKeepsTheSystemsDriveTable) {
  const std::uint32_t systemMask = orb::platform::GetLogicalDriveMask();
  const orb::platform::DriveType systemType = orb::platform::GetDriveType(L'C');
  orb::virtual_handheld::HandheldDescription description;
  std::string error;
  ASSERT_TRUE(orb::virtual_handheld::ParseHandheldDescription("[Drive C]\nIdentity = card\n", &description, &error));
  orb::virtual_handheld::VirtualHandheld guest(description, /*ownsDriveTable=*/false);
  orb::platform::InstallDeviceSimulation(&guest);
  EXPECT_EQ(orb::platform::GetLogicalDriveMask(), systemMask);
  EXPECT_EQ(orb::platform::GetDriveType(L'C'), systemType);
  // The card answers where the system has a drive that can take commands.
  const bool drive = systemType == orb::platform::DriveType::kRemovable ||
                     systemType == orb::platform::DriveType::kFixed || systemType == orb::platform::DriveType::kCdRom;
  EXPECT_EQ(CFKDevice().IsCardDrive(L'C'), drive);
  EXPECT_EQ(CFKDevice().IsCardDrive(L'D'), false);  // not described
  orb::platform::InstallDeviceSimulation(nullptr);
}

TEST(CFKMedia, ModePageAndCapacity) {
  ScopedVirtualHandheld handheld(
      "[Drive K]\nMediumType = 0x20\nLocked = yes\nCapacity = 2G\nFree = 1G\n"
      "[Drive L]\nMediumType = 0x00\nCapacity = unreadable\n"
      "[Drive M]\nModeSense = fail\n");
  CFKMedia media;
  std::uint64_t bytes = 0;
  EXPECT_EQ(media.GetDriveCapacity(L'K', &bytes), S_OK);
  EXPECT_EQ(bytes, 2ull << 30);
  EXPECT_EQ(media.GetDriveCapacity(L'L', &bytes), ORB_E_STORAGE_NOT_ACCESSIBLE);
  EXPECT_EQ(media.GetDriveCapacity(L'N', &bytes), ORB_E_STORAGE_NOT_ACCESSIBLE);
  EXPECT_EQ(media.CheckMediumType(L'K'), S_OK);
  EXPECT_EQ(media.IsMediumLocked(L'K'), S_OK);
  EXPECT_EQ(media.CheckMediumType(L'L'), E_FAIL);
  EXPECT_EQ(media.IsMediumLocked(L'L'), S_FALSE);
  EXPECT_EQ(media.CheckMediumType(L'M'), ORB_E_MODE_SENSE_FAILED);
  EXPECT_EQ(media.IsMediumLocked(L'M'), ORB_E_MODE_SENSE_FAILED);
  EXPECT_EQ(media.IsMediumLocked(L'0'), E_INVALIDARG);
  EXPECT_EQ(media.CheckMediumType(L'z'), E_INVALIDARG);
}

}  // namespace
