// removable_volumes.h (POSIX) - the Linux drive table: mounted volumes of
// removable or USB-attached block devices, each given a drive letter.
//
// A volume is a mounted file system (from /proc/self/mountinfo, the mount of
// the file system's own root; the first such mount when there are several)
// whose block device, or the disk it is a partition of, has sysfs
// "removable" = 1 or sits below a USB device. Its drive type is CD-ROM when
// the disk's SCSI peripheral type is 5, removable otherwise.
//
// Letters: the volumes, ordered by mount point (byte order), take the
// letters D to Z in turn (A and B are never used, C stands for the system
// disk), so the same set of mounted volumes always gets the same letters.
// Within one process a volume keeps its letter while it stays mounted, and
// a letter is not handed to another volume while unused letters remain, so
// a storage chosen earlier never silently points at a different device.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/device_simulation.h"
#include "platform/drive_table.h"

namespace orb::platform::posix {

struct RemovableVolume {
  std::string mountPoint;  // as mounted, UTF-8 bytes
  std::string deviceId;    // "major:minor" of the mounted block device
  std::string diskNode;    // whole-disk device node (/dev/sdb), for SCSI commands
  std::string usbDevice;   // sysfs directory of the USB device; empty when none
  DriveType type = DriveType::kRemovable;
};

// The volumes of a mountinfo text, judged against the sysfs tree at sysRoot
// ("/sys" on a running system), in mountinfo order.
std::vector<RemovableVolume> FindRemovableVolumes(std::string_view mountinfo,
                                                  const std::string& sysRoot);

// The identity of the USB device whose sysfs directory is usbDevice: kFound
// with idVendor, idProduct and serial; kNotFound when there is no USB
// device (empty directory name) or it has no serial number, as the Windows
// hub walk skips such a device.
orb::platform::UsbLookup ReadUsbIdentity(const std::string& usbDevice, orb::platform::UsbIdentity* identity);

// Letters for volumes by the rule above, remembered across updates.
class DriveLetterTable {
 public:
  void Update(const std::vector<RemovableVolume>& volumes);
  std::uint32_t Mask() const;
  // Null when the letter names no volume now.
  const RemovableVolume* Find(wchar_t letter) const;

 private:
  struct Slot {
    bool everUsed = false;
    bool present = false;
    std::string key;  // deviceId + mount point of the volume holding it
    RemovableVolume volume;
  };
  Slot slots_[26];
};

// The running system's table, refreshed from /proc/self/mountinfo and /sys
// on every call: the letters present now, and one letter's volume (false
// when the letter names no volume now).
std::uint32_t SystemVolumeMask();
bool FindSystemVolume(wchar_t letter, RemovableVolume* volume);

}  // namespace orb::platform::posix
