#include "support/virtual_handheld_fixture.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace orb::test {

namespace {
orb::virtual_handheld::HandheldDescription Parse(const std::string& text) {
  orb::virtual_handheld::HandheldDescription description;
  std::string error;
  EXPECT_TRUE(orb::virtual_handheld::ParseHandheldDescription(text, &description, &error)) << error;
  return description;
}
}  // namespace

ScopedVirtualHandheld::ScopedVirtualHandheld(const std::string& description)
    : VirtualHandheld(Parse(description), /*ownsDriveTable=*/true) {
  MapDrives();
  orb::platform::InstallDeviceSimulation(this);
}

ScopedVirtualHandheld::~ScopedVirtualHandheld() {
  orb::platform::InstallDeviceSimulation(nullptr);
  UnmapDrives();
}

bool ScopedVirtualHandheld::ScsiCommand(wchar_t letter, const std::uint8_t* cdb, std::size_t cdbLength,
                                        orb::platform::ScsiDirection direction, void* data,
                                        std::uint32_t dataLength, orb::platform::ScsiOutcome* outcome) {
  char text[16];
  if (cdbLength >= 3 && cdb[0] == 0xFC) {
    std::snprintf(text, sizeof text, "%c:%02X%02X", static_cast<char>(letter), cdb[0], cdb[2]);
  } else {
    std::snprintf(text, sizeof text, "%c:%02X", static_cast<char>(letter), cdbLength > 0 ? cdb[0] : 0);
  }
  commands_.push_back(text);
  return VirtualHandheld::ScsiCommand(letter, cdb, cdbLength, direction, data, dataLength, outcome);
}

}  // namespace orb::test
