// The selection policies: console drives on a virtual handheld, portable
// devices from fakes.
#include "device/storage_selection.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "device/portable_device_fakes.h"
#include "support/virtual_handheld_fixture.h"

namespace {

using orb::test::PortableStorageSpec;
using orb::test::ScopedPortableDevices;
using orb::test::ScopedVirtualHandheld;
namespace dev = orb::device;

const char kCard[] = "[Drive K]\nIdentity = card\n";
const char kCardAndSystem[] = "[Drive K]\nIdentity = system\n[Drive L]\nIdentity = card\n";
const char kSingleDriveModel[] = "[Drive K]\nUsbProduct = 0381\n";
const char kTooOld[] = "[Drive K]\nSystemVersion = 6.49\n";
const char kForeignStick[] = "[Drive E]\nIdentity = other\n";

const PortableStorageSpec kPhone = {L"phone", L"s10001"};
const PortableStorageSpec kPhoneSecond = {L"phone", L"s20002"};
const PortableStorageSpec kTablet = {L"tablet", L"s10001"};
const PortableStorageSpec kZelk = {L"zelk", L"s10001", true};
const PortableStorageSpec kPhoneOtherStorage = {L"phone", L"s30003"};

struct Case {
  const char* name;
  int policy;
  const char* drives;
  std::vector<PortableStorageSpec> portable;
  HRESULT want;
  const wchar_t* id;
  std::uint32_t flags;
  std::int32_t kind;
};

TEST(SelectStorage, Policies) {
  const Case cases[] = {
      // Plain media.
      {"3: nothing at all", 3, "", {}, ORB_E_NO_DEVICE, nullptr, 0, 0},
      {"3: only a foreign stick", 3, kForeignStick, {}, ORB_E_NO_DEVICE, nullptr, 0, 0},
      {"3: a card drive", 3, kCard, {}, S_OK, L"K", 1, 1},
      {"3: card and system storage", 3, kCardAndSystem, {}, S_OK, L"K", 1, 3},
      {"3: console drive and a portable storage", 3, kCard, {kPhone}, ORB_E_SEVERAL_DEVICES, nullptr, 0, 0},
      {"3: two portable storages", 3, "", {kPhone, kTablet}, ORB_E_SEVERAL_DEVICES, nullptr, 0, 0},
      {"3: two storages of one portable device", 3, "", {kPhone, kPhoneSecond}, ORB_E_SEVERAL_DEVICES, nullptr, 0,
       0},
      {"3: one portable storage only", 3, kForeignStick, {kPhone}, S_OK, L"phone_s10001", 0, 0},
      {"3: handheld too old", 3, kTooOld, {}, ORB_E_DEVICE_TOO_OLD, nullptr, 0, 0},
      {"3: too old even beside a portable storage", 3, kTooOld, {kPhone}, ORB_E_DEVICE_TOO_OLD, nullptr, 0, 0},
      {"3: single-drive model alone", 3, kSingleDriveModel, {}, ORB_E_NO_DEVICE, nullptr, 0, 0},
      {"3: single-drive model and a portable storage", 3, kSingleDriveModel, {kPhone}, S_OK, L"phone_s10001", 0, 0},
      // Video and comic.
      {"1: a card drive", 1, kCard, {}, S_OK, L"K", 1, 1},
      {"2: card and system storage", 2, kCardAndSystem, {}, S_OK, L"K", 1, 3},
      {"1: one ZELK device and no console drive", 1, "", {kZelk}, ORB_E_NO_DEVICE, nullptr, 0, 0},
      {"2: a ZELK device does not compete with a console drive", 2, kCard, {kZelk}, S_OK, L"K", 1, 1},
      {"1: a portable device alone", 1, "", {kPhone}, S_OK, L"phone_s10001", 272, 2},
      {"1: its storage for content, whatever is listed first", 1, "", {kPhoneSecond, kPhone}, S_OK,
       L"phone_s10001", 272, 2},
      {"2: a portable device without that storage", 2, "", {kPhoneOtherStorage}, ORB_E_NO_DEVICE, nullptr, 0, 0},
      {"2: a portable device and a console drive", 2, kCard, {kPhone}, ORB_E_SEVERAL_DEVICES, nullptr, 0, 0},
      {"1: two portable devices", 1, kCard, {kPhone, kTablet}, ORB_E_SEVERAL_DEVICES, nullptr, 0, 0},
      {"1: a ZELK device and another device", 1, "", {kZelk, kPhone}, ORB_E_SEVERAL_DEVICES, nullptr, 0, 0},
      {"2: single-drive model alone", 2, kSingleDriveModel, {}, ORB_E_NO_DEVICE, nullptr, 0, 0},
      {"2: single-drive model and a portable device", 2, kSingleDriveModel, {kPhone}, S_OK, L"phone_s10001", 272,
       2},
      {"1: handheld too old", 1, kTooOld, {}, ORB_E_DEVICE_TOO_OLD, nullptr, 0, 0},
      {"0 selects like 2", 0, "", {kPhone}, S_OK, L"phone_s10001", 272, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ScopedVirtualHandheld handheld(c.drives);
    ScopedPortableDevices devices(c.portable);
    IDeviceStorage* storage = nullptr;
    std::uint32_t flags = 0xDEAD;
    std::int32_t kind = 0xDEAD;
    ASSERT_EQ(SelectStorage(c.policy, &storage, &flags, &kind), c.want);
    if (c.want != S_OK) continue;
    ASSERT_NE(storage, nullptr);
    EXPECT_EQ(storage->GetStorageId(), c.id);
    EXPECT_EQ(flags, c.flags);
    EXPECT_EQ(kind, c.kind);
  }
}

TEST(SelectStorage, ArgumentsAndFailures) {
  ScopedVirtualHandheld handheld(kCard);
  ScopedPortableDevices devices;
  IDeviceStorage* storage = nullptr;
  std::uint32_t flags = 0;
  EXPECT_EQ(SelectStorage(3, nullptr, &flags, nullptr), E_POINTER);
  EXPECT_EQ(SelectStorage(3, &storage, nullptr, nullptr), E_POINTER);
  EXPECT_EQ(SelectStorage(4, &storage, &flags, nullptr), E_INVALIDARG);
  EXPECT_EQ(SelectStorage(-1, &storage, &flags, nullptr), E_INVALIDARG);
  // The kind is optional.
  ASSERT_EQ(SelectStorage(3, &storage, &flags, nullptr), S_OK);
  EXPECT_EQ(storage->GetStorageId(), L"K");
  // Portable devices that cannot be listed leave no storage at all.
  devices.failure = E_ACCESSDENIED;
  EXPECT_EQ(SelectStorage(3, &storage, &flags, nullptr), ORB_E_NO_DEVICE);
}

TEST(SelectStorage, AHandheldPluggedInBeforeARetryIsFound) {
  ScopedPortableDevices devices;
  IDeviceStorage* storage = nullptr;
  std::uint32_t flags = 0;
  {
    ScopedVirtualHandheld none("");
    EXPECT_EQ(SelectStorage(3, &storage, &flags, nullptr), ORB_E_NO_DEVICE);
  }
  ScopedVirtualHandheld plugged(kCard);
  EXPECT_EQ(SelectStorage(3, &storage, &flags, nullptr), S_OK);
}

}  // namespace
