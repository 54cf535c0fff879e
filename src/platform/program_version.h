// program_version.h - the program's own product version and copyright.
#pragma once

#include <cstdint>
#include <string>

namespace orb::platform {

struct ProgramVersion {
  // Product version: major, minor, build, revision.
  std::int32_t numbers[4] = {0, 0, 0, 0};
  std::wstring copyright;  // empty when the program carries none
};

// Windows: read from the version resource of the program's own file
// (the translation table's first language, its LegalCopyright, the fixed
// product version). Elsewhere: the numbers and text the program was built
// with. False when the version information cannot be read.
bool ReadProgramVersion(ProgramVersion* version);

}  // namespace orb::platform
