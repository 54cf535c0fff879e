// The storage registry: what it lists, in which order, and that storages
// handed out stay valid.
#include "device/storage_registry.h"

#include <gtest/gtest.h>

#include "device/portable_device_fakes.h"
#include "support/virtual_handheld_fixture.h"

namespace {

using orb::test::ScopedPortableDevices;
using orb::test::ScopedVirtualHandheld;

std::vector<std::wstring> Ids() {
  std::vector<std::wstring> ids = {L"kept"};
  EXPECT_EQ(StorageRegistry::Instance().Enumerate(&ids), S_OK);
  ids.erase(ids.begin());  // appended to what the caller had
  return ids;
}

TEST(StorageRegistry, PortableStoragesFirstThenRemovableDrivesInLetterOrder) {
  ScopedVirtualHandheld handheld(
      "[Drive K]\n[Drive E]\nIdentity = other\n[Drive F]\nType = fixed\n[Drive G]\nType = cdrom\n");
  ScopedPortableDevices devices({{L"dev1", L"s10001"}, {L"dev1", L"s20002"}, {L"dev2", L"s10001"}});
  EXPECT_EQ(Ids(), (std::vector<std::wstring>{L"dev1_s10001", L"dev1_s20002", L"dev2_s10001", L"E", L"K"}));

  devices.storages.clear();  // unplugged
  EXPECT_EQ(Ids(), (std::vector<std::wstring>{L"E", L"K"}));
  IDeviceStorage* storage = nullptr;
  EXPECT_EQ(StorageRegistry::Instance().FindById(L"dev1_s10001", &storage), S_FALSE);
}

TEST(StorageRegistry, StoragesStayValidAcrossEnumerations) {
  ScopedVirtualHandheld handheld("[Drive K]\n");
  ScopedPortableDevices devices({{L"dev1", L"s10001"}});
  Ids();
  IDeviceStorage* drive = nullptr;
  IDeviceStorage* portable = nullptr;
  ASSERT_EQ(StorageRegistry::Instance().FindById(L"K", &drive), S_OK);
  ASSERT_EQ(StorageRegistry::Instance().FindById(L"dev1_s10001", &portable), S_OK);
  devices.storages.clear();
  Ids();
  Ids();
  // Still answering, and the drive keeps its one storage object.
  EXPECT_EQ(portable->GetStorageId(), L"dev1_s10001");
  bool isDrive = false;
  EXPECT_EQ(drive->IsDriveStorage(&isDrive), S_OK);
  EXPECT_TRUE(isDrive);
  IDeviceStorage* again = nullptr;
  ASSERT_EQ(StorageRegistry::Instance().FindById(L"K", &again), S_OK);
  EXPECT_EQ(again, drive);
}

TEST(StorageRegistry, PortableDeviceFailureKeepsThePreviousList) {
  ScopedVirtualHandheld handheld("[Drive K]\n");
  ScopedPortableDevices devices({{L"dev1", L"s10001"}});
  Ids();
  devices.failure = ORB_E_NOT_FOUND;
  std::vector<std::wstring> ids;
  EXPECT_EQ(StorageRegistry::Instance().Enumerate(&ids), ORB_E_NOT_FOUND);
  EXPECT_TRUE(ids.empty());
  IDeviceStorage* storage = nullptr;
  EXPECT_EQ(StorageRegistry::Instance().FindById(L"dev1_s10001", &storage), S_OK);
}

TEST(StorageRegistry, FindByIdArguments) {
  ScopedVirtualHandheld handheld("[Drive K]\n");
  ScopedPortableDevices devices;
  Ids();
  StorageRegistry& registry = StorageRegistry::Instance();
  IDeviceStorage* storage = reinterpret_cast<IDeviceStorage*>(0x1);
  EXPECT_EQ(registry.FindById(L"K", nullptr), E_POINTER);
  EXPECT_EQ(registry.FindById(L"", &storage), E_INVALIDARG);
  EXPECT_EQ(registry.FindById(L"\\\\?\\wpdbusenumroot#umb#2&37c186b&0&storage#volume_s1", &storage), E_NOTIMPL);
  EXPECT_EQ(registry.FindById(L"\\\\?\\WPDBUSENUMROOT#UMB_s1", &storage), E_NOTIMPL);
  EXPECT_EQ(registry.FindById(L"k", &storage), S_FALSE);  // identifiers compare exactly
  EXPECT_EQ(storage, reinterpret_cast<IDeviceStorage*>(0x1));
  EXPECT_EQ(registry.FindById(L"K", &storage), S_OK);
  EXPECT_EQ(storage->GetStorageId(), L"K");
}

TEST(StorageRegistry, FindByDriveLetterFindsOnlyRemovableDrives) {
  ScopedVirtualHandheld handheld("[Drive K]\n[Drive F]\nType = fixed\n");
  // A portable device whose identifier begins with the letter is no drive.
  ScopedPortableDevices devices({{L"K-device", L"s1"}});
  StorageRegistry& registry = StorageRegistry::Instance();
  IDeviceStorage* storage = nullptr;
  ASSERT_EQ(registry.FindByDriveLetter(L'K', &storage), S_OK);
  EXPECT_EQ(storage->GetStorageId(), L"K");
  storage = nullptr;
  EXPECT_EQ(registry.FindByDriveLetter(L'F', &storage), S_FALSE);
  EXPECT_EQ(registry.FindByDriveLetter(L'Q', &storage), S_FALSE);
  EXPECT_EQ(storage, nullptr);
  EXPECT_EQ(registry.FindByDriveLetter(L'K', nullptr), E_POINTER);
  EXPECT_EQ(registry.FindByDriveLetter(0, &storage), E_POINTER);
  devices.failure = E_ACCESSDENIED;
  EXPECT_EQ(registry.FindByDriveLetter(L'K', &storage), E_ACCESSDENIED);
}

}  // namespace
