// usb_descriptor_win32.cpp (Windows) - from the drive's disk number through
// the device tree to its hub port, and the device descriptor read there.
#include "device/usb_descriptor.h"

#include <cstddef>
#include <cstring>
#include <vector>

#include "platform/win32/windows_api.h"
#include <cfgmgr32.h>
#include <setupapi.h>
#include <usbioctl.h>
#include <winioctl.h>

namespace orb::device {

namespace {

using orb::platform::UsbIdentity;
using orb::platform::UsbLookup;

// {53F56307-B6BF-11D0-94F2-00A0C91EFB8B}: disk device interfaces.
const GUID kDiskInterface = {0x53F56307, 0xB6BF, 0x11D0, {0x94, 0xF2, 0x00, 0xA0, 0xC9, 0x1E, 0xFB, 0x8B}};
const wchar_t kHubInterfaceSuffix[] = L"#{f18a0e88-c30c-11d0-8815-00a0c906bed8}";

constexpr DWORD kMaxDetailBytes = 1024;
constexpr DWORD kConnectionInfoBytes = 365;  // the information and room for 30 pipes
constexpr DWORD kDriverKeyProbeBytes = 10;
constexpr DWORD kDescriptorRequestBytes = 12;
constexpr DWORD kDeviceDescriptorBytes = 18;
constexpr DWORD kStringRoom = 255;
constexpr USHORT kLanguageEnglishUs = 0x0409;

static_assert(sizeof(USB_NODE_CONNECTION_DRIVERKEY_NAME) == kDriverKeyProbeBytes);
static_assert(offsetof(USB_DESCRIPTOR_REQUEST, Data) == kDescriptorRequestBytes);
static_assert(offsetof(USB_NODE_CONNECTION_INFORMATION_EX, PipeList) + 30 * sizeof(USB_PIPE_INFO) ==
              kConnectionInfoBytes);

class Handle {
 public:
  explicit Handle(HANDLE h) : h_(h == INVALID_HANDLE_VALUE ? nullptr : h) {}
  ~Handle() {
    if (h_ != nullptr) CloseHandle(h_);
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  HANDLE get() const { return h_; }
  explicit operator bool() const { return h_ != nullptr; }

 private:
  HANDLE h_;
};

class DeviceList {
 public:
  explicit DeviceList(HDEVINFO list) : list_(list) {}
  ~DeviceList() {
    if (list_ != INVALID_HANDLE_VALUE) SetupDiDestroyDeviceInfoList(list_);
  }
  DeviceList(const DeviceList&) = delete;
  DeviceList& operator=(const DeviceList&) = delete;
  HDEVINFO get() const { return list_; }
  bool ok() const { return list_ != INVALID_HANDLE_VALUE; }

 private:
  HDEVINFO list_;
};

HANDLE OpenForQuery(const wchar_t* path) {
  return CreateFileW(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
}

bool DeviceNumberOf(HANDLE device, DWORD* number) {
  STORAGE_DEVICE_NUMBER answer{};
  static_assert(sizeof answer == 12);
  DWORD returned = 0;
  if (!DeviceIoControl(device, IOCTL_STORAGE_GET_DEVICE_NUMBER, nullptr, 0, &answer, sizeof answer, &returned,
                       nullptr)) {
    return false;
  }
  *number = answer.DeviceNumber;
  return true;
}

bool DeviceIdOf(DEVINST node, std::size_t chars, std::wstring* id) {
  std::vector<wchar_t> buffer(chars + 1, L'\0');
  if (CM_Get_Device_IDW(node, buffer.data(), static_cast<ULONG>(chars), 0) != CR_SUCCESS) return false;
  buffer.back() = L'\0';
  *id = buffer.data();
  return true;
}

bool SameId(const std::wstring& a, const std::wstring& b) {
  return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()),
                              TRUE) == CSTR_EQUAL;
}

// The instance identifier of the present USB device whose driver key is
// `driverKey`; empty when none.
std::wstring UsbInstanceWithDriverKey(const std::wstring& driverKey) {
  DeviceList devices(SetupDiGetClassDevsW(nullptr, L"USB", nullptr, DIGCF_PRESENT | DIGCF_ALLCLASSES));
  if (!devices.ok()) return {};
  SP_DEVINFO_DATA info{};
  info.cbSize = sizeof info;
  for (DWORD i = 0; SetupDiEnumDeviceInfo(devices.get(), i, &info); ++i) {
    wchar_t driver[MAX_PATH + 1] = {};
    if (!SetupDiGetDeviceRegistryPropertyW(devices.get(), &info, SPDRP_DRIVER, nullptr,
                                           reinterpret_cast<BYTE*>(driver), sizeof driver - sizeof(wchar_t),
                                           nullptr)) {
      continue;
    }
    if (driverKey != driver) continue;
    wchar_t instance[MAX_PATH + 1] = {};
    if (!SetupDiGetDeviceInstanceIdW(devices.get(), &info, instance, MAX_PATH, nullptr)) return {};
    return instance;
  }
  return {};
}

bool ConnectedAt(HANDLE hub, ULONG port) {
  alignas(8) BYTE buffer[kConnectionInfoBytes] = {};
  auto* ex = reinterpret_cast<USB_NODE_CONNECTION_INFORMATION_EX*>(buffer);
  ex->ConnectionIndex = port;
  DWORD returned = 0;
  if (!DeviceIoControl(hub, IOCTL_USB_GET_NODE_CONNECTION_INFORMATION_EX, buffer, sizeof buffer, buffer,
                       sizeof buffer, &returned, nullptr)) {
    // Older hubs: the same answer with a low-speed flag in the speed field.
    std::memset(buffer, 0, sizeof buffer);
    auto* old = reinterpret_cast<USB_NODE_CONNECTION_INFORMATION*>(buffer);
    old->ConnectionIndex = port;
    if (!DeviceIoControl(hub, IOCTL_USB_GET_NODE_CONNECTION_INFORMATION, buffer, sizeof buffer, buffer,
                         sizeof buffer, &returned, nullptr)) {
      return false;
    }
    ex->Speed = old->LowSpeed ? UsbLowSpeed : UsbFullSpeed;
  }
  return ex->ConnectionStatus == DeviceConnected;
}

bool DriverKeyAt(HANDLE hub, ULONG port, std::wstring* key) {
  USB_NODE_CONNECTION_DRIVERKEY_NAME probe{};
  probe.ConnectionIndex = port;
  DWORD returned = 0;
  if (!DeviceIoControl(hub, IOCTL_USB_GET_NODE_CONNECTION_DRIVERKEY_NAME, &probe, sizeof probe, &probe,
                       sizeof probe, &returned, nullptr) ||
      probe.ActualLength <= kDriverKeyProbeBytes) {
    return false;
  }
  std::vector<BYTE> buffer(probe.ActualLength + sizeof(wchar_t), 0);
  auto* name = reinterpret_cast<USB_NODE_CONNECTION_DRIVERKEY_NAME*>(buffer.data());
  name->ConnectionIndex = port;
  if (!DeviceIoControl(hub, IOCTL_USB_GET_NODE_CONNECTION_DRIVERKEY_NAME, name, probe.ActualLength, name,
                       probe.ActualLength, &returned, nullptr)) {
    return false;
  }
  const std::size_t chars = (probe.ActualLength - offsetof(USB_NODE_CONNECTION_DRIVERKEY_NAME, DriverKeyName)) /
                            sizeof(wchar_t);
  const wchar_t* text = name->DriverKeyName;
  std::size_t length = 0;
  while (length < chars && text[length] != L'\0') ++length;
  key->assign(text, length);
  return true;
}

// One descriptor request at the port; the answer's data bytes, or false.
bool RequestDescriptor(HANDLE hub, ULONG port, USHORT value, USHORT index, DWORD room,
                       std::vector<BYTE>* data) {
  std::vector<BYTE> buffer(kDescriptorRequestBytes + room, 0);
  auto* request = reinterpret_cast<USB_DESCRIPTOR_REQUEST*>(buffer.data());
  request->ConnectionIndex = port;
  request->SetupPacket.wValue = value;
  request->SetupPacket.wIndex = index;
  request->SetupPacket.wLength = static_cast<USHORT>(room);
  DWORD returned = 0;
  if (!DeviceIoControl(hub, IOCTL_USB_GET_DESCRIPTOR_FROM_NODE_CONNECTION, buffer.data(),
                       static_cast<DWORD>(buffer.size()), buffer.data(), static_cast<DWORD>(buffer.size()),
                       &returned, nullptr) ||
      returned < kDescriptorRequestBytes || returned > buffer.size()) {
    return false;
  }
  data->assign(buffer.begin() + kDescriptorRequestBytes, buffer.begin() + returned);
  return true;
}

bool IdentityAtPort(HANDLE hub, ULONG port, UsbIdentity* identity) {
  std::vector<BYTE> device;
  if (!RequestDescriptor(hub, port, 0x0100, 0, kDeviceDescriptorBytes, &device) ||
      device.size() != kDeviceDescriptorBytes) {
    return false;
  }
  const BYTE serialIndex = device[16];
  if (device[0] < kDeviceDescriptorBytes || serialIndex == 0) return false;
  std::vector<BYTE> text;
  if (!RequestDescriptor(hub, port, static_cast<USHORT>(0x0300 + serialIndex), kLanguageEnglishUs, kStringRoom,
                         &text) ||
      text.size() < 2) {
    return false;
  }
  // A string descriptor: its length, type 3, then UTF-16 code units. Only
  // the bytes the hub really returned are read.
  std::size_t length = text[0];
  if (length > text.size()) length = text.size();
  std::wstring serial;
  for (std::size_t i = 2; i + 1 < length; i += 2) {
    serial.push_back(static_cast<wchar_t>(text[i] | (text[i + 1] << 8)));
  }
  identity->vendorId = static_cast<std::uint16_t>(device[8] | (device[9] << 8));
  identity->productId = static_cast<std::uint16_t>(device[10] | (device[11] << 8));
  identity->serialNumber = serial;
  return true;
}

// Walks the hub's ports for the one whose device is `usbDeviceId`.
bool IdentityFromHub(const std::wstring& hubPath, const std::wstring& usbDeviceId, UsbIdentity* identity) {
  Handle hub(CreateFileW(hubPath.c_str(), GENERIC_WRITE, FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr));
  if (!hub) return false;
  USB_NODE_INFORMATION node{};
  DWORD returned = 0;
  if (!DeviceIoControl(hub.get(), IOCTL_USB_GET_NODE_INFORMATION, &node, sizeof node, &node, sizeof node,
                       &returned, nullptr)) {
    return false;
  }
  const ULONG ports = node.u.HubInformation.HubDescriptor.bNumberOfPorts;
  for (ULONG port = 1; port <= ports; ++port) {
    if (!ConnectedAt(hub.get(), port)) continue;
    std::wstring driverKey;
    if (!DriverKeyAt(hub.get(), port, &driverKey)) continue;
    const std::wstring instance = UsbInstanceWithDriverKey(driverKey);
    if (instance.empty() || !SameId(instance, usbDeviceId)) continue;
    if (IdentityAtPort(hub.get(), port, identity)) return true;
  }
  return false;
}

}  // namespace

UsbLookup SystemUsbIdentity(wchar_t letter, UsbIdentity* identity) {
  const wchar_t volumePath[] = {L'\\', L'\\', L'.', L'\\', letter, L':', L'\0'};
  DWORD volumeNumber = 0;
  {
    Handle volume(OpenForQuery(volumePath));
    if (!volume || !DeviceNumberOf(volume.get(), &volumeNumber)) return UsbLookup::kFailed;
  }
  DeviceList disks(SetupDiGetClassDevsW(&kDiskInterface, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE));
  if (!disks.ok()) return UsbLookup::kNotFound;
  SP_DEVICE_INTERFACE_DATA iface{};
  iface.cbSize = sizeof iface;
  for (DWORD index = 0; SetupDiEnumDeviceInterfaces(disks.get(), nullptr, &kDiskInterface, index, &iface); ++index) {
    DWORD detailBytes = 0;
    SetupDiGetDeviceInterfaceDetailW(disks.get(), &iface, nullptr, 0, &detailBytes, nullptr);
    if (detailBytes == 0 || detailBytes > kMaxDetailBytes) continue;
    std::vector<BYTE> detailBuffer(detailBytes + sizeof(wchar_t), 0);
    auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_W*>(detailBuffer.data());
    detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W);
    SP_DEVINFO_DATA info{};
    info.cbSize = sizeof info;
    if (!SetupDiGetDeviceInterfaceDetailW(disks.get(), &iface, detail, detailBytes, nullptr, &info)) continue;
    DWORD diskNumber = 0;
    {
      Handle disk(OpenForQuery(detail->DevicePath));
      if (!disk || !DeviceNumberOf(disk.get(), &diskNumber) || diskNumber != volumeNumber) continue;
    }
    DEVINST usbNode = 0;
    DEVINST hubNode = 0;
    std::wstring usbId;
    std::wstring hubId;
    if (CM_Get_Parent(&usbNode, info.DevInst, 0) != CR_SUCCESS || !DeviceIdOf(usbNode, detailBytes, &usbId) ||
        CM_Get_Parent(&hubNode, usbNode, 0) != CR_SUCCESS || !DeviceIdOf(hubNode, detailBytes, &hubId)) {
      continue;
    }
    for (wchar_t& c : hubId) {
      if (c == L'\\') c = L'#';
    }
    if (IdentityFromHub(L"\\\\.\\" + hubId + kHubInterfaceSuffix, usbId, identity)) return UsbLookup::kFound;
  }
  return UsbLookup::kNotFound;
}

}  // namespace orb::device
