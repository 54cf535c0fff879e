// process.h - what the program learns about its own process.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace orb::platform {

// The process's arguments as wide text, the program name first. On Windows
// they come from the wide command line (argc/argv are not used there);
// elsewhere from argv, which is UTF-8.
std::vector<std::wstring> CommandLineArguments(int argc, char** argv);

// Writes UTF-8 text to standard output (standard error) and flushes it.
// On Windows the text goes straight to the process's standard handle, so a
// GUI program whose output is redirected to a file or pipe writes there
// too; without such a handle (a GUI program started from a desktop or an
// unredirected console) the text goes nowhere.
void WriteStdout(std::string_view utf8);
void WriteStderr(std::string_view utf8);

// The value of an environment variable; false when it is not set.
bool ReadEnvironmentVariable(const wchar_t* name, std::wstring* value);

// The most memory the process has held at once so far (peak resident set
// on Linux, peak working set on Windows), in bytes.
std::uint64_t PeakMemoryBytes();

}  // namespace orb::platform
