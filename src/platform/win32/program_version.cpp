// program_version.cpp (Windows) - the version resource of the program's own
// file.
#include "platform/program_version.h"

#include "platform/win32/windows_api.h"

#include <cwchar>
#include <vector>

namespace orb::platform {

bool ReadProgramVersion(ProgramVersion* version) {
  wchar_t path[1024] = {};
  if (GetModuleFileNameW(nullptr, path, 1024) == 0 || path[0] == L'\0') return false;
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(path, &ignored);
  if (size == 0) return false;
  std::vector<unsigned char> info(size);
  if (!GetFileVersionInfoW(path, 0, size, info.data())) return false;

  struct Translation {
    WORD language;
    WORD codePage;
  };
  Translation* translation = nullptr;
  UINT length = 0;
  if (!VerQueryValueW(info.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation), &length) ||
      translation == nullptr || length < sizeof(Translation)) {
    return false;
  }
  wchar_t key[128];
  std::swprintf(key, 128, L"\\StringFileInfo\\%04x%04x\\LegalCopyright", translation->language,
                translation->codePage);
  wchar_t* copyright = nullptr;
  if (VerQueryValueW(info.data(), key, reinterpret_cast<void**>(&copyright), &length) && copyright != nullptr &&
      length > 0) {
    version->copyright += copyright;
  }
  VS_FIXEDFILEINFO* fixed = nullptr;
  if (VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) && fixed != nullptr) {
    version->numbers[0] = HIWORD(fixed->dwProductVersionMS);
    version->numbers[1] = LOWORD(fixed->dwProductVersionMS);
    version->numbers[2] = HIWORD(fixed->dwProductVersionLS);
    version->numbers[3] = LOWORD(fixed->dwProductVersionLS);
  }
  return true;
}

}  // namespace orb::platform
