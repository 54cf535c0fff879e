// drive_selection.h - the rules that pick the handheld drive to write to:
// medium checks, one handheld or several, and the system software gate.
//
// Nothing is cached: every question rescans the drives and resends its
// commands.
#pragma once

#include <cstdint>

#include "base/status.h"

namespace orb::device {

// Media-state flags.
constexpr std::uint32_t kMediaCapacityRead = 1;
constexpr std::uint32_t kMediaCardMedium = 2;  // replaces kMediaCapacityRead
constexpr std::uint32_t kMediaLocked = 4;

// The lowest system software a handheld may run to receive content.
constexpr char kMinimumSystemVersion[] = "6.50";

}  // namespace orb::device

HRESULT GetMediaState(wchar_t letter, std::uint32_t* flags);
// S_OK, ORB_E_MEDIUM_LOCKED or ORB_E_NO_MEDIUM.
HRESULT CheckMedia(wchar_t letter);

// Both drives report the same, non-empty USB serial-number text.
bool IsSameUsbDevice(wchar_t a, wchar_t b);
// The drive's USB device is the model that has a single drive.
bool IsSingleDriveModel(wchar_t letter);

// CFKDevice::IsSystemVersionOlder as the flow and the selection ask it:
// E_INVALIDARG passes unchanged, every other failure becomes
// ORB_E_SYSTEM_VERSION_UNREADABLE.
HRESULT IsSystemVersionOlder(wchar_t letter, const char* required, bool* older);

// The console drive to write to and its companion (0 when none):
// S_OK; ORB_S_SINGLE_DRIVE_MODEL for a lone drive of the single-drive model;
// ORB_E_NO_DEVICE, ORB_E_SEVERAL_DEVICES, ORB_E_DEVICE_TOO_OLD or another
// failure.
HRESULT SelectConsoleDrive(wchar_t* target, wchar_t* companion);
