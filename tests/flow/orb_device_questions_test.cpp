// The program's device questions on a virtual handheld, alone and under the
// flows' choice of the target.
#include "flow/orb_device_questions.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "flow/downloader_visual_flow.h"
#include "flow_fakes.h"
#include "support/file_url.h"
#include "support/temp_dir.h"
#include "support/virtual_handheld_fixture.h"
#include "ui/scripted_user_interface.h"
#include "ui/string_table.h"

namespace {

TEST(OrbDeviceQuestionsTest, AnswersFromTheDeviceLayer) {
  orb::test::ScopedVirtualHandheld handheld(
      "[Drive E]\nIdentity = card\n"
      "[Drive F]\nIdentity = system\nSystemVersion = 6.49\n"
      "[Drive G]\nIdentity = card\nLocked = yes\nUsbSerial = other\n"
      "[Drive H]\nIdentity = card\nMediumType = 0x00\nCapacity = unreadable\nUsbSerial = third\n");
  COrbDeviceQuestions devices;
  std::uint32_t mask = 0;
  EXPECT_EQ(devices.ScanConsoleDrives(&mask), S_OK);
  EXPECT_EQ(mask, (1u << 4) | (1u << 5) | (1u << 6) | (1u << 7));
  EXPECT_TRUE(devices.IsSameUsbDevice(L'E', L'F'));
  EXPECT_FALSE(devices.IsSameUsbDevice(L'E', L'G'));
  EXPECT_TRUE(devices.IsSystemStorageDrive(L'F'));
  EXPECT_FALSE(devices.IsSingleDriveModel(L'E'));
  bool older = false;
  EXPECT_EQ(devices.IsSystemVersionOlder(L'F', orb::device::kMinimumSystemVersion, &older), S_OK);
  EXPECT_TRUE(older);
  EXPECT_EQ(devices.CheckMedia(L'E'), S_OK);
  EXPECT_EQ(devices.CheckMedia(L'G'), ORB_E_MEDIUM_LOCKED);
  EXPECT_EQ(devices.CheckMedia(L'H'), ORB_E_NO_MEDIUM);

  // The selection and the registry: one handheld's card and system
  // storage give the system storage (E and F share the default serial).
  IDeviceStorage* storage = nullptr;
  std::uint32_t flags = 7;
  std::int32_t kind = 0;
  EXPECT_EQ(devices.SelectStorage(orb::device::kPolicyPlainMedia, &storage, &flags, &kind), ORB_E_SEVERAL_DEVICES);
  EXPECT_EQ(devices.FindByDriveLetter(L'E', &storage), S_OK);
  ASSERT_NE(storage, nullptr);
  EXPECT_EQ(storage->GetStorageId(), L"E");
  EXPECT_EQ(devices.FindByDriveLetter(L'Q', &storage), S_FALSE);
  EXPECT_EQ(storage, nullptr);
}

TEST(OrbDeviceQuestionsTest, FlowsChooseOnTheVirtualHandheld) {
  orb::ui::SetCurrentLanguage(orb::ui::kLangEnglish);
  struct Case {
    const char* what;
    std::string code;
    std::string description;
    HRESULT want;
    std::int32_t kind;
    const wchar_t* storage;
  } cases[] = {
      {"game: card and system storage of one handheld, the system storage", "pngc",
       "[Drive E]\nIdentity = card\n[Drive F]\nIdentity = system\n", S_OK, 3, L"F"},
      {"game: system software too old", "pngc", "[Drive E]\nIdentity = card\nSystemVersion = 6.49\n",
       ORB_E_SYSTEM_SOFTWARE_TOO_OLD, 0, nullptr},
      {"game: locked card", "pngc", "[Drive E]\nIdentity = card\nLocked = yes\n", ORB_E_MEDIUM_LOCKED, 1, nullptr},
      {"plain media onto the card", "pnv#", "[Drive G]\nIdentity = card\n", S_OK, 1, L"G"},
      {"plain media, no handheld: Retry/Cancel, cancelled", "pnv#", "[Drive G]\nIdentity = other\n",
       ORB_E_CANCELLED, 0, nullptr},
      {"plain media, system software too old", "pnv#", "[Drive G]\nIdentity = card\nSystemVersion = 6.49\n", E_FAIL,
       0, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    orb::test::ScopedVirtualHandheld handheld(c.description);
    orb::test::TempDir dir;
    orb::ui::ScriptedUserInterface ui;
    COrbDeviceQuestions devices;
    orb::test::FakeOperations operations;
    operations.available = {OperationType::kGamePackage, OperationType::kPlainMedia};
    orb::test::InstantClock clock;
    CDownloaderVisualFlow flow(ui, devices, operations, clock);
    flow.SetReleaseFileUrl(orb::test::FileUrl(dir.path() / "none.xpd"));
    flow.SetLockName(L"orbdl-device-questions-test-" + dir.path().filename().wstring());
    const auto file = dir.Write("a.dsf", "[Info]\r\nEID=" + c.code + "\r\n[File]\r\nC=http://store.example/a\r\n");
    ASSERT_EQ(flow.ReadControlFile(file.wstring().c_str()), S_OK);
    EXPECT_EQ(flow.Start(), c.want);
    EXPECT_EQ(flow.GetStorageKind(), c.kind);
    EXPECT_FALSE(handheld.commands().empty());
    ASSERT_EQ(operations.record.storage != nullptr, c.storage != nullptr);
    if (c.storage != nullptr) {
      EXPECT_EQ(operations.record.storage->GetStorageId(), c.storage);
    }
  }
  orb::ui::SetCurrentLanguage(0);
}

}  // namespace
