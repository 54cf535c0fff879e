// usb_descriptor.h - which USB device is behind a drive letter: its vendor
// and product identifiers and its serial-number text.
#pragma once

#include <cstdint>
#include <string>

#include "platform/device_simulation.h"

class CUsbDescriptor {
 public:
  CUsbDescriptor() = default;
  virtual ~CUsbDescriptor();

  // False when the drive cannot be questioned. True with nothing written
  // when no USB device with a serial number was found behind it.
  bool GetUsbIdentity(wchar_t letter, std::uint16_t* vendorId, std::uint16_t* productId,
                      std::wstring* serialNumber);
  // Start from an empty text and zero identifiers, so a true answer with
  // those means the device was not found.
  bool GetUsbSerialNumber(wchar_t letter, std::wstring* serialNumber);
  bool GetUsbIds(wchar_t letter, std::uint16_t* vendorId, std::uint16_t* productId);
};

namespace orb::device {
// The system's answer, one implementation per platform.
orb::platform::UsbLookup SystemUsbIdentity(wchar_t letter, orb::platform::UsbIdentity* identity);
}  // namespace orb::device
