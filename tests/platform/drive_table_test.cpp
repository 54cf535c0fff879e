// The drive table with a simulation installed: it answers first, may leave
// a question to the system, and never reports letters past Z.
#include "platform/drive_table.h"

#include <gtest/gtest.h>

#include "base/status.h"
#include "platform/device_simulation.h"
#include "platform/drive_root.h"
#include "support/temp_dir.h"

namespace {

using orb::platform::DriveSpace;
using orb::platform::DriveType;

class PartialSimulation : public orb::platform::DeviceSimulation {
 public:
  PartialSimulation() { orb::platform::InstallDeviceSimulation(this); }
  ~PartialSimulation() override { orb::platform::InstallDeviceSimulation(nullptr); }
  bool DriveMask(std::uint32_t* mask) override {
    *mask = 0xFFFFFFFFu;
    return true;
  }
  bool DriveTypeOf(wchar_t letter, DriveType* type) override {
    asked = letter;
    *type = DriveType::kRamDisk;
    return letter == L'R';
  }
  bool DriveSpaceOf(wchar_t letter, orb::platform::SysError* error, DriveSpace* space) override {
    if (letter != L'R') return false;
    space->totalBytes = 7;
    *error = orb::win32_error::kSuccess;
    return true;
  }
  bool ScsiOpen(wchar_t) override { return false; }
  bool ScsiCommand(wchar_t, const std::uint8_t*, std::size_t, orb::platform::ScsiDirection, void*, std::uint32_t,
                   orb::platform::ScsiOutcome*) override {
    return false;
  }
  orb::platform::UsbLookup UsbIdentityOf(wchar_t, orb::platform::UsbIdentity*) override {
    return orb::platform::UsbLookup::kFailed;
  }
  wchar_t asked = 0;
};

TEST(DriveTable, SimulationAnswersFirst) {
  PartialSimulation simulation;
  EXPECT_EQ(orb::platform::GetLogicalDriveMask(), 0x03FFFFFFu);
  EXPECT_EQ(orb::platform::GetDriveType(L'r'), DriveType::kRamDisk);
  EXPECT_EQ(simulation.asked, L'R');  // letters reach it in upper case
  EXPECT_EQ(orb::platform::GetDriveType(L'1'), DriveType::kNoRootDir);
  DriveSpace space;
  EXPECT_EQ(orb::platform::GetDriveSpace(L'r', &space), orb::win32_error::kSuccess);
  EXPECT_EQ(space.totalBytes, 7u);
  EXPECT_EQ(orb::platform::GetDriveSpace(L'R', nullptr), orb::win32_error::kInvalidParameter);
  EXPECT_EQ(orb::platform::GetDriveSpace(L'?', &space), orb::win32_error::kPathNotFound);
  // Left to the system: the volume under the drive's root, which a mapping
  // may put on any directory.
  orb::test::TempDir dir;
  orb::platform::MapDrive(L'S', dir.path().wstring());
  EXPECT_EQ(orb::platform::GetDriveSpace(L'S', &space), orb::win32_error::kSuccess);
  EXPECT_GT(space.totalBytes, 0u);
  orb::platform::MapDrive(L'S', L"");
  EXPECT_EQ(orb::platform::GetDriveSpace(L'S', &space), orb::win32_error::kNotReady);
  orb::platform::UnmapDrive(L'S');
}

TEST(DriveTable, LettersAndIndexes) {
  EXPECT_TRUE(orb::platform::IsDriveLetter(L'a'));
  EXPECT_TRUE(orb::platform::IsDriveLetter(L'Z'));
  EXPECT_FALSE(orb::platform::IsDriveLetter(L'@'));
  EXPECT_FALSE(orb::platform::IsDriveLetter(L'['));
  EXPECT_EQ(orb::platform::DriveIndex(L'c'), 2);
  EXPECT_EQ(orb::platform::DriveIndex(L'Z'), 25);
  EXPECT_EQ(orb::platform::DriveIndex(L'0'), -1);
}

}  // namespace
