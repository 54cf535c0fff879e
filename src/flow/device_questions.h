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
#include "device/drive_selection.h"
#include "device/storage_selection.h"

// The storage kinds, selection policies and flags are the device layer's
// (orb::device::StorageKind, kPolicy..., kSelected... in
// device/storage_selection.h); the lowest system software accepted is
// orb::device::kMinimumSystemVersion (device/drive_selection.h).

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
  // The target storage for a policy (orb::device::kPolicy...), its
  // selection flags and its kind (orb::device::StorageKind; kind may be
  // null). S_OK, or
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
