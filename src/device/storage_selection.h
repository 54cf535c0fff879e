// storage_selection.h - which storage an operation writes to: a console
// drive of the handheld, or a portable device's storage, by policy.
#pragma once

#include <cstdint>

#include "base/status.h"
#include "device/device_storage.h"

namespace orb::device {

// Kind of the chosen storage; the flow picks its message texts by it.
enum StorageKind : std::int32_t {
  kStorageKindNotSet = 0,  // the card's texts are used
  kStorageKindMemoryCard = 1,
  kStorageKindSdCard = 2,  // a portable device that is not a ZELK device
  kStorageKindSystemStorage = 3,
  kStorageKindPortable = 4,
};

// Selection flags reported with the chosen storage.
constexpr std::uint32_t kSelectedPortableStorage = 0;  // policy 3 chose a portable-device storage
constexpr std::uint32_t kSelectedConsoleDrive = 1;     // the drive letter is the storage's identifier
constexpr std::uint32_t kSelectedZelkDevice = 8;
constexpr std::uint32_t kSelectedPortableDevice = 272;  // policies 1 and 2 chose a portable device

// Policies: 3 plain media, 1 video, 2 comic; 0 selects like 2.
constexpr int kPolicyDefault = 0;
constexpr int kPolicyVideo = 1;
constexpr int kPolicyComic = 2;
constexpr int kPolicyPlainMedia = 3;

// The storage object id under which a portable device keeps its storage
// for comics and videos.
constexpr wchar_t kPortableContentStorage[] = L"_s10001";

}  // namespace orb::device

// S_OK with the storage (it belongs to the storage registry and stays valid
// for the life of the process), its selection flags and, when kind is not
// null, its kind. ORB_E_NO_DEVICE, ORB_E_SEVERAL_DEVICES,
// ORB_E_DEVICE_TOO_OLD or another failure otherwise.
HRESULT SelectStorage(int policy, IDeviceStorage** storage, std::uint32_t* flags, std::int32_t* kind);
