// program_version.cpp (POSIX) - the version the build stamped in.
#include "platform/program_version.h"

#include "base/product_version.h"
#include "base/wide_text.h"

namespace orb::platform {

bool ReadProgramVersion(ProgramVersion* version) {
  version->numbers[0] = ORBDL_VERSION_MAJOR;
  version->numbers[1] = ORBDL_VERSION_MINOR;
  version->numbers[2] = ORBDL_VERSION_PATCH;
  version->numbers[3] = ORBDL_VERSION_BUILD;
  version->copyright = Utf8ToWide(ORBDL_COPYRIGHT_TEXT);
  return true;
}

}  // namespace orb::platform
