// process.cpp (Windows)
#include "platform/process.h"

#include "platform/win32/windows_api.h"
#include <psapi.h>
#include <shellapi.h>

#include <cstdio>

#include "base/wide_text.h"

namespace orb::platform {
namespace {

// Straight to the standard handle: the C runtime of a GUI program may not
// have connected its stdout to it. A console gets wide text (the console
// would read bytes in its own code page); files and pipes get the UTF-8.
void WriteToStandardHandle(DWORD which, std::FILE* crtStream, std::string_view utf8) {
  std::fflush(crtStream);  // keep order with anything the C runtime holds
  const HANDLE handle = GetStdHandle(which);
  if (handle == nullptr || handle == INVALID_HANDLE_VALUE || utf8.empty()) return;
  DWORD mode = 0;
  if (GetFileType(handle) == FILE_TYPE_CHAR && GetConsoleMode(handle, &mode)) {
    const std::wstring wide = Utf8ToWide(utf8);
    DWORD written = 0;
    WriteConsoleW(handle, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
    return;
  }
  DWORD written = 0;
  WriteFile(handle, utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
}

}  // namespace

std::vector<std::wstring> CommandLineArguments(int /*argc*/, char** /*argv*/) {
  std::vector<std::wstring> args;
  int count = 0;
  LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
  if (wide == nullptr) return args;
  for (int i = 0; i < count; ++i) args.emplace_back(wide[i]);
  LocalFree(wide);
  return args;
}

void WriteStdout(std::string_view utf8) { WriteToStandardHandle(STD_OUTPUT_HANDLE, stdout, utf8); }

void WriteStderr(std::string_view utf8) { WriteToStandardHandle(STD_ERROR_HANDLE, stderr, utf8); }

bool ReadEnvironmentVariable(const wchar_t* name, std::wstring* value) {
  const DWORD needed = GetEnvironmentVariableW(name, nullptr, 0);
  if (needed == 0) {
    // Set but empty reads as 0 too; only "not found" means unset.
    if (GetLastError() == ERROR_ENVVAR_NOT_FOUND) return false;
    value->clear();
    return true;
  }
  std::wstring text(needed, L'\0');
  const DWORD got = GetEnvironmentVariableW(name, text.data(), needed);
  text.resize(got < needed ? got : 0);
  *value = text;
  return true;
}

std::uint64_t PeakMemoryBytes() {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters)) return 0;
  return counters.PeakWorkingSetSize;
}

}  // namespace orb::platform
