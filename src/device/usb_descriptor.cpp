// usb_descriptor.cpp - the portable half: a device simulation answers in
// place of the system.
#include "device/usb_descriptor.h"

#include "platform/drive_table.h"

using orb::platform::UsbIdentity;
using orb::platform::UsbLookup;

CUsbDescriptor::~CUsbDescriptor() = default;

bool CUsbDescriptor::GetUsbIdentity(wchar_t letter, std::uint16_t* vendorId, std::uint16_t* productId,
                                    std::wstring* serialNumber) {
  if (!orb::platform::IsDriveLetter(letter)) return false;
  const wchar_t upper = static_cast<wchar_t>(L'A' + orb::platform::DriveIndex(letter));
  UsbIdentity identity;
  orb::platform::DeviceSimulation* simulation = orb::platform::ActiveDeviceSimulation();
  const UsbLookup lookup = simulation != nullptr ? simulation->UsbIdentityOf(upper, &identity)
                                                 : orb::device::SystemUsbIdentity(upper, &identity);
  if (lookup == UsbLookup::kFailed) return false;
  if (lookup == UsbLookup::kFound) {
    if (vendorId != nullptr) *vendorId = identity.vendorId;
    if (productId != nullptr) *productId = identity.productId;
    if (serialNumber != nullptr) *serialNumber = identity.serialNumber;
  }
  return true;
}

bool CUsbDescriptor::GetUsbSerialNumber(wchar_t letter, std::wstring* serialNumber) {
  if (serialNumber == nullptr) return false;
  serialNumber->clear();
  std::uint16_t vendorId = 0;
  std::uint16_t productId = 0;
  return GetUsbIdentity(letter, &vendorId, &productId, serialNumber);
}

bool CUsbDescriptor::GetUsbIds(wchar_t letter, std::uint16_t* vendorId, std::uint16_t* productId) {
  if (vendorId == nullptr || productId == nullptr) return false;
  *vendorId = 0;
  *productId = 0;
  std::wstring serialNumber;
  return GetUsbIdentity(letter, vendorId, productId, &serialNumber);
}
