// program_run.h - running the real orbdl in end-to-end tests and reading
// what it showed and wrote: the one final message, the card's contents.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <string>
#include <system_error>
#include <vector>

#include "app/program_environment.h"
#include "support/child_process.h"
#include "support/temp_dir.h"

namespace orb::test {

inline const std::string kProgramCaption = "Orbiton\xC2\xAENetwork Downloader";

// The scripted interface's line for the final message box.
inline std::string FinalMessage(const std::string& text, const std::string& icon) {
  return "[UI] message caption=\"" + kProgramCaption + "\" text=\"" + text + "\" icon=" + icon +
         " buttons=ok default=ok owner=none -> ok";
}

// Every file below a folder with its content, folders with a "/"; empty
// when it is missing. (Listing an empty drive root fails: no entries.)
inline std::map<std::string, std::string> CardContents(const std::filesystem::path& card) {
  namespace fs = std::filesystem;
  std::map<std::string, std::string> contents;
  std::error_code ec;
  for (fs::recursive_directory_iterator it(card, ec), end; !ec && it != end; it.increment(ec)) {
    const auto& e = *it;
    const std::string name = fs::relative(e.path(), card).generic_u8string();
    if (e.is_directory()) {
      contents[name + "/"] = "";
    } else {
      contents[name] = ReadFileBytes(e.path());
    }
  }
  return contents;
}

// Runs orbdl with the control file: exactly one message, the last thing
// before the program ends. The lines of its output go to *lines.
inline void RunWithOneMessage(const std::filesystem::path& control, const Environment& env,
                              const std::string& message, std::vector<std::string>* lines) {
  const auto result = RunChild(ORBDL_PROGRAM, {control.u8string()}, env);
  ASSERT_TRUE(result.started);
  ASSERT_FALSE(result.timedOut);
  *lines = OutputLines(result.output);
  ASSERT_GE(lines->size(), 2u) << result.output;
  EXPECT_EQ((*lines)[lines->size() - 2], message) << result.output;
  EXPECT_EQ(lines->back(), "[UI] version-hidden");
  EXPECT_EQ(std::count_if(lines->begin(), lines->end(),
                          [](const std::string& l) { return l.rfind("[UI] message", 0) == 0; }),
            1);
}

}  // namespace orb::test
