#include "package/package_installer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <map>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "package_builder/package_builder.h"
#include "support/fake_storage.h"
#include "support/scoped_drive.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
namespace pb = orb::package_builder;
using Contents = std::map<std::string, std::string>;

constexpr wchar_t kLetter = L'Q';

pb::PackageSpec Package(std::uint32_t contentType, std::vector<pb::EntrySpec> entries) {
  pb::PackageSpec spec;
  spec.contentType = contentType;
  spec.entries = std::move(entries);
  return spec;
}

// Every file below the card with its content, folders with a "/".
Contents CardContents(const fs::path& card) {
  Contents contents;
  std::error_code ec;
  for (fs::recursive_directory_iterator it(card, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = fs::relative(it->path(), card).generic_u8string();
    if (it->is_directory()) {
      contents[name + "/"] = "";
    } else {
      contents[name] = orb::test::ReadFileBytes(it->path());
    }
  }
  return contents;
}

// A card on drive Q: and a package file beside it.
struct Card {
  orb::test::TempDir dir;
  fs::path card = dir.path() / "card";
  orb::test::ScopedDrive drive{kLetter, card};
  orb::test::FakeStorage storage{kLetter};
  std::atomic<bool> cancel{false};
  std::atomic<std::uint32_t> chunks{0};
  std::atomic<std::int32_t> progress{500};
  CPackageInstaller installer;

  Card() {
    installer.SetStorage(&storage);
    installer.SetCancelFlag(&cancel);
    installer.SetChunkCounter(&chunks);
    installer.SetProgress(&progress);
  }
  void Put(const std::string& name, const std::string& bytes) const {
    fs::create_directories((card / fs::u8path(name)).parent_path());
    orb::test::WriteFileBytes(card / fs::u8path(name), bytes);
  }
  fs::path Write(const pb::PackageSpec& spec) const {
    const fs::path path = dir.path() / "package.pkg";
    std::string error;
    EXPECT_TRUE(pb::WritePackageFile(spec, path, nullptr, &error)) << error;
    return path;
  }
  HRESULT Install(const pb::PackageSpec& spec) { return installer.InstallPackage(Write(spec).wstring()); }
};

TEST(CPackageInstaller, FoldersByContentTypeOnAnEmptyCard) {
  const std::string big(70000, 'b');
  const auto game = pb::ContentEntries(
      {pb::DirectoryEntry("data"), pb::FileEntry("data/a.bin", "aaa"), pb::FileEntry("EBOOT.BIN", big)});
  const Contents gameFolders = {{"KVX/", ""}, {"KVX/GAME/", ""}, {"KVX/GAME/ABCD12345/", ""}};
  auto with = [](Contents base, const std::string& folder, Contents files) {
    for (const auto& [name, bytes] : files) base[folder + name] = bytes;
    return base;
  };
  const Contents gameFiles = {{"data/", ""}, {"data/a.bin", "aaa"}, {"EBOOT.BIN", big}};
  pb::PackageSpec theme = Package(9, pb::ContentEntries({pb::FileEntry("summer.kxt", "theme")}));
  const pb::PackageSpec fullNames =
      Package(9, {pb::DirectoryEntry("THEMEFILES"), pb::FileEntry("THEMEFILES/x.kxt", "x")});
  pb::PackageSpec saveData = Package(17, pb::ContentEntries({pb::FileEntry("SAVE.DAT", "save")}));
  saveData.titleId = "SAVE00001";

  const struct {
    const char* what;
    pb::PackageSpec spec;
    std::uint32_t distributionType;
    HRESULT result;
    Contents after;
  } cases[] = {
      {"a game", Package(4, game), 2, S_OK, with(gameFolders, "KVX/GAME/ABCD12345/", gameFiles)},
      {"content type 0 is a game too", Package(0, game), 2, S_OK, with(gameFolders, "KVX/GAME/ABCD12345/", gameFiles)},
      {"content type 15 is a game too", Package(15, game), 2, S_OK,
       with(gameFolders, "KVX/GAME/ABCD12345/", gameFiles)},
      {"a theme goes straight into THEME",
       theme,
       2,
       S_OK,
       {{"KVX/", ""}, {"KVX/THEME/", ""}, {"KVX/THEME/summer.kxt", "theme"}}},
      {"distribution type 4: full names",
       fullNames,
       4,
       S_OK,
       {{"KVX/", ""}, {"KVX/THEME/", ""}, {"KVX/THEME/THEMEFILES/", ""}, {"KVX/THEME/THEMEFILES/x.kxt", "x"}}},
      {"distribution type 5: full names",
       fullNames,
       5,
       S_OK,
       {{"KVX/", ""}, {"KVX/THEME/", ""}, {"KVX/THEME/THEMEFILES/", ""}, {"KVX/THEME/THEMEFILES/x.kxt", "x"}}},
      // Without the rule the same names lack the prefix: refused, and the
      // folders made for them go again.
      {"distribution type 2: the prefix holds", fullNames, 2, ORB_E_PKG_ENTRY, {}},
      {"save data",
       saveData,
       2,
       S_OK,
       {{"KVX/", ""},
        {"KVX/SAVEDATA/", ""},
        {"KVX/SAVEDATA/SAVE00001/", ""},
        {"KVX/SAVEDATA/SAVE00001/SAVE.DAT", "save"}}},
      {"content type 12 has no folder", Package(12, game), 2, ORB_E_NO_INSTALL_FOLDER, {}},
      {"content type 18 has no folder", Package(18, game), 2, ORB_E_NO_INSTALL_FOLDER, {}},
  };
  for (auto c : cases) {
    SCOPED_TRACE(c.what);
    Card card;
    c.spec.distributionType = c.distributionType;
    const HRESULT hr = card.Install(c.spec);
    EXPECT_EQ(hr, c.result);
    EXPECT_EQ(CardContents(card.card), c.after);
    if (SUCCEEDED(hr)) {
      EXPECT_EQ(card.progress.load(), 9999);
      EXPECT_FALSE(card.installer.Reader().IsOpen());
    }
  }
}

TEST(CPackageInstaller, TitleIdentifiersThatAreNoFolderNameAreRefused) {
  // The title is appended to GAME like an entry name: it must stay one
  // folder below it.
  for (const char* title : {"", "..", "...", "a/b", "a\\b", "CON", "x:y", "a*b"}) {
    SCOPED_TRACE(title);
    Card card;
    pb::PackageSpec spec = Package(4, pb::ContentEntries({pb::FileEntry("a.bin", "a")}));
    spec.titleId = title;
    EXPECT_EQ(card.Install(spec), ORB_E_NO_INSTALL_FOLDER);
    EXPECT_EQ(CardContents(card.card), Contents{});
  }
  Card card;
  pb::PackageSpec spec = Package(4, pb::ContentEntries({pb::FileEntry("a.bin", "a")}));
  spec.titleId = "ABCDEFGHIJKLMN";  // only 12 characters count
  EXPECT_EQ(card.Install(spec), S_OK);
  EXPECT_EQ(orb::test::ReadFileBytes(card.card / "KVX" / "GAME" / "ABCDEFGHIJKL" / "a.bin"), "a");
}

TEST(CPackageInstaller, WhatWasOnTheCardBeforeStays) {
  Card card;
  card.Put("KVX/GAME/ABCD12345/EBOOT.BIN", "an older and longer program");
  card.Put("KVX/GAME/ABCD12345/OLD.SAV", "kept");
  card.Put("KVX/GAME/OTHER0001/EBOOT.BIN", "another game");
  ASSERT_EQ(
      card.Install(Package(4, pb::ContentEntries({pb::FileEntry("EBOOT.BIN", "new"), pb::FileEntry("NEW.BIN", "n")}))),
      S_OK);
  EXPECT_EQ(CardContents(card.card), (Contents{{"KVX/", ""},
                                               {"KVX/GAME/", ""},
                                               {"KVX/GAME/ABCD12345/", ""},
                                               {"KVX/GAME/ABCD12345/EBOOT.BIN", "new"},
                                               {"KVX/GAME/ABCD12345/NEW.BIN", "n"},
                                               {"KVX/GAME/ABCD12345/OLD.SAV", "kept"},
                                               {"KVX/GAME/OTHER0001/", ""},
                                               {"KVX/GAME/OTHER0001/EBOOT.BIN", "another game"}}));
}

TEST(CPackageInstaller, AFailedInstallationTakesBackWhatItMade) {
  // The third entry cannot be made: it would be a file inside a file.
  const auto entries = pb::ContentEntries(
      {pb::DirectoryEntry("data"), pb::FileEntry("data/a.bin", "aaa"), pb::FileEntry("data/a.bin/c.bin", "cccc")});
  {
    SCOPED_TRACE("empty card: nothing is left");
    Card card;
    EXPECT_EQ(card.Install(Package(4, entries)), ORB_E_STORAGE_NOT_ACCESSIBLE);
    EXPECT_EQ(CardContents(card.card), Contents{});
  }
  {
    SCOPED_TRACE("an earlier installation of the title: only the new files go");
    Card card;
    card.Put("KVX/GAME/ABCD12345/OLD.SAV", "kept");
    EXPECT_EQ(card.Install(Package(4, entries)), ORB_E_STORAGE_NOT_ACCESSIBLE);
    EXPECT_EQ(
        CardContents(card.card),
        (Contents{
            {"KVX/", ""}, {"KVX/GAME/", ""}, {"KVX/GAME/ABCD12345/", ""}, {"KVX/GAME/ABCD12345/OLD.SAV", "kept"}}));
  }
}

TEST(CPackageInstaller, ReaderAndTargetFailuresPassThrough) {
  Card card;
  std::string bytes;
  ASSERT_TRUE(pb::BuildPackage(Package(4, pb::ContentEntries({pb::FileEntry("a.bin", "a")})), &bytes));
  bytes[0] ^= 0x55;  // the magic of the main header
  const fs::path broken = card.dir.Write("broken.pkg", bytes);
  EXPECT_EQ(card.installer.InstallPackage(broken.wstring()), ORB_E_PKG_HEADER);
  EXPECT_EQ(card.installer.InstallPackage((card.dir.path() / "missing.pkg").wstring()), ORB_E_PKG_IO);
  EXPECT_EQ(card.installer.InstallPackage(L""), E_INVALIDARG);

  const pb::PackageSpec spec = Package(4, pb::ContentEntries({pb::FileEntry("a.bin", "a")}));
  card.storage.isDrive = false;
  EXPECT_EQ(card.Install(spec), E_INVALIDARG);
  card.storage.isDrive = true;
  card.storage.isDriveResult = E_FAIL;
  EXPECT_EQ(card.Install(spec), E_INVALIDARG);
  card.storage.isDriveResult = S_OK;
  // A file where the title's folder would be: the folder cannot be made.
  card.Put("KVX/GAME", "a file, not a folder");
  EXPECT_EQ(card.Install(spec), ORB_E_STORAGE_NOT_ACCESSIBLE);
  EXPECT_EQ(CardContents(card.card), (Contents{{"KVX/", ""}, {"KVX/GAME", "a file, not a folder"}}));
}

TEST(CPackageInstaller, AFileOf4GiBIsRefusedBeforeItIsWritten) {
  // The data of the last entry lies beyond 4 GiB (a sparse package file), so
  // that the first entry may claim 4 GiB of data area.
  constexpr std::uint64_t k4GiB = std::uint64_t{1} << 32;
  pb::EntrySpec huge = pb::FileEntry("HUGE.BIN", "h");
  huge.dataSize = k4GiB;
  pb::EntrySpec distant = pb::FileEntry("far.bin", "far");
  distant.dataOffset = k4GiB + 0x1000;
  Card card;
  const fs::path path = card.dir.path() / "huge.pkg";
  std::string error;
  if (!pb::WritePackageFile(Package(4, pb::ContentEntries({huge, distant})), path, nullptr, &error)) {
    GTEST_SKIP() << "no sparse file of 4 GiB here: " << error;
  }
  EXPECT_EQ(card.installer.InstallPackage(path.wstring()), ORB_E_TOO_LARGE);
  EXPECT_EQ(CardContents(card.card), Contents{});
}

TEST(CPackageInstaller, CancelledBeforeTheFirstEntryLeavesNothing) {
  Card card;
  card.cancel = true;
  EXPECT_EQ(card.Install(Package(4, pb::ContentEntries({pb::FileEntry("a.bin", "a")}))), ORB_E_TRANSFER_CANCELLED);
  EXPECT_EQ(CardContents(card.card), Contents{});
}

TEST(CPackageInstaller, CancelledInTheMiddleOfAFile) {
  // A file that an earlier installation left is being replaced when the
  // user cancels: it stays, at length 0; the other files of that
  // installation stay as they were.
  Card card;
  card.Put("KVX/GAME/ABCD12345/BIG.BIN", "older");
  card.Put("KVX/GAME/ABCD12345/OLD.SAV", "kept");
  const std::string big(16u << 20, 'g');
  const fs::path package = card.Write(Package(4, pb::ContentEntries({pb::FileEntry("BIG.BIN", big)})));
  std::atomic<bool> watching{false};
  std::thread watcher([&] {
    watching = true;
    // The second chunk of the file: it is being written.
    while (card.chunks.load() < 2) std::this_thread::yield();
    card.cancel = true;
  });
  while (!watching.load()) std::this_thread::yield();
  const HRESULT hr = card.installer.InstallPackage(package.wstring());
  card.chunks = 100;  // releases the watcher in any case
  watcher.join();
  EXPECT_EQ(hr, ORB_E_TRANSFER_CANCELLED);
  EXPECT_EQ(CardContents(card.card), (Contents{{"KVX/", ""},
                                               {"KVX/GAME/", ""},
                                               {"KVX/GAME/ABCD12345/", ""},
                                               {"KVX/GAME/ABCD12345/BIG.BIN", ""},
                                               {"KVX/GAME/ABCD12345/OLD.SAV", "kept"}}));
  EXPECT_GT(card.progress.load(), 6000);
  EXPECT_LT(card.progress.load(), 9999);
}

TEST(CPackageInstaller, ProgressRunsFrom6000To9999) {
  Card card;
  card.progress = 6000;
  const std::string a(100000, 'a');
  const std::string b(300000, 'b');
  const fs::path package =
      card.Write(Package(4, pb::ContentEntries({pb::FileEntry("a.bin", a), pb::FileEntry("b.bin", b)})));
  ASSERT_EQ(card.installer.InstallPackage(package.wstring()), S_OK);
  EXPECT_EQ(card.progress.load(), 9999);
  // One chunk per chunk written and one per entry: 2 + 5 + 2.
  EXPECT_EQ(card.chunks.load(), 9u);
}

}  // namespace
