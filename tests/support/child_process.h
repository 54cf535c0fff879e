// child_process.h - runs a program as a child process, its standard output
// captured, with a time-out (end-to-end tests of the real binaries).
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace orb::test {

struct ChildResult {
  bool started = false;
  bool timedOut = false;  // the child was killed after the time-out
  int exitCode = -1;
  std::string output;     // standard output and standard error, as bytes
};

// A value for RunChild's environment that removes the variable from the
// child's environment instead of setting it.
constexpr const char kRemoveVariable[] = "\x01(removed)";

// `program` is a path of the build tree; extra environment variables are
// added to (or replace those of) this process's environment.
ChildResult RunChild(const std::string& program, const std::vector<std::string>& arguments,
                     const std::vector<std::pair<std::string, std::string>>& environment = {},
                     int timeoutMilliseconds = 60000);

// The output's lines, without line ends (CR LF or LF), empty lines dropped.
std::vector<std::string> OutputLines(const std::string& output);

}  // namespace orb::test
