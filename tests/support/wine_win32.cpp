// wine_win32.cpp - Wine's ntdll exports wine_get_version; Windows' does not.
#include "platform/win32/windows_api.h"
#include "support/wine.h"

namespace orb::test {

bool RunningUnderWine() {
  const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

}  // namespace orb::test
