// exec_scsi_win32.cpp (Windows) - which back end fits the system, and the
// Windows 9x driver handle.
#include "device/exec_scsi.h"

#include <new>

#include "platform/win32/windows_api.h"

#include "device/exec_scsi_spti.h"
#include "device/exec_scsi_vxd.h"

ExecScsiInterface* NewSystemPassThroughBackEnd() { return new (std::nothrow) ExecScsiSpti(); }

bool IsNtPlatform() {
  static const bool nt = [] {
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof info;
    return GetVersionExW(&info) && info.dwPlatformId == VER_PLATFORM_WIN32_NT;
  }();
  return nt;
}

namespace {
HANDLE g_driver = nullptr;
}  // namespace

void ScsiPassThroughDriver::Load() {
  if (g_driver != nullptr || IsNtPlatform()) return;
  HANDLE driver = CreateFileW(L"\\\\.\\VORASPTI", 0, 0, nullptr, CREATE_NEW, FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  g_driver = driver == INVALID_HANDLE_VALUE ? nullptr : driver;
}

void ScsiPassThroughDriver::Unload() {
  if (g_driver != nullptr) CloseHandle(g_driver);
  g_driver = nullptr;
}

bool ScsiPassThroughDriver::IsLoaded() { return g_driver != nullptr; }
