// The SCSI front and the rules every back end shares: the drive check, one
// open per drive, and the last-error value made from the sense data.
#include "device/exec_scsi.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>

#include "device/exec_scsi_simulated.h"
#include "device/exec_scsi_vxd.h"

namespace {

using orb::platform::DriveType;
using orb::platform::ScsiDirection;
using orb::platform::ScsiOutcome;

// A device that answers every command with a scripted outcome.
class ScriptedDevice : public orb::platform::DeviceSimulation {
 public:
  ScriptedDevice() { orb::platform::InstallDeviceSimulation(this); }
  ~ScriptedDevice() override { orb::platform::InstallDeviceSimulation(nullptr); }

  bool DriveMask(std::uint32_t* mask) override {
    *mask = 0;
    for (const auto& [letter, type] : types) *mask |= 1u << (letter - L'A');
    return true;
  }
  bool DriveTypeOf(wchar_t letter, DriveType* type) override {
    const auto it = types.find(letter);
    *type = it == types.end() ? DriveType::kNoRootDir : it->second;
    return true;
  }
  bool DriveSpaceOf(wchar_t, orb::platform::SysError*, orb::platform::DriveSpace*) override { return false; }
  bool ScsiOpen(wchar_t) override {
    ++opens;
    return openSucceeds;
  }
  bool ScsiCommand(wchar_t letter, const std::uint8_t* cdb, std::size_t cdbLength, ScsiDirection direction,
                   void* data, std::uint32_t dataLength, ScsiOutcome* out) override {
    lastLetter = letter;
    lastCdbLength = cdbLength;
    lastDirection = direction;
    lastOperation = cdb[0];
    if (direction == ScsiDirection::kIn && data != nullptr) std::memset(data, 0xAB, dataLength);
    *out = outcome;
    return delivered;
  }
  orb::platform::UsbLookup UsbIdentityOf(wchar_t, orb::platform::UsbIdentity*) override {
    return orb::platform::UsbLookup::kFailed;
  }

  std::map<wchar_t, DriveType> types;
  int opens = 0;
  bool openSucceeds = true;
  bool delivered = true;
  ScsiOutcome outcome;
  wchar_t lastLetter = 0;
  std::size_t lastCdbLength = 0;
  ScsiDirection lastDirection = ScsiDirection::kNone;
  std::uint8_t lastOperation = 0;
};

ScsiOutcome Outcome(std::uint8_t status, std::uint8_t senseKey, std::uint8_t asc, std::uint8_t ascq) {
  ScsiOutcome o;
  o.status = status;
  if (status != 0 || senseKey != 0 || asc != 0 || ascq != 0) o.sense[0] = 0x70;
  o.sense[2] = senseKey;
  o.sense[12] = asc;
  o.sense[13] = ascq;
  return o;
}

const std::uint8_t kInquiry[6] = {0x12, 0, 0, 0, 0x24, 0};

TEST(ExecScsi, LastErrorFollowsTheSenseData) {
  struct Case {
    const char* name;
    bool delivered;
    ScsiOutcome outcome;
    bool want;
    std::uint32_t wantError;
  } cases[] = {
      {"good, no sense", true, Outcome(0, 0, 0, 0), true, 0x00000000u},
      {"sense key 0 with an additional sense code still succeeds", true, Outcome(0, 0, 0x5E, 0x01), true,
       0x00005E01u},
      {"check condition, illegal request", true, Outcome(0x02, 0x05, 0x24, 0x00), false, 0xFF052400u},
      {"check condition, not ready, no medium", true, Outcome(0x02, 0x02, 0x3A, 0x00), false, 0xFF023A00u},
      {"good status but a sense key fails", true, Outcome(0, 0x06, 0x28, 0x00), false, 0xFF062800u},
      {"sense key byte kept whole (ILI bit)", true, Outcome(0x02, 0x25, 0x00, 0x00), false, 0xFF250000u},
      {"busy status without sense", true, Outcome(0x08, 0, 0, 0), false, 0xFF000000u},
      {"request never reached the device", false, Outcome(0, 0, 0, 0), false, 0xFF000000u},
  };
  ScriptedDevice device;
  device.types[L'K'] = DriveType::kRemovable;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    device.delivered = c.delivered;
    device.outcome = c.outcome;
    ExecScsi front(ExecScsi::kPassThrough);
    ExecScsiInterface* backEnd = front.GetBackEnd();
    ASSERT_NE(backEnd, nullptr);
    ASSERT_TRUE(backEnd->OpenDrive(L'K' - L'A'));
    std::uint8_t data[36];
    EXPECT_EQ(backEnd->ExecDataIn(kInquiry, sizeof kInquiry, data, sizeof data), c.want);
    EXPECT_EQ(backEnd->GetLastScsiError(), c.wantError);
    EXPECT_EQ(device.lastLetter, L'K');
    EXPECT_EQ(device.lastDirection, ScsiDirection::kIn);
  }
}

TEST(ExecScsi, OpenDriveAcceptsRemovableFixedAndCdRomOnly) {
  struct Case {
    DriveType type;
    bool want;
  } cases[] = {
      {DriveType::kRemovable, true}, {DriveType::kFixed, true},   {DriveType::kCdRom, true},
      {DriveType::kRemote, false},   {DriveType::kRamDisk, false}, {DriveType::kNoRootDir, false},
      {DriveType::kUnknown, false},
  };
  ScriptedDevice device;
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.type));
    device.types[L'M'] = c.type;
    for (int type : {ExecScsi::kPassThrough, ExecScsi::kDriver}) {
      ExecScsi front(type);
      ASSERT_NE(front.GetBackEnd(), nullptr);
      EXPECT_EQ(front.GetBackEnd()->OpenDrive(L'M' - L'A'), c.want);
      EXPECT_EQ(front.GetBackEnd()->GetSelectedDrive(), c.want ? L'M' - L'A' : -1);
    }
  }
  ExecScsi front(ExecScsi::kPassThrough);
  EXPECT_FALSE(front.GetBackEnd()->OpenDrive(-1));
  EXPECT_FALSE(front.GetBackEnd()->OpenDrive(26));
}

TEST(ExecScsi, SameDriveIsOpenedOnceAndCommandsNeedAnOpenDrive) {
  ScriptedDevice device;
  device.types[L'K'] = DriveType::kRemovable;
  device.types[L'L'] = DriveType::kRemovable;
  ExecScsi front(ExecScsi::kPassThrough);
  ExecScsiInterface* backEnd = front.GetBackEnd();
  std::uint8_t data[36];
  EXPECT_FALSE(backEnd->ExecDataIn(kInquiry, sizeof kInquiry, data, sizeof data));
  EXPECT_EQ(backEnd->GetLastScsiError(), 0xFF000000u);
  EXPECT_TRUE(backEnd->OpenDrive(L'K' - L'A'));
  EXPECT_TRUE(backEnd->OpenDrive(L'K' - L'A'));
  EXPECT_EQ(device.opens, 1);
  EXPECT_TRUE(backEnd->OpenDrive(L'L' - L'A'));
  EXPECT_EQ(device.opens, 2);

  // A drive that cannot be opened leaves nothing selected.
  device.openSucceeds = false;
  ExecScsi other(ExecScsi::kPassThrough);
  EXPECT_FALSE(other.GetBackEnd()->OpenDrive(L'K' - L'A'));
  EXPECT_EQ(other.GetBackEnd()->GetSelectedDrive(), -1);
  EXPECT_FALSE(other.GetBackEnd()->ExecNoData(kInquiry, sizeof kInquiry));
}

TEST(ExecScsi, CommandBlocksOutsideOneToSixteenBytesAreRefused) {
  ScriptedDevice device;
  device.types[L'K'] = DriveType::kRemovable;
  ExecScsi front(ExecScsi::kPassThrough);
  ExecScsiInterface* backEnd = front.GetBackEnd();
  ASSERT_TRUE(backEnd->OpenDrive(L'K' - L'A'));
  std::uint8_t cdb[17] = {0x00};
  EXPECT_FALSE(backEnd->ExecNoData(cdb, 0));
  EXPECT_FALSE(backEnd->ExecNoData(cdb, 17));
  EXPECT_EQ(device.lastCdbLength, 0u);  // neither reached the device
  EXPECT_TRUE(backEnd->ExecNoData(cdb, 16));
  EXPECT_EQ(device.lastCdbLength, 16u);
  EXPECT_EQ(device.lastDirection, ScsiDirection::kNone);
  const std::uint8_t payload[4] = {1, 2, 3, 4};
  const std::uint8_t write[10] = {0x2A};
  EXPECT_TRUE(backEnd->ExecDataOut(write, sizeof write, payload, sizeof payload));
  EXPECT_EQ(device.lastDirection, ScsiDirection::kOut);
}

TEST(ExecScsi, FrontChoosesTheBackEndByType) {
  ScriptedDevice device;
  device.types[L'K'] = DriveType::kRemovable;
  EXPECT_NE(dynamic_cast<ExecScsiSimulated*>(ExecScsi(ExecScsi::kPassThrough).GetBackEnd()), nullptr);
  EXPECT_NE(dynamic_cast<ExecScsiVxd*>(ExecScsi(ExecScsi::kDriver).GetBackEnd()), nullptr);
  EXPECT_EQ(ExecScsi(1).GetBackEnd(), nullptr);
  EXPECT_EQ(ExecScsi(-1).GetBackEnd(), nullptr);
  EXPECT_TRUE(IsNtPlatform());
  EXPECT_EQ(ExecScsi::SystemBackEndType(), ExecScsi::kPassThrough);
  EXPECT_FALSE(ScsiPassThroughDriver::IsLoaded());

  // Without the driver, the 9x back end checks the drive but fails every
  // command, and never reaches the device.
  ExecScsi driver(ExecScsi::kDriver);
  ASSERT_TRUE(driver.GetBackEnd()->OpenDrive(L'K' - L'A'));
  std::uint8_t data[36];
  EXPECT_FALSE(driver.GetBackEnd()->ExecDataIn(kInquiry, sizeof kInquiry, data, sizeof data));
  EXPECT_FALSE(driver.GetBackEnd()->ExecNoData(kInquiry, sizeof kInquiry));
  EXPECT_FALSE(driver.GetBackEnd()->ExecDataOut(kInquiry, sizeof kInquiry, data, sizeof data));
  EXPECT_EQ(driver.GetBackEnd()->GetLastScsiError(), 0xFF000000u);
  EXPECT_EQ(device.lastOperation, 0);
}

}  // namespace
