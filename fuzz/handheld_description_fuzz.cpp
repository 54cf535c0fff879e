// handheld_description_fuzz.cpp - a virtual handheld description of any
// bytes must parse or be refused without a crash, a hang or a leak, and a
// description that parses must answer every command within its buffers.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "virtual_handheld/handheld_description.h"
#include "virtual_handheld/virtual_handheld.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
  using namespace orb::virtual_handheld;
  HandheldDescription description;
  std::string error;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  if (!ParseHandheldDescription(text, &description, &error)) {
    if (error.empty()) std::abort();  // every refusal says why
    return 0;
  }
  if (description.drives.size() > 24) std::abort();
  const std::vector<std::vector<std::uint8_t>> commands = {
      {0x12, 0, 0, 0, 0x24, 0},
      {0xFC, 0, 0x90, 'K', 'V', 'X', 'i', 0, 0, 0, 0, 0},
      {0xFC, 0, 0xA5, 'K', 'V', 'X', 'i', 0, 2, 0, 0, 0},
      {0x5A, 0, 0x20, 0, 0, 0, 0, 0, 0x6C, 0},
      {0x5A, 0, 0x3F, 0, 0, 0, 0, 0, 0xFF, 0xFF},
  };
  for (const DriveDescription& drive : description.drives) {
    if (drive.letter < L'C' || drive.letter > L'Z' || drive.vendor.size() != 8 || drive.product.size() != 16 ||
        drive.revision.size() != 4 || drive.systemVersion.size() >= 1024) {
      std::abort();
    }
    for (const auto& cdb : commands) {
      for (std::uint32_t room : {0u, 1u, 36u, 1024u}) {
        std::vector<std::uint8_t> buffer(room);
        orb::platform::ScsiOutcome outcome;
        AnswerScsi(drive, cdb.data(), cdb.size(), orb::platform::ScsiDirection::kIn, buffer.data(), room, &outcome);
      }
    }
  }
  return 0;
}
