// process.h - what the program learns about its own process.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace orb::platform {

// The process's arguments as wide text, the program name first. On Windows
// they come from the wide command line (argc/argv are not used there);
// elsewhere from argv, which is UTF-8.
std::vector<std::wstring> CommandLineArguments(int argc, char** argv);

// Writes UTF-8 text to standard output and flushes it.
void WriteStdout(std::string_view utf8);

}  // namespace orb::platform
