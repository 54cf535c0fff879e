#include "content/orb_game_downloader.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "package_builder/package_builder.h"
#include "support/environment.h"
#include "support/fake_storage.h"
#include "support/fake_transport.h"
#include "support/file_url.h"
#include "support/scoped_drive.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
namespace pb = orb::package_builder;
using Contents = std::map<std::string, std::string>;
using orb::test::FakeResource;

constexpr wchar_t kLetter = L'Q';
// A file:// URL that a fake transport serves ahead of the real one: no
// store query is added to it, and the test decides what it answers.
constexpr const wchar_t* kFakeUrl = L"file:///fake/game.pkg";

// A game package larger than its head.
std::string GamePackage(std::uint32_t contentType = 4) {
  pb::PackageSpec spec;
  spec.contentType = contentType;
  spec.entries =
      pb::ContentEntries({pb::FileEntry("EBOOT.BIN", std::string(100000, 'e')), pb::FileEntry("a.txt", "a")});
  std::string bytes;
  EXPECT_TRUE(pb::BuildPackage(spec, &bytes));
  return bytes;
}

Contents Tree(const fs::path& root) {
  Contents contents;
  std::error_code ec;
  for (fs::recursive_directory_iterator it(root, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = fs::relative(it->path(), root).generic_u8string();
    contents[it->is_directory() ? name + "/" : name] = it->is_directory() ? "" : orb::test::ReadFileBytes(it->path());
  }
  return contents;
}

const Contents kInstalled = {{"KVX/", ""},
                             {"KVX/GAME/", ""},
                             {"KVX/GAME/ABCD12345/", ""},
                             {"KVX/GAME/ABCD12345/EBOOT.BIN", std::string(100000, 'e')},
                             {"KVX/GAME/ABCD12345/a.txt", "a"}};

// The operation exposes its cancel flag to the test.
class Probe : public COrbGameDownloader {
 public:
  using CDownloaderBase::IsCancelRequested;
  using COrbGameDownloader::COrbGameDownloader;
};

// A card on drive Q:, a temporary folder of its own, and the package either
// as a real file (file:// URL) or served by a fake transport (kFakeUrl).
struct Rig {
  orb::test::TempDir dir;
  fs::path card = dir.path() / "card";
  fs::path temp = dir.path() / "temp";
  orb::test::ScopedDrive drive{kLetter, card};
  orb::test::ScopedEnvironmentVariable tmpdir{"TMPDIR", temp.u8string()};
  orb::test::ScopedEnvironmentVariable tmp{"TMP", temp.u8string()};
  orb::test::ScopedEnvironmentVariable tempVar{"TEMP", temp.u8string()};
  orb::test::FakeStorage storage{kLetter};
  FakeResource resource;
  orb::test::FakeTransportLog log;
  std::unique_ptr<Probe> op;

  Rig() {
    fs::create_directories(temp);
    fs::create_directories(card);
    op = std::make_unique<Probe>(std::vector<CNetworkUtil::TransportFactory>{
        orb::test::FakeTransportSlot(L"fake", L"file:///fake/", &resource, &log),
        CNetworkUtil::DefaultTransports()[2]});
  }
  HRESULT Configure(const std::wstring& url, bool internal = false) {
    HRESULT hr = op->SetInternalStorageTarget(internal);
    if (SUCCEEDED(hr)) hr = op->SetStorage(&storage);
    if (SUCCEEDED(hr)) hr = op->SetContentUrl(url.c_str());
    return hr;
  }
  std::wstring LocalPackage(const std::string& bytes) const { return orb::test::FileUrl(dir.Write("game.pkg", bytes)); }
  // Starts and waits for the end; the final status.
  HRESULT Run() {
    HRESULT hr = op->Start();
    if (FAILED(hr)) return hr;
    return Wait();
  }
  HRESULT Wait() {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (op->IsRunning() && std::chrono::steady_clock::now() < deadline) {
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return Status();
  }
  HRESULT Status() {
    std::int32_t value = 0;
    std::int32_t chunks = 0;
    HRESULT status = S_OK;
    op->GetProgress(CDownloaderBase::kProgressPosition, &value, &chunks, &status);
    return status;
  }
  std::int32_t Progress() {
    std::int32_t value = 0;
    std::int32_t chunks = 0;
    HRESULT status = S_OK;
    op->GetProgress(CDownloaderBase::kProgressPosition, &value, &chunks, &status);
    return value;
  }
};

TEST(COrbGameDownloader, LocalPackagesFromStartToEnd) {
  std::string broken = GamePackage();
  broken[0] ^= 0x55;  // the main header's magic
  const struct {
    const char* what;
    std::string package;
    bool internal;
    HRESULT status;
    Contents card;
  } cases[] = {
      {"a game onto a memory card", GamePackage(), false, ORB_STATE_FINISHED, kInstalled},
      {"content type 14 onto a memory card", GamePackage(14), false, ORB_E_WRONG_MODEL, {}},
      {"content type 14 onto the system storage", GamePackage(14), true, ORB_STATE_FINISHED, kInstalled},
      {"a broken package", broken, false, ORB_E_PKG_HEADER, {}},
      {"a package shorter than its head", GamePackage().substr(0, 30000), false, ORB_E_READ_BODY, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Rig s;
    ASSERT_EQ(s.Configure(s.LocalPackage(c.package), c.internal), S_OK);
    EXPECT_EQ(s.Run(), c.status);
    EXPECT_EQ(Tree(s.card), c.card);
    // The temporary file never outlives the worker.
    EXPECT_EQ(Tree(s.temp), Contents{});
    if (c.status == ORB_STATE_FINISHED) {
      EXPECT_EQ(s.Progress(), 10000);
    }
  }
}

TEST(COrbGameDownloader, ASecondRunReadsThePackageFromItsStartAgain) {
  // The head of the first run belongs to a response that is closed: the
  // rest of the package can only be read behind a head read anew.
  Rig s;
  ASSERT_EQ(s.Configure(s.LocalPackage(GamePackage())), S_OK);
  EXPECT_EQ(s.Run(), ORB_STATE_FINISHED);
  fs::remove_all(s.card / "KVX");
  EXPECT_EQ(s.Run(), ORB_STATE_FINISHED);
  EXPECT_EQ(Tree(s.card), kInstalled);
  EXPECT_EQ(Tree(s.temp), Contents{});
}

TEST(COrbGameDownloader, SpaceChecksOnTheComputerAndOnTheTarget) {
  const std::string package = GamePackage();
  const std::uint64_t size = package.size();
  const struct {
    const char* what;
    long long announced;
    std::uint64_t targetFree;
    bool missingTemp;
    HRESULT start;
  } cases[] = {
      {"larger than the computer's disk", 1LL << 60, std::uint64_t{1} << 62, false, ORB_E_LOCAL_DISK_FULL},
      {"package and extra bytes fill the target exactly", -1, size + 262144, false, ORB_E_NOT_ENOUGH_SPACE},
      {"one byte more on the target", -1, size + 262145, false, S_OK},
      {"no temporary folder to measure", -1, std::uint64_t{1} << 39, true, ORB_E_UNEXPECTED},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Rig s;
    s.resource.body = package;
    s.resource.announced = c.announced;
    s.storage.freeBytes = c.targetFree;
    if (c.missingTemp) fs::remove(s.temp);
    ASSERT_EQ(s.Configure(kFakeUrl), S_OK);
    std::int64_t known = 0;
    std::int32_t extra = 0;
    ASSERT_EQ(s.op->GetContentInfo(&known, &extra), S_OK);
    EXPECT_EQ(extra, 262144);
    EXPECT_EQ(s.op->Start(), c.start);
    if (c.start == S_OK) {
      EXPECT_EQ(s.Wait(), ORB_STATE_FINISHED);
      EXPECT_EQ(Tree(s.card), kInstalled);
    } else {
      EXPECT_EQ(Tree(s.card), Contents{});
    }
  }
}

TEST(COrbGameDownloader, ProgressRangesWithAndWithoutALength) {
  for (const bool withLength : {true, false}) {
    SCOPED_TRACE(withLength ? "length announced" : "no length");
    Rig s;
    s.resource.body = GamePackage();
    if (!withLength) s.resource.lengthResult = ORB_E_NO_CONTENT_LENGTH;
    std::vector<std::int32_t> seen;
    s.resource.onRead = [&](int) { seen.push_back(s.Progress()); };
    ASSERT_EQ(s.Configure(kFakeUrl), S_OK);
    EXPECT_EQ(s.Run(), ORB_STATE_FINISHED);
    EXPECT_EQ(s.Progress(), 10000);
    EXPECT_EQ(Tree(s.card), kInstalled);
    ASSERT_GE(seen.size(), 3u);
    // The head is read while preparing; the download stays within 500..6000
    // and, without a length, at 500 until it ends.
    EXPECT_EQ(seen.front(), 0);
    for (std::size_t i = 1; i < seen.size(); ++i) {
      EXPECT_GE(seen[i], 500);
      EXPECT_LE(seen[i], withLength ? 6000 : 500);
      EXPECT_GE(seen[i], seen[i - 1]);
    }
    EXPECT_EQ(Tree(s.temp), Contents{});
  }
}

TEST(COrbGameDownloader, CancelDuringTheDownloadLeavesNothing) {
  Rig s;
  s.resource.body = GamePackage();
  Probe* op = s.op.get();
  std::atomic<bool> inDownload{false};
  // The third read is part of the download: it waits until the user has
  // cancelled.
  s.resource.onRead = [&](int n) {
    if (n != 2) return;
    inDownload = true;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!op->IsCancelRequested() && std::chrono::steady_clock::now() < deadline) std::this_thread::yield();
  };
  ASSERT_EQ(s.Configure(kFakeUrl), S_OK);
  ASSERT_EQ(s.op->Start(), S_OK);
  while (!inDownload.load()) std::this_thread::yield();
  EXPECT_EQ(s.op->Stop(), S_OK);
  EXPECT_EQ(s.Status(), ORB_E_TRANSFER_CANCELLED);
  EXPECT_EQ(Tree(s.card), Contents{});
  EXPECT_EQ(Tree(s.temp), Contents{});
}

TEST(COrbGameDownloader, RefusalsBeforeTheWorker) {
  Rig s;
  std::int64_t size = 0;
  std::int32_t extra = 0;
  EXPECT_EQ(s.op->GetContentInfo(nullptr, &extra), E_POINTER);
  EXPECT_EQ(s.op->GetContentInfo(&size, &extra), E_INVALIDARG);
  EXPECT_EQ(s.op->Start(), E_INVALIDARG);
  EXPECT_EQ(s.op->Stop(), ORB_E_NOT_RUNNING);
  // A storage that is not a drive takes no package.
  orb::test::FakeStorage portable;
  s.resource.body = GamePackage();
  ASSERT_EQ(s.op->SetStorage(&portable), S_OK);
  ASSERT_EQ(s.op->SetContentUrl(kFakeUrl), S_OK);
  EXPECT_EQ(s.Run(), E_INVALIDARG);
  EXPECT_EQ(Tree(s.temp), Contents{});
}

}  // namespace
