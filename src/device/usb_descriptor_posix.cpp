// usb_descriptor_posix.cpp (Linux) - the USB device above the drive's block
// device in sysfs.
#include "device/usb_descriptor.h"

#include "platform/posix/removable_volumes.h"

namespace orb::device {

orb::platform::UsbLookup SystemUsbIdentity(wchar_t letter, orb::platform::UsbIdentity* identity) {
  orb::platform::posix::RemovableVolume volume;
  if (!orb::platform::posix::FindSystemVolume(letter, &volume)) return orb::platform::UsbLookup::kFailed;
  return orb::platform::posix::ReadUsbIdentity(volume.usbDevice, identity);
}

}  // namespace orb::device
