// process.cpp (Windows)
#include "platform/process.h"

#include "platform/win32/windows_api.h"
#include <shellapi.h>

#include <cstdio>

namespace orb::platform {

std::vector<std::wstring> CommandLineArguments(int /*argc*/, char** /*argv*/) {
  std::vector<std::wstring> args;
  int count = 0;
  LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
  if (wide == nullptr) return args;
  for (int i = 0; i < count; ++i) args.emplace_back(wide[i]);
  LocalFree(wide);
  return args;
}

void WriteStdout(std::string_view utf8) {
  std::fwrite(utf8.data(), 1, utf8.size(), stdout);
  std::fflush(stdout);
}

}  // namespace orb::platform
