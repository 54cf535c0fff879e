// Plain media and packages end to end: the real orbdl runs a "pnv#" or
// "pngc" control file with a file:// URL against a virtual handheld,
// through the scripted user interface, and the test reads what the user saw
// and what the card holds. (One TEST: under Wine the card is one drive of
// the prefix, which two tests at once would share.)
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <string>
#include <system_error>
#include <vector>

#include "app/program_environment.h"
#include "app/program_handheld.h"
#include "app/program_run.h"
#include "base/wide_text.h"
#include "package_builder/package_builder.h"
#include "support/child_process.h"
#include "support/file_url.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

using orb::test::CardContents;
using orb::test::FinalMessage;
using orb::test::RunWithOneMessage;

void LocalPackagesOntoTheHandheldsCard();

TEST(OrbdlMediaTest, LocalContentOntoTheHandheldsCard) {
  LocalPackagesOntoTheHandheldsCard();
  using Contents = std::map<std::string, std::string>;
  const std::string clip(150000, 'v');
  const struct {
    const char* what;
    const char* source;  // the file the control file names, under media/
    std::string bytes;   // its content; no file is made when empty
    std::string keys;    // further keys of the card drive
    Contents before;     // on the card before the run
    Contents after;      // on the card afterwards
    std::string message;
  } cases[] = {
      {"a clip goes to VIDEO with the upper-case type", "Clip.mp4", clip, "", {},
       {{"VIDEO/", ""}, {"VIDEO/Clip.MP4", clip}}, FinalMessage("Copy completed.", "information")},
      {"an upper-case extension matches its row", "Photo.JPG", "jpeg bytes", "", {},
       {{"PICTURE/", ""}, {"PICTURE/Photo.JPG", "jpeg bytes"}}, FinalMessage("Copy completed.", "information")},
      {"a theme: both of its folders are made", "summer.kxm", "theme", "", {},
       {{"KVX/", ""}, {"KVX/THEME/", ""}, {"KVX/THEME/summer.KXM", "theme"}},
       FinalMessage("Copy completed.", "information")},
      {"a file of the same name is replaced", "Clip.mp4", "new clip", "",
       {{"VIDEO/Clip.MP4", "an older and longer clip"}, {"VIDEO/Other.MP4", "kept"}},
       {{"VIDEO/", ""}, {"VIDEO/Clip.MP4", "new clip"}, {"VIDEO/Other.MP4", "kept"}},
       FinalMessage("Copy completed.", "information")},
      {"unknown type, no content type: nothing written", "notes.txt", "text", "", {}, {},
       FinalMessage("An error has occurred. \\r\\n(0x80048109)", "none")},
      {"not enough free space on the card: no code", "Clip.mp4", clip, "Capacity = 1M\nFree = 100K\n", {}, {},
       FinalMessage("There is not enough free space on the Flash Key\xE2\x84\xA2.", "none")},
      {"a missing source file", "Missing.mp4", "", "", {}, {},
       FinalMessage("An error occurred during the copy operation. \\r\\n(0x80048704)", "none")},
      {"system software too old: the selection's answer is a general failure", "Clip.mp4", clip,
       "SystemVersion = 6.40\n", {}, {}, FinalMessage("An error has occurred. \\r\\n(0x80004005)", "none")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    orb::test::TempDir dir;
    const orb::test::ProgramHandheld handheld(dir, c.keys);
    for (const auto& [name, bytes] : c.before) {
      fs::create_directories((handheld.Card() / fs::u8path(name)).parent_path());
      orb::test::WriteFileBytes(handheld.Card() / fs::u8path(name), bytes);
    }
    fs::create_directories(dir.path() / "media");
    const fs::path source = dir.path() / "media" / c.source;
    if (!c.bytes.empty()) orb::test::WriteFileBytes(source, c.bytes);
    const std::string url = orb::WideToUtf8(orb::test::FileUrl(source));
    const auto control = dir.Write("media.dsf", "[Info]\r\nEID=pnv#\r\nDesc=Sample\r\nCC=JP\r\n[File]\r\nC=" + url + "\r\n");

    auto env = orb::test::ProgramEnvironment(dir);
    orb::test::Set(&env, "ORBDL_VIRTUAL_HANDHELD", handheld.Description().u8string());
    std::vector<std::string> lines;
    RunWithOneMessage(control, env, c.message, &lines);
    // Copying, not downloading: the status line says so.
    if (c.message.find("Copy completed.") != std::string::npos) {
      EXPECT_NE(std::find(lines.begin(), lines.end(), "[UI] progress status=\"Copying...\""), lines.end());
    }
    EXPECT_EQ(CardContents(handheld.Card()), c.after);
  }
}

void LocalPackagesOntoTheHandheldsCard() {
  namespace pb = orb::package_builder;
  using Contents = std::map<std::string, std::string>;
  const std::string program(100000, 'p');
  pb::PackageSpec game;
  game.entries = pb::ContentEntries({pb::FileEntry("EBOOT.BIN", program), pb::FileEntry("a.txt", "a")});
  std::string gameBytes;
  ASSERT_TRUE(pb::BuildPackage(game, &gameBytes));
  std::string broken = gameBytes;
  broken[0] ^= 0x55;  // the main header's magic
  pb::PackageSpec systemOnly = game;
  systemOnly.contentType = 14;
  std::string systemOnlyBytes;
  ASSERT_TRUE(pb::BuildPackage(systemOnly, &systemOnlyBytes));

  const struct {
    const char* what;
    std::string bytes;
    Contents after;
    std::string message;
  } cases[] = {
      {"a game package", gameBytes,
       {{"KVX/", ""}, {"KVX/GAME/", ""}, {"KVX/GAME/ABCD12345/", ""}, {"KVX/GAME/ABCD12345/EBOOT.BIN", program},
        {"KVX/GAME/ABCD12345/a.txt", "a"}},
       FinalMessage("Copy completed.", "information")},
      {"a broken package", broken, {}, FinalMessage("An error has occurred. \\r\\n(0x80029563)", "none")},
      {"a game for the system storage only", systemOnlyBytes, {},
       FinalMessage("This game can only be downloaded to a KVX\xE2\x84\xA2go system.", "none")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    orb::test::TempDir dir;
    const orb::test::ProgramHandheld handheld(dir, "");
    const fs::path source = dir.Write("game.pkg", c.bytes);
    const fs::path temp = dir.path() / "temp";
    fs::create_directories(temp);
    const std::string url = orb::WideToUtf8(orb::test::FileUrl(source));
    const auto control = dir.Write("game.dsf", "[Info]\r\nEID=pngc\r\nDesc=Sample\r\nCC=JP\r\n[File]\r\nC=" + url + "\r\n");

    auto env = orb::test::ProgramEnvironment(dir);
    orb::test::Set(&env, "ORBDL_VIRTUAL_HANDHELD", handheld.Description().u8string());
    orb::test::Set(&env, "TMPDIR", temp.u8string());
    orb::test::Set(&env, "TMP", temp.u8string());
    orb::test::Set(&env, "TEMP", temp.u8string());
    std::vector<std::string> lines;
    RunWithOneMessage(control, env, c.message, &lines);
    EXPECT_EQ(CardContents(handheld.Card()), c.after);
    EXPECT_EQ(CardContents(temp), Contents{});  // no temporary file left
  }
}

}  // namespace
