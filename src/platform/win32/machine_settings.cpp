// machine_settings.cpp (Windows): the registry.
#include "platform/machine_settings.h"

#include "platform/win32/windows_api.h"

namespace orb::platform {

bool ReadMachineSetting(const wchar_t* name, std::wstring* value) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Vora\\ORBITON Network Downloader", 0, KEY_READ, &key) !=
      ERROR_SUCCESS) {
    return false;
  }
  // 2048 bytes are read; the extra character keeps a value that fills them
  // terminated.
  wchar_t text[kMaxSettingChars + 2] = {};
  DWORD bytes = static_cast<DWORD>((kMaxSettingChars + 1) * sizeof(wchar_t));
  const LONG result = RegQueryValueExW(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(text), &bytes);
  RegCloseKey(key);
  if (result != ERROR_SUCCESS) return false;
  *value = text;  // up to the first terminator
  return true;
}

}  // namespace orb::platform
