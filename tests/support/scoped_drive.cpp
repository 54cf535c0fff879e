#include "support/scoped_drive.h"

#include "platform/drive_root.h"

namespace orb::test {

ScopedDrive::ScopedDrive(wchar_t letter, const std::filesystem::path& directory) : letter_(letter) {
  std::filesystem::create_directories(directory);
  orb::platform::MapDrive(letter, directory.wstring());
}

ScopedDrive::ScopedDrive(wchar_t letter) : letter_(letter) { orb::platform::MapDrive(letter, std::wstring()); }

ScopedDrive::~ScopedDrive() { orb::platform::UnmapDrive(letter_); }

}  // namespace orb::test
