// program_handheld.h - a virtual handheld for end-to-end runs of the real
// orbdl: a description file for ORBDL_VIRTUAL_HANDHELD with one card drive,
// and the folder where the program's writes to that card land.
//
// Linux: the card is drive K on a folder of the test's own.
// Windows (under Wine): a drive letter must be a real removable drive of
// the prefix, so the card is drive V or W, which tools/wine/wine-run gives
// every prefix it makes (folders of the prefix, Wine drive type "floppy").
// Only one test at a time may use a letter: the end-to-end tests of a kind
// share one TEST, and each such TEST has its own letter (V: local media, W:
// media over HTTP).
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "platform/drive_table.h"
#include "support/temp_dir.h"

namespace orb::test {

class ProgramHandheld {
 public:
  static constexpr wchar_t kWineCardLetter = L'V';
  static constexpr wchar_t kSecondWineCardLetter = L'W';

  // `keys`: further lines of the card drive's section ("SystemVersion =
  // 6.40\n"). `wineLetter`: the card's drive under Wine. The card starts
  // empty.
  ProgramHandheld(const TempDir& dir, const std::string& keys, wchar_t wineLetter = kWineCardLetter) {
    const bool driveLetters = orb::platform::SystemHasDriveLetters();
    std::string section;
    if (driveLetters) {
      card_ = std::filesystem::path(std::wstring(1, wineLetter) + L":\\");
      section = std::string("[Drive ") + static_cast<char>(wineLetter) + "]\n";
    } else {
      card_ = dir.path() / "card";
      section = "[Drive K]\nRoot = card\n";
    }
    description_ = dir.Write("handheld.ini", section + "Identity = card\n" + keys);
    Clear();
  }

  const std::filesystem::path& Description() const { return description_; }
  const std::filesystem::path& Card() const { return card_; }

  // Empties the card (the Wine drive keeps what earlier runs wrote).
  void Clear() const {
    std::error_code ec;
    std::filesystem::create_directories(card_, ec);
    ASSERT_TRUE(std::filesystem::is_directory(card_))
        << card_.u8string() << " is missing: tools/wine/wine-run gives each Wine prefix this drive";
    // A drive's root has no "." entries, so listing an empty root of a
    // drive letter fails: that is an empty card.
    std::vector<std::filesystem::path> entries;
    for (std::filesystem::directory_iterator it(card_, ec), end; !ec && it != end; it.increment(ec)) {
      entries.push_back(it->path());
    }
    for (const auto& entry : entries) std::filesystem::remove_all(entry);
  }

 private:
  std::filesystem::path description_;
  std::filesystem::path card_;
};

}  // namespace orb::test
