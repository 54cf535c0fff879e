// device_questions.h - everything the operation flow asks about the
// handheld's drives and storages, behind one interface.
//
// The flow never constructs device classes itself: it asks an
// IDeviceQuestions, which the program fills with the device layer (the
// facade COrbDownloaderUtils, the selection rules, the storage registry) and
// tests fill with fakes. Every question is answered afresh: nothing about
// devices is cached between two calls, so a handheld plugged in between a
// failed selection and the user's Retry is found on the Retry.
//
// All of it is called on the UI thread, before the operation's worker starts.
#pragma once

#include <cstdint>

#include "base/status.h"

class IDeviceStorage;

namespace orb {

// The kind of the chosen target storage; picks the storage-specific message
// texts (memory card, SD card, system storage).
enum StorageKind : std::int32_t {
  kStorageKindNotSet = 0,        // the memory card's texts are used
  kStorageKindMemoryCard = 1,    // the handheld's memory card
  kStorageKindSdCard = 2,        // an SD card of a portable device
  kStorageKindSystemStorage = 3, // the handheld's internal system storage
  kStorageKindPortable = 4,      // a portable-device storage
};

// The policies of SelectStorage: what the content is.
enum SelectionPolicy : int {
  kSelectVideo = 1,
  kSelectComic = 2,
  kSelectPlainMedia = 3,
};

// Selection flags reported with the chosen storage.
namespace selection_flags {
// A console drive was chosen: the drive letter is the first character of the
// storage identifier.
constexpr std::uint32_t kConsoleDrive = 1;
// A portable device was chosen by the video or comic policy.
constexpr std::uint32_t kPortableDevice = 272;
}  // namespace selection_flags

// The lowest system software a handheld may run to receive a game or plain
// media (compared as text of the form digit, point, two digits).
constexpr char kMinimumSystemSoftware[] = "6.50";

}  // namespace orb

class IDeviceQuestions {
 public:
  virtual ~IDeviceQuestions() = default;

  // --- The drive questions of the facade (COrbDownloaderUtils).
  // The handheld's drives as a mask: bit i is the letter 'A' + i. S_OK also
  // when there is none.
  virtual HRESULT ScanConsoleDrives(std::uint32_t* mask) = 0;
  // Both drives belong to one USB device (same non-empty serial number).
  virtual bool IsSameUsbDevice(wchar_t a, wchar_t b) = 0;
  virtual bool IsSystemStorageDrive(wchar_t drive) = 0;
  // The drive's USB device is the handheld model that has a single drive.
  virtual bool IsSingleDriveModel(wchar_t drive) = 0;
  // S_OK with *older; E_INVALIDARG passed through; every other failure is
  // ORB_E_SYSTEM_VERSION_UNREADABLE.
  virtual HRESULT IsSystemVersionOlder(wchar_t drive, const char* minimumVersion, bool* older) = 0;

  // --- Selection rules.
  // S_OK, ORB_E_MEDIUM_LOCKED, ORB_E_NO_MEDIUM or another failure.
  virtual HRESULT CheckMedia(wchar_t drive) = 0;
  // The target storage for a policy (orb::SelectionPolicy), its selection
  // flags and its kind (orb::StorageKind; kind may be null). S_OK, or
  // ORB_E_NO_DEVICE, ORB_E_SEVERAL_DEVICES, ORB_E_DEVICE_TOO_OLD or another
  // failure. The storage belongs to the storage registry and stays valid for
  // the life of the process.
  virtual HRESULT SelectStorage(int policy, IDeviceStorage** storage, std::uint32_t* selectionFlags,
                                std::int32_t* kind) = 0;

  // --- Storage registry.
  // The drive storage of a letter: S_OK found, S_FALSE not found (*storage
  // null), or a failure. The storage stays valid for the life of the process.
  virtual HRESULT FindByDriveLetter(wchar_t letter, IDeviceStorage** storage) = 0;
};
