// child_process.cpp - the portable half.
#include "support/child_process.h"

namespace orb::test {

std::vector<std::string> OutputLines(const std::string& output) {
  std::vector<std::string> lines;
  std::string line;
  for (const char c : output) {
    if (c == '\n') {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      if (!line.empty()) lines.push_back(line);
      line.clear();
    } else {
      line += c;
    }
  }
  if (!line.empty()) lines.push_back(line);
  return lines;
}

}  // namespace orb::test
