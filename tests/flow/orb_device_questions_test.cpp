// The program's device questions on a virtual handheld, alone and under the
// game flow's drive choice.
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
  EXPECT_EQ(devices.IsSystemVersionOlder(L'F', orb::kMinimumSystemSoftware, &older), S_OK);
  EXPECT_TRUE(older);
  EXPECT_EQ(devices.CheckMedia(L'E'), S_OK);
  EXPECT_EQ(devices.CheckMedia(L'G'), ORB_E_MEDIUM_LOCKED);
  EXPECT_EQ(devices.CheckMedia(L'H'), ORB_E_NO_MEDIUM);

  // Not in this build yet: refused, never "no device".
  IDeviceStorage* storage = nullptr;
  std::uint32_t flags = 7;
  EXPECT_EQ(devices.SelectStorage(orb::kSelectPlainMedia, &storage, &flags, nullptr), E_NOTIMPL);
  EXPECT_EQ(storage, nullptr);
  EXPECT_EQ(devices.FindByDriveLetter(L'E', &storage), E_NOTIMPL);
}

TEST(OrbDeviceQuestionsTest, GameFlowChoosesOnTheVirtualHandheld) {
  orb::ui::SetCurrentLanguage(orb::ui::kLangEnglish);
  struct Case {
    const char* what;
    std::string description;
    HRESULT want;
    std::int32_t kind;
  } cases[] = {
      // The registry is not there yet, so the run ends at the storage lookup.
      {"card and system storage of one handheld: the system storage",
       "[Drive E]\nIdentity = card\n[Drive F]\nIdentity = system\n", E_NOTIMPL, 3},
      {"system software too old", "[Drive E]\nIdentity = card\nSystemVersion = 6.49\n",
       ORB_E_SYSTEM_SOFTWARE_TOO_OLD, 0},
      {"locked card", "[Drive E]\nIdentity = card\nLocked = yes\n", ORB_E_MEDIUM_LOCKED, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    orb::test::ScopedVirtualHandheld handheld(c.description);
    orb::test::TempDir dir;
    orb::ui::ScriptedUserInterface ui;
    COrbDeviceQuestions devices;
    orb::test::FakeOperations operations;
    operations.available = {OperationType::kGamePackage};
    orb::test::InstantClock clock;
    CDownloaderVisualFlow flow(ui, devices, operations, clock);
    flow.SetReleaseFileUrl(orb::test::FileUrl(dir.path() / "none.xpd"));
    flow.SetLockName(L"orbdl-device-questions-test-" + dir.path().filename().wstring());
    const auto file = dir.Write("a.dsf", "[Info]\r\nEID=pngc\r\n[File]\r\nC=http://store.example/pkg\r\n");
    ASSERT_EQ(flow.ReadControlFile(file.wstring().c_str()), S_OK);
    EXPECT_EQ(flow.Start(), c.want);
    EXPECT_EQ(flow.GetStorageKind(), c.kind);
    EXPECT_FALSE(handheld.commands().empty());
  }
  orb::ui::SetCurrentLanguage(0);
}

}  // namespace
