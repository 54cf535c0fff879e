// drive_table.cpp - the portable half of the drive table: letters, and the
// device simulation answering before the system does.
#include "platform/drive_table.h"

#include "base/status.h"
#include "platform/device_simulation.h"
#include "platform/drive_root.h"
#include "platform/file_system.h"
#include "platform/system_parts.h"

namespace orb::platform {

namespace {
DeviceSimulation* g_simulation = nullptr;

wchar_t Upper(wchar_t letter) { return static_cast<wchar_t>(L'A' + DriveIndex(letter)); }
}  // namespace

void InstallDeviceSimulation(DeviceSimulation* simulation) { g_simulation = simulation; }

DeviceSimulation* ActiveDeviceSimulation() { return g_simulation; }

bool IsDriveLetter(wchar_t letter) {
  return (letter >= L'A' && letter <= L'Z') || (letter >= L'a' && letter <= L'z');
}

int DriveIndex(wchar_t letter) {
  if (letter >= L'a' && letter <= L'z') return static_cast<int>(letter - L'a');
  if (letter >= L'A' && letter <= L'Z') return static_cast<int>(letter - L'A');
  return -1;
}

std::uint32_t GetLogicalDriveMask() {
  std::uint32_t mask = 0;
  if (g_simulation != nullptr && g_simulation->DriveMask(&mask)) return mask & 0x03FFFFFFu;
  return SystemLogicalDriveMask() & 0x03FFFFFFu;
}

DriveType GetDriveType(wchar_t letter) {
  if (!IsDriveLetter(letter)) return DriveType::kNoRootDir;
  DriveType type = DriveType::kUnknown;
  if (g_simulation != nullptr && g_simulation->DriveTypeOf(Upper(letter), &type)) return type;
  return SystemDriveType(Upper(letter));
}

SysError GetDriveSpace(wchar_t letter, DriveSpace* space) {
  if (space == nullptr) return win32_error::kInvalidParameter;
  if (!IsDriveLetter(letter)) return win32_error::kPathNotFound;
  SysError error = win32_error::kSuccess;
  if (g_simulation != nullptr && g_simulation->DriveSpaceOf(Upper(letter), &error, space)) return error;
  std::wstring root;
  if ((error = DriveRoot(letter, &root)) != win32_error::kSuccess) return error;
  return GetDiskSpace(root, &space->freeBytesForCaller, &space->totalBytes);
}

}  // namespace orb::platform
