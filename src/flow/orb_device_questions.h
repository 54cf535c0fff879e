// orb_device_questions.h - the program's answers to the flow's device
// questions: the device layer behind IDeviceQuestions.
#pragma once

#include "flow/device_questions.h"

class COrbDeviceQuestions : public IDeviceQuestions {
 public:
  HRESULT ScanConsoleDrives(std::uint32_t* mask) override;
  bool IsSameUsbDevice(wchar_t a, wchar_t b) override;
  bool IsSystemStorageDrive(wchar_t drive) override;
  bool IsSingleDriveModel(wchar_t drive) override;
  HRESULT IsSystemVersionOlder(wchar_t drive, const char* minimumVersion, bool* older) override;
  HRESULT CheckMedia(wchar_t drive) override;
  HRESULT SelectStorage(int policy, IDeviceStorage** storage, std::uint32_t* selectionFlags,
                        std::int32_t* kind) override;
  HRESULT FindByDriveLetter(wchar_t letter, IDeviceStorage** storage) override;
};
