// The virtual handheld's answers, byte for byte.
#include "virtual_handheld/virtual_handheld.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "base/status.h"
#include "platform/drive_root.h"
#include "platform/file_system.h"

namespace {

using namespace orb::virtual_handheld;
using orb::platform::ScsiDirection;
using orb::platform::ScsiOutcome;

DriveDescription Describe(const std::string& keys) {
  HandheldDescription d;
  std::string error;
  EXPECT_TRUE(ParseHandheldDescription("[Drive K]\n" + keys, &d, &error)) << error;
  return d.drives.at(0);
}

struct Answer {
  ScsiOutcome outcome;
  std::vector<std::uint8_t> data;
};

Answer Ask(const DriveDescription& drive, std::vector<std::uint8_t> cdb, std::size_t room) {
  Answer a;
  a.data.assign(room, 0xEE);
  AnswerScsi(drive, cdb.data(), cdb.size(), ScsiDirection::kIn, a.data.data(), static_cast<std::uint32_t>(room),
             &a.outcome);
  return a;
}

void ExpectIllegalRequest(const Answer& a, std::uint8_t asc) {
  EXPECT_EQ(a.outcome.status, 0x02);
  EXPECT_EQ(a.outcome.sense[0], 0x70);
  EXPECT_EQ(a.outcome.sense[2], 0x05);
  EXPECT_EQ(a.outcome.sense[12], asc);
  EXPECT_EQ(a.outcome.sense[13], 0x00);
}

TEST(VirtualHandheld, InquiryAnswer) {
  const Answer a = Ask(Describe("Identity = system\nRevision = 1.23"), {0x12, 0, 0, 0, 0x24, 0}, 36);
  EXPECT_EQ(a.outcome.status, 0);
  const std::uint8_t header[8] = {0x00, 0x80, 0x02, 0x02, 31, 0, 0, 0};
  EXPECT_EQ(std::memcmp(a.data.data(), header, 8), 0);
  EXPECT_EQ(std::string(a.data.begin() + 8, a.data.end()), "VORA    \"KVX\" SS        1.23");

  // The allocation length and the buffer both cut the answer.
  const Answer shortAlloc = Ask(Describe(""), {0x12, 0, 0, 0, 0x10, 0}, 36);
  EXPECT_EQ(shortAlloc.data[15], 0x20);  // last byte of "VORA    "
  EXPECT_EQ(shortAlloc.data[16], 0xEE);
  const Answer shortBuffer = Ask(Describe(""), {0x12, 0, 0, 0, 0x24, 0}, 5);
  EXPECT_EQ(shortBuffer.data.size(), 5u);

  ExpectIllegalRequest(Ask(Describe(""), {0x12, 0x01, 0x80, 0, 0xFF, 0}, 255), 0x24);  // vital product data
  ExpectIllegalRequest(Ask(Describe("Inquiry = fail"), {0x12, 0, 0, 0, 0x24, 0}, 36), 0x24);
}

TEST(VirtualHandheld, VendorCommands) {
  const DriveDescription drive = Describe("SystemVersion = 6.60\nProductCode = 12 AB");
  Answer version = Ask(drive, {0xFC, 0, 0x90, 'K', 'V', 'X', 'i', 0, 0, 0, 0, 0}, 1024);
  EXPECT_EQ(version.outcome.status, 0);
  EXPECT_EQ(std::memcmp(version.data.data(), "6.60\0\0\0", 7), 0);
  EXPECT_EQ(version.data[1023], 0);
  Answer code = Ask(drive, {0xFC, 0, 0xA5, 'K', 'V', 'X', 'i', 0, 2, 0, 0, 0}, 2);
  EXPECT_EQ(code.outcome.status, 0);
  EXPECT_EQ(code.data, (std::vector<std::uint8_t>{0x12, 0xAB}));

  // Without the signature, or with an unknown function, the device refuses.
  ExpectIllegalRequest(Ask(drive, {0xFC, 0, 0x90, 'K', 'V', 'X', 'I', 0, 0, 0, 0, 0}, 1024), 0x24);
  ExpectIllegalRequest(Ask(drive, {0xFC, 0, 0x91, 'K', 'V', 'X', 'i', 0, 0, 0, 0, 0}, 1024), 0x24);
  ExpectIllegalRequest(Ask(drive, {0xFC, 0, 0x90, 'K', 'V', 'X', 'i'}, 1024), 0x24);
  // A drive that is not a handheld does not know the operation at all.
  ExpectIllegalRequest(Ask(Describe("Identity = other"), {0xFC, 0, 0x90, 'K', 'V', 'X', 'i', 0, 0, 0, 0, 0}, 1024),
                       0x20);
  ExpectIllegalRequest(Ask(Describe("SystemVersion = unreadable"), {0xFC, 0, 0x90, 'K', 'V', 'X', 'i', 0, 0, 0, 0, 0},
                           1024),
                       0x24);
}

TEST(VirtualHandheld, ModeSenseHeader) {
  const std::vector<std::uint8_t> modeSense = {0x5A, 0, 0x20, 0, 0, 0, 0, 0, 0x6C, 0};
  Answer card = Ask(Describe("Locked = no"), modeSense, 108);
  EXPECT_EQ(card.outcome.status, 0);
  const std::uint8_t want[16] = {0, 14, 0x20, 0x00, 0, 0, 0, 0, 0x20, 6, 0, 0, 0, 0, 0, 0};
  EXPECT_EQ(std::memcmp(card.data.data(), want, sizeof want), 0);
  EXPECT_EQ(card.data[16], 0xEE);
  Answer locked = Ask(Describe("Locked = yes\nMediumType = 0"), modeSense, 108);
  EXPECT_EQ(locked.data[2], 0x00);
  EXPECT_EQ(locked.data[3], 0x80);
  Answer cut = Ask(Describe(""), {0x5A, 0, 0x20, 0, 0, 0, 0, 0, 0x04, 0}, 108);
  EXPECT_EQ(cut.data[3], 0x00);
  EXPECT_EQ(cut.data[4], 0xEE);
  ExpectIllegalRequest(Ask(Describe(""), {0x5A, 0, 0x08, 0, 0, 0, 0, 0, 0x6C, 0}, 108), 0x24);
  ExpectIllegalRequest(Ask(Describe("ModeSense = fail"), modeSense, 108), 0x24);
  ExpectIllegalRequest(Ask(Describe("Identity = other"), modeSense, 108), 0x24);
  ExpectIllegalRequest(Ask(Describe(""), {0x28, 0, 0, 0, 0, 0, 0, 0, 1, 0}, 512), 0x20);
}

TEST(VirtualHandheld, DriveTableOnlyWhenItOwnsIt) {
  HandheldDescription d;
  std::string error;
  ASSERT_TRUE(ParseHandheldDescription(
      "[Drive K]\nRoot = /tmp/k\nCapacity = 100\nFree = 40\n[Drive L]\nType = cdrom\n", &d, &error));
  VirtualHandheld owner(d, true);
  VirtualHandheld guest(d, false);
  std::uint32_t mask = 0;
  ASSERT_TRUE(owner.DriveMask(&mask));
  EXPECT_EQ(mask, (1u << 10) | (1u << 11));
  EXPECT_FALSE(guest.DriveMask(&mask));
  orb::platform::DriveType type{};
  ASSERT_TRUE(owner.DriveTypeOf(L'L', &type));
  EXPECT_EQ(type, orb::platform::DriveType::kCdRom);
  ASSERT_TRUE(owner.DriveTypeOf(L'M', &type));
  EXPECT_EQ(type, orb::platform::DriveType::kNoRootDir);
  EXPECT_FALSE(guest.DriveTypeOf(L'L', &type));
  // The described space is answered on every platform; otherwise the
  // volume under the drive's root answers.
  orb::platform::SysError spaceError = 1;
  orb::platform::DriveSpace space;
  ASSERT_TRUE(guest.DriveSpaceOf(L'K', &spaceError, &space));
  EXPECT_EQ(spaceError, 0u);
  EXPECT_EQ(space.totalBytes, 100u);
  EXPECT_EQ(space.freeBytesForCaller, 40u);
  EXPECT_FALSE(owner.DriveSpaceOf(L'L', &spaceError, &space));
  EXPECT_FALSE(guest.DriveSpaceOf(L'M', &spaceError, &space));
  // SCSI and USB only for described drives.
  EXPECT_TRUE(guest.ScsiOpen(L'K'));
  EXPECT_FALSE(guest.ScsiOpen(L'M'));
  orb::platform::UsbIdentity usb;
  EXPECT_EQ(guest.UsbIdentityOf(L'M', &usb), orb::platform::UsbLookup::kFailed);
  EXPECT_EQ(guest.UsbIdentityOf(L'K', &usb), orb::platform::UsbLookup::kFound);
  EXPECT_EQ(usb.serialNumber, L"KVX-VIRTUAL-1");

  // Where it owns the drive table, the drives' files are on their roots.
  owner.MapDrives();
  std::wstring root;
  EXPECT_EQ(orb::platform::DriveRoot(L'K', &root), orb::win32_error::kSuccess);
  EXPECT_EQ(root, std::wstring(L"/tmp/k") + orb::platform::kPathSeparator);
  EXPECT_EQ(orb::platform::DriveRoot(L'L', &root), orb::win32_error::kNotReady);  // no Root: no medium
  owner.UnmapDrives();
}

}  // namespace
