// The console-drive selection and the media checks, on virtual handhelds.
#include "device/drive_selection.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "support/virtual_handheld_fixture.h"

namespace {

using orb::test::ScopedVirtualHandheld;

std::string Drive(char letter, const std::string& keys) {
  return std::string("[Drive ") + letter + "]\n" + keys + "\n";
}

TEST(SelectConsoleDrive, Rules) {
  struct Case {
    const char* name;
    std::string description;
    HRESULT want;
    wchar_t target, companion;
  } cases[] = {
      {"no drive at all", "", ORB_E_NO_DEVICE, 0, 0},
      {"only a foreign stick", Drive('E', "Identity = other"), ORB_E_NO_DEVICE, 0, 0},
      {"one card drive", Drive('E', "Identity = other") + Drive('F', "Identity = card"), S_OK, L'F', 0},
      {"one system-storage drive", Drive('G', "Identity = system"), S_OK, L'G', 0},
      {"card and system storage of one handheld, storage second",
       Drive('E', "Identity = card") + Drive('F', "Identity = system"), S_OK, L'F', L'E'},
      {"card and system storage of one handheld, storage first",
       Drive('E', "Identity = system") + Drive('F', "Identity = card"), S_OK, L'E', L'F'},
      {"two drives of two handhelds",
       Drive('E', "Identity = card\nUsbSerial = A1") + Drive('F', "Identity = system\nUsbSerial = B2"),
       ORB_E_SEVERAL_DEVICES, 0, 0},
      {"two card drives of one handheld", Drive('E', "Identity = card") + Drive('F', "Identity = titlecase"),
       ORB_E_SEVERAL_DEVICES, 0, 0},
      {"same device only when the serial text is not empty",
       Drive('E', "Identity = card\nUsbSerial = \"\"") + Drive('F', "Identity = system\nUsbSerial = \"\""),
       ORB_E_SEVERAL_DEVICES, 0, 0},
      {"no serial number string",
       Drive('E', "Identity = card\nUsb = noserial") + Drive('F', "Identity = system\nUsb = noserial"),
       ORB_E_SEVERAL_DEVICES, 0, 0},
      {"USB identity unreadable",
       Drive('E', "Identity = card\nUsb = unreadable") + Drive('F', "Identity = system"), ORB_E_SEVERAL_DEVICES, 0, 0},
      {"the single-drive model counts as no device", Drive('K', "UsbProduct = 0381"), ORB_S_SINGLE_DRIVE_MODEL, 0, 0},
      {"the same product id of another maker is a handheld",
       Drive('K', "UsbVendor = 1234\nUsbProduct = 0381"), S_OK, L'K', 0},
      {"system software one hundredth too old", Drive('K', "SystemVersion = 6.49"), ORB_E_DEVICE_TOO_OLD, 0, 0},
      {"system software unreadable", Drive('K', "SystemVersion = unreadable"), ORB_E_DEVICE_TOO_OLD, 0, 0},
      {"the version of the chosen drive counts, not of its companion",
       Drive('E', "Identity = card\nSystemVersion = 1.00") + Drive('F', "Identity = system\nSystemVersion = 6.50"),
       S_OK, L'F', L'E'},
      {"a malformed version text", Drive('K', "SystemVersion = 6.5"), E_INVALIDARG, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ScopedVirtualHandheld handheld(c.description);
    wchar_t target = L'?';
    wchar_t companion = L'?';
    EXPECT_EQ(SelectConsoleDrive(&target, &companion), c.want);
    if (c.want == S_OK) {
      EXPECT_EQ(target, c.target);
      EXPECT_EQ(companion, c.companion);
    }
  }
}

TEST(SelectConsoleDrive, ThreeConsoleDrivesSendNoFurtherCommand) {
  ScopedVirtualHandheld handheld(Drive('E', "Identity = card") + Drive('F', "Identity = system") +
                                 Drive('G', "Identity = card"));
  wchar_t target = 0;
  wchar_t companion = 0;
  EXPECT_EQ(SelectConsoleDrive(&target, &companion), ORB_E_SEVERAL_DEVICES);
  // Only the scan's INQUIRY commands, one per drive.
  EXPECT_EQ(handheld.commands(), (std::vector<std::string>{"E:12", "F:12", "G:12"}));
}

TEST(CheckMedia, FlagsAndCodes) {
  struct Case {
    const char* name;
    const char* keys;
    std::uint32_t flags;
    HRESULT want;
  } cases[] = {
      {"card medium present", "MediumType = 0x20\nCapacity = 1G\nFree = 1M", 2, S_OK},
      {"card medium, capacity unreadable", "MediumType = 0x20\nCapacity = unreadable", 2, S_OK},
      {"another medium with a capacity", "MediumType = 0x01\nCapacity = 1G\nFree = 1M", 1, S_OK},
      {"another medium, capacity unreadable", "MediumType = 0x01\nCapacity = unreadable", 0, ORB_E_NO_MEDIUM},
      {"locked card", "Locked = yes\nCapacity = 1G\nFree = 1M", 2 | 4, ORB_E_MEDIUM_LOCKED},
      {"locked wins over no medium", "Locked = yes\nMediumType = 0\nCapacity = unreadable", 4, ORB_E_MEDIUM_LOCKED},
      {"mode page unreadable, capacity readable", "ModeSense = fail\nCapacity = 1G\nFree = 1M", 1, S_OK},
      {"nothing readable", "ModeSense = fail\nCapacity = unreadable", 0, ORB_E_NO_MEDIUM},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ScopedVirtualHandheld handheld(Drive('K', c.keys));
    std::uint32_t flags = 0xFFFF;
    EXPECT_EQ(GetMediaState(L'K', &flags), S_OK);
    EXPECT_EQ(flags, c.flags);
    EXPECT_EQ(CheckMedia(L'K'), c.want);
  }
  EXPECT_EQ(GetMediaState(L'K', nullptr), E_POINTER);
}

TEST(UsbQuestions, SameDeviceAndSingleDriveModel) {
  ScopedVirtualHandheld handheld(Drive('E', "UsbSerial = X1") + Drive('F', "UsbSerial = X1") +
                                 Drive('G', "UsbSerial = x1") + Drive('H', "UsbProduct = 0381") +
                                 Drive('I', "UsbVendor = 7a11\nUsbProduct = 381"));
  EXPECT_TRUE(IsSameUsbDevice(L'E', L'F'));
  EXPECT_FALSE(IsSameUsbDevice(L'E', L'G'));  // serial texts compare exactly
  EXPECT_FALSE(IsSameUsbDevice(L'E', L'Q'));  // no such drive
  EXPECT_FALSE(IsSingleDriveModel(L'E'));
  EXPECT_TRUE(IsSingleDriveModel(L'H'));
  EXPECT_TRUE(IsSingleDriveModel(L'I'));
  EXPECT_FALSE(IsSingleDriveModel(L'Q'));
}

}  // namespace
