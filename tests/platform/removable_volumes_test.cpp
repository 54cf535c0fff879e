// The Linux drive table: which mounted volumes count, and the letter rule.
#include "platform/posix/removable_volumes.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using orb::platform::DriveType;
using orb::platform::posix::DriveLetterTable;
using orb::platform::posix::FindRemovableVolumes;
using orb::platform::posix::ReadUsbIdentity;
using orb::platform::posix::RemovableVolume;

// A small sysfs tree: devices under /sys/devices, /sys/dev/block links.
class FakeSysfs {
 public:
  FakeSysfs() : root_(dir_.path() / "sys") { fs::create_directories(root_ / "dev" / "block"); }

  const fs::path& root() const { return root_; }

  // A disk at `devicePath` (below /sys/devices) with optional partitions.
  fs::path Disk(const std::string& devicePath, const std::string& name, const std::string& id, bool removable,
                const char* scsiType = nullptr) {
    const fs::path disk = root_ / "devices" / devicePath / "block" / name;
    fs::create_directories(disk);
    Write(disk / "removable", removable ? "1\n" : "0\n");
    if (scsiType != nullptr) {
      fs::create_directories(disk / "device");
      Write(disk / "device" / "type", scsiType);
    }
    fs::create_directory_symlink(disk, root_ / "dev" / "block" / id);
    return disk;
  }

  void Partition(const fs::path& disk, const std::string& name, const std::string& id) {
    fs::create_directories(disk / name);
    Write(disk / name / "partition", "1\n");
    fs::create_directory_symlink(disk / name, root_ / "dev" / "block" / id);
  }

  fs::path UsbDevice(const std::string& devicePath, const char* vendor, const char* product, const char* serial) {
    const fs::path dir = root_ / "devices" / devicePath;
    fs::create_directories(dir);
    Write(dir / "idVendor", vendor);
    Write(dir / "idProduct", product);
    if (serial != nullptr) Write(dir / "serial", serial);
    return dir;
  }

  static void Write(const fs::path& file, const std::string& text) { std::ofstream(file) << text; }

 private:
  orb::test::TempDir dir_;
  fs::path root_;
};

std::string Mount(const char* id, const char* root, const char* point) {
  return std::string("36 25 ") + id + " " + root + " " + point + " rw,nosuid - vfat /dev/x rw\n";
}

TEST(RemovableVolumes, RemovableOrUsbVolumesCount) {
  FakeSysfs sys;
  const std::string usbPort = "pci0000:00/0000:00:14.0/usb1/1-2";
  sys.UsbDevice(usbPort, "7a11\n", "0380\n", "KVX-1\n");
  const fs::path sdb = sys.Disk(usbPort + "/1-2:1.0/host6/target6:0:0/6:0:0:0", "sdb", "8:16", false, "0\n");
  sys.Partition(sdb, "sdb1", "8:17");
  sys.Disk(usbPort + "/1-2:1.0/host6/target6:0:0/6:0:0:1", "sdc", "8:32", true, "0\n");  // whole disk mounted
  const fs::path sda = sys.Disk("pci0000:00/0000:00:17.0/ata1/host0/target0:0:0/0:0:0:0", "sda", "8:0", false, "0\n");
  sys.Partition(sda, "sda1", "8:1");
  sys.Disk("pci0000:00/0000:00:17.0/ata2/host1/target1:0:0/1:0:0:0", "sr0", "11:0", true, "5\n");
  sys.Disk("platform/mmc0/mmc0:0001", "mmcblk0", "179:0", true);

  const std::string mountinfo = Mount("8:1", "/", "/") + Mount("0:22", "/", "/proc") +
                                Mount("8:17", "/", "/media/u/KVX\\040CARD") +
                                Mount("8:17", "/", "/mnt/again") +       // second mount of one volume
                                Mount("8:32", "/sub", "/mnt/bind") +     // a bind mount of a subfolder
                                Mount("8:32", "/", "/media/u/SYSTEM") + Mount("11:0", "/", "/media/cdrom") +
                                Mount("179:0", "/", "/media/sd") + Mount("8:99", "/", "/media/gone") +
                                "garbage line\n";
  const std::vector<RemovableVolume> volumes = FindRemovableVolumes(mountinfo, sys.root().string());
  ASSERT_EQ(volumes.size(), 4u);
  EXPECT_EQ(volumes[0].mountPoint, "/media/u/KVX CARD");
  EXPECT_EQ(volumes[0].deviceId, "8:17");
  EXPECT_EQ(volumes[0].diskNode, "/dev/sdb");
  EXPECT_EQ(volumes[0].type, DriveType::kRemovable);
  EXPECT_EQ(fs::path(volumes[0].usbDevice), fs::canonical(sys.root() / "devices" / usbPort));
  EXPECT_EQ(volumes[1].mountPoint, "/media/u/SYSTEM");
  EXPECT_EQ(volumes[1].diskNode, "/dev/sdc");
  EXPECT_EQ(volumes[1].usbDevice, volumes[0].usbDevice);
  EXPECT_EQ(volumes[2].mountPoint, "/media/cdrom");
  EXPECT_EQ(volumes[2].type, DriveType::kCdRom);
  EXPECT_EQ(volumes[2].usbDevice, "");
  EXPECT_EQ(volumes[3].mountPoint, "/media/sd");
  EXPECT_EQ(volumes[3].diskNode, "/dev/mmcblk0");

  orb::platform::UsbIdentity identity;
  ASSERT_EQ(ReadUsbIdentity(volumes[0].usbDevice, &identity), orb::platform::UsbLookup::kFound);
  EXPECT_EQ(identity.vendorId, 0x7A11);
  EXPECT_EQ(identity.productId, 0x0380);
  EXPECT_EQ(identity.serialNumber, L"KVX-1");
  EXPECT_EQ(ReadUsbIdentity("", &identity), orb::platform::UsbLookup::kNotFound);
  const fs::path noSerial = sys.UsbDevice("pci0000:00/usb2/2-1", "0781\n", "5567\n", nullptr);
  EXPECT_EQ(ReadUsbIdentity(noSerial.string(), &identity), orb::platform::UsbLookup::kNotFound);
  const fs::path broken = sys.UsbDevice("pci0000:00/usb2/2-2", "zz\n", "5567\n", "S\n");
  EXPECT_EQ(ReadUsbIdentity(broken.string(), &identity), orb::platform::UsbLookup::kFailed);
}

RemovableVolume Volume(const char* id, const char* point) {
  RemovableVolume v;
  v.deviceId = id;
  v.mountPoint = point;
  return v;
}

std::string Letters(const DriveLetterTable& table) {
  std::string out;
  for (wchar_t l = L'A'; l <= L'Z'; ++l) {
    if (const RemovableVolume* v = table.Find(l)) out += std::string(1, static_cast<char>(l)) + "=" + v->mountPoint + " ";
  }
  return out;
}

TEST(RemovableVolumes, LettersByMountPointAndKeptWithinTheProcess) {
  DriveLetterTable table;
  table.Update({Volume("8:33", "/media/u/SYSTEM"), Volume("8:17", "/media/u/CARD")});
  EXPECT_EQ(Letters(table), "D=/media/u/CARD E=/media/u/SYSTEM ");
  EXPECT_EQ(table.Mask(), (1u << 3) | (1u << 4));

  // The same set in another order gets the same letters.
  DriveLetterTable again;
  again.Update({Volume("8:17", "/media/u/CARD"), Volume("8:33", "/media/u/SYSTEM")});
  EXPECT_EQ(Letters(again), Letters(table));

  // A newcomer that sorts first does not move the others.
  table.Update({Volume("8:33", "/media/u/SYSTEM"), Volume("8:49", "/media/a"), Volume("8:17", "/media/u/CARD")});
  EXPECT_EQ(Letters(table), "D=/media/u/CARD E=/media/u/SYSTEM F=/media/a ");

  // A letter whose volume left is not handed to another one.
  table.Update({Volume("8:33", "/media/u/SYSTEM"), Volume("8:65", "/media/b")});
  EXPECT_EQ(Letters(table), "E=/media/u/SYSTEM G=/media/b ");
  EXPECT_EQ(table.Find(L'D'), nullptr);
  // The same volume back again takes its old letter.
  table.Update({Volume("8:17", "/media/u/CARD"), Volume("8:65", "/media/b")});
  EXPECT_EQ(Letters(table), "D=/media/u/CARD G=/media/b ");
}

TEST(RemovableVolumes, LettersRunOutAtZ) {
  std::vector<RemovableVolume> many;
  std::vector<std::string> points;
  for (int i = 0; i < 30; ++i) points.push_back("/m/" + std::string(1, static_cast<char>('a' + i / 10)) + std::to_string(i % 10));
  for (int i = 0; i < 30; ++i) many.push_back(Volume(("8:" + std::to_string(i)).c_str(), points[i].c_str()));
  DriveLetterTable table;
  table.Update(many);
  EXPECT_EQ(table.Mask(), 0x03FFFFF8u);  // D to Z
  EXPECT_EQ(table.Find(L'Z')->mountPoint, "/m/c2");

  // Once every letter has been used, a free one passes to a newcomer.
  many.erase(many.begin());
  many.push_back(Volume("9:1", "/m/zz"));
  table.Update(many);
  EXPECT_EQ(table.Find(L'D')->mountPoint, "/m/c3");
}

}  // namespace
