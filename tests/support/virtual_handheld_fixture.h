// virtual_handheld_fixture.h - a virtual handheld from an inline
// description, installed for one test and removed afterwards. It answers
// the drive table too, so tests see only the described drives on every
// platform. Calls of the simulation can be counted.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "virtual_handheld/virtual_handheld.h"

namespace orb::test {

class ScopedVirtualHandheld : public orb::virtual_handheld::VirtualHandheld {
 public:
  // Fails the current test (and installs an empty handheld) when the
  // description does not parse.
  explicit ScopedVirtualHandheld(const std::string& description);
  ~ScopedVirtualHandheld() override;

  bool ScsiCommand(wchar_t letter, const std::uint8_t* cdb, std::size_t cdbLength,
                   orb::platform::ScsiDirection direction, void* data, std::uint32_t dataLength,
                   orb::platform::ScsiOutcome* outcome) override;

  // "K:12" for an INQUIRY to K, "K:FC90" for the version command, ...
  const std::vector<std::string>& commands() const { return commands_; }
  void ClearCommands() { commands_.clear(); }

 private:
  std::vector<std::string> commands_;
};

}  // namespace orb::test
