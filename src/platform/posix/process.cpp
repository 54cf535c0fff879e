// process.cpp (POSIX)
#include "platform/process.h"

#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>

#include "base/wide_text.h"

namespace orb::platform {

std::vector<std::wstring> CommandLineArguments(int argc, char** argv) {
  std::vector<std::wstring> args;
  for (int i = 0; i < argc; ++i) args.push_back(Utf8ToWide(argv[i]));
  return args;
}

void WriteStdout(std::string_view utf8) {
  std::fwrite(utf8.data(), 1, utf8.size(), stdout);
  std::fflush(stdout);
}

void WriteStderr(std::string_view utf8) {
  std::fwrite(utf8.data(), 1, utf8.size(), stderr);
  std::fflush(stderr);
}

bool ReadEnvironmentVariable(const wchar_t* name, std::wstring* value) {
  const char* text = std::getenv(WideToUtf8(name).c_str());
  if (text == nullptr) return false;
  *value = Utf8ToWide(text);
  return true;
}

std::uint64_t PeakMemoryBytes() {
  struct rusage usage {};
  if (getrusage(RUSAGE_SELF, &usage) != 0) return 0;
  return static_cast<std::uint64_t>(usage.ru_maxrss) * 1024;  // Linux counts KiB
}

}  // namespace orb::platform
