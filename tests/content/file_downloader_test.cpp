#include "content/file_downloader.h"

#include <gtest/gtest.h>

#include <fstream>

#include "device/msc_storage.h"
#include "support/fake_storage.h"
#include "support/fake_transport.h"
#include "support/file_url.h"
#include "support/scoped_drive.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using orb::test::FakeResource;
using orb::test::FakeStorage;
using orb::test::FakeTransportLog;

constexpr wchar_t kLetter = L'K';
constexpr const wchar_t* kUrl = L"fake://content/x.bin";
constexpr const wchar_t* kStoragePath = L"\\VIDEO\\x.bin";

std::string Pattern(std::size_t n) {
  std::string s(n, '\0');
  for (std::size_t i = 0; i < n; ++i) s[i] = static_cast<char>((i * 131 + i / 65536) & 0xFF);
  return s;
}

// Where a download goes: a local file, the drive storage or a storage in
// memory. Every case of the transfer runs against all three.
enum class Target { kLocal, kDrive, kMemory };

const char* Name(Target t) {
  switch (t) {
    case Target::kLocal: return "local file";
    case Target::kDrive: return "drive storage";
    case Target::kMemory: return "memory storage";
  }
  return "";
}

class DownloaderTest : public ::testing::Test {
 protected:
  DownloaderTest() : drive_(kLetter, tmp_.path() / "drive"), storage_(kLetter) {
    EXPECT_EQ(storage_.CreateDirectory(L"\\VIDEO"), S_OK);
  }

  std::unique_ptr<CNetworkUtil> OpenFront() {
    auto front = std::make_unique<CNetworkUtil>(
        std::vector<CNetworkUtil::TransportFactory>{orb::test::FakeTransportSlot(L"fake", L"fake://", &resource_, &log_)});
    EXPECT_EQ(front->Open(kUrl), S_OK);
    return front;
  }

  // Wires a downloader as the operations do: cancel flag, counters,
  // progress from 500 with a weight of 1000.
  void Wire(CFileDownloader* d) {
    ASSERT_EQ(d->SetCancelFlag(&cancel_), S_OK);
    ASSERT_EQ(d->SetChunkCounter(&chunks_), S_OK);
    ASSERT_EQ(d->SetByteCounter(&bytes_), S_OK);
    ASSERT_EQ(d->SetProgress(&progress_, 1000), S_OK);
    progress_ = 500;
  }

  HRESULT Download(Target target, bool overwrite = true) {
    auto front = OpenFront();
    CFileDownloader d;
    Wire(&d);
    switch (target) {
      case Target::kLocal:
        return d.DownloadWithPrefix(front.get(), LocalPath().wstring().c_str(), nullptr, 0, overwrite);
      case Target::kDrive: return d.DownloadToStorage(front.get(), &storage_, kStoragePath, overwrite);
      case Target::kMemory: return d.DownloadToStorage(front.get(), &memory_, kStoragePath, overwrite);
    }
    return E_FAIL;
  }

  fs::path LocalPath() const { return tmp_.path() / "local.bin"; }
  fs::path DrivePath() const { return tmp_.path() / "drive" / "VIDEO" / "x.bin"; }

  bool TargetExists(Target target) const {
    switch (target) {
      case Target::kLocal: return fs::exists(LocalPath());
      case Target::kDrive: return fs::exists(DrivePath());
      case Target::kMemory: return memory_.files.count(kStoragePath) != 0;
    }
    return false;
  }

  std::string TargetContent(Target target) const {
    switch (target) {
      case Target::kLocal: return orb::test::ReadFileBytes(LocalPath());
      case Target::kDrive: return orb::test::ReadFileBytes(DrivePath());
      case Target::kMemory: return memory_.files.at(kStoragePath);
    }
    return std::string();
  }

  void RemoveTargets() {
    fs::remove(LocalPath());
    fs::remove(DrivePath());
    memory_.files.clear();
  }

  orb::test::TempDir tmp_;
  orb::test::ScopedDrive drive_;
  CMSCStorage storage_;
  FakeStorage memory_;
  FakeResource resource_;
  FakeTransportLog log_;
  std::atomic<bool> cancel_{false};
  std::atomic<std::uint32_t> chunks_{0};
  std::atomic<std::uint32_t> bytes_{0};
  std::atomic<std::int32_t> progress_{0};
};

TEST_F(DownloaderTest, TransferCasesOnEveryTarget) {
  const struct {
    const char* name;
    std::function<void(FakeResource*, std::atomic<bool>*)> setUp;
    HRESULT want;
    bool complete;  // the target holds the whole body afterwards; else no target
  } cases[] = {
      {"several chunks", [](FakeResource* r, auto*) { r->body = Pattern(150000); }, S_OK, true},
      {"no length announced",
       [](FakeResource* r, auto*) {
         r->body = Pattern(70000);
         r->lengthResult = ORB_E_NO_CONTENT_LENGTH;
       },
       S_OK, true},
      {"zero-length resource", [](FakeResource* r, auto*) { r->body.clear(); }, S_OK, true},
      {"exactly the maximum",
       [](FakeResource* r, auto*) {
         r->body = Pattern(1000);
         r->maxLength = 1000;
       },
       S_OK, true},
      {"one byte more than the maximum",
       [](FakeResource* r, auto*) {
         r->body = Pattern(1001);
         r->maxLength = 1000;
       },
       ORB_E_TOO_LARGE, false},
      {"unannounced length beyond the maximum",
       [](FakeResource* r, auto*) {
         r->body = Pattern(140000);
         r->maxLength = 70000;
         r->lengthResult = ORB_E_NO_CONTENT_LENGTH;
       },
       ORB_E_TOO_LARGE, false},
      {"announced 1000, delivered 600",
       [](FakeResource* r, auto*) {
         r->body = Pattern(600);
         r->announced = 1000;
       },
       ORB_E_READ_BODY, false},
      {"announced 1000, delivered 0",
       [](FakeResource* r, auto*) {
         r->body.clear();
         r->announced = 1000;
       },
       ORB_E_READ_BODY, false},
      {"read fails at the third chunk",
       [](FakeResource* r, auto*) {
         r->body = Pattern(200000);
         r->failAtRead = 2;
         r->readFailure = ORB_E_SOCKET_OTHER;
       },
       ORB_E_SOCKET_OTHER, false},
      {"cancel between chunks",
       [](FakeResource* r, std::atomic<bool>* cancel) {
         r->body = Pattern(200000);
         r->onRead = [cancel](int i) {
           if (i == 1) *cancel = true;
         };
       },
       ORB_E_TRANSFER_CANCELLED, false},
      {"length query fails",
       [](FakeResource* r, auto*) {
         r->body = Pattern(10);
         r->lengthResult = ORB_E_HTTP_NOT_FOUND;
       },
       ORB_E_HTTP_NOT_FOUND, false},
  };
  for (Target target : {Target::kLocal, Target::kDrive, Target::kMemory}) {
    for (const auto& c : cases) {
      SCOPED_TRACE(std::string(Name(target)) + ": " + c.name);
      resource_ = FakeResource();
      cancel_ = false;
      RemoveTargets();
      c.setUp(&resource_, &cancel_);
      EXPECT_EQ(Download(target), c.want);
      ASSERT_EQ(TargetExists(target), c.complete);
      if (c.complete) {
        EXPECT_EQ(TargetContent(target), resource_.body);
      }
    }
  }
}

TEST_F(DownloaderTest, ProgressAndCounters) {
  for (Target target : {Target::kLocal, Target::kDrive, Target::kMemory}) {
    SCOPED_TRACE(Name(target));
    resource_ = FakeResource();
    resource_.body = Pattern(150000);  // reads of 65536, 65536, 18928 and 0
    std::vector<std::int32_t> seen;
    resource_.onRead = [&](int) { seen.push_back(progress_); };
    chunks_ = 0;
    ASSERT_EQ(Download(target), S_OK);
    EXPECT_EQ(seen, (std::vector<std::int32_t>{500, 500 + 65536 * 1000 / 150000, 500 + 131072 * 1000 / 150000, 1500}));
    EXPECT_EQ(progress_, 1500);
    EXPECT_EQ(bytes_, 150000u);
    EXPECT_EQ(chunks_, 5u) << "once at the start and once per read, the empty one included";
  }
}

TEST_F(DownloaderTest, WithoutLengthProgressJumpsAtTheEnd) {
  resource_.body = Pattern(150000);
  resource_.lengthResult = ORB_E_NO_CONTENT_LENGTH;
  std::vector<std::int32_t> seen;
  resource_.onRead = [&](int) { seen.push_back(progress_); };
  ASSERT_EQ(Download(Target::kLocal), S_OK);
  EXPECT_EQ(seen, (std::vector<std::int32_t>{500, 500, 500, 500}));
  EXPECT_EQ(progress_, 1500);
  EXPECT_EQ(fs::file_size(LocalPath()), 150000u);
}

TEST_F(DownloaderTest, StorageFaultsLeaveNoTarget) {
  const std::string body = Pattern(200000);
  const struct {
    const char* name;
    std::function<void(orb::test::FakeStorageFaults*, std::atomic<bool>*)> setUp;
    HRESULT want;
    bool complete;
  } cases[] = {
      {"write fails at the second chunk",
       [](auto* f, auto*) {
         f->failWriteAt = 1;
         f->writeFailure = ORB_E_PATH_NOT_FOUND;
       },
       ORB_E_WRITE_FAILED, false},
      {"short write at the first chunk", [](auto* f, auto*) { f->shortWriteAt = 0; }, ORB_E_WRITE_FAILED, false},
      {"busy three times at the second chunk",
       [](auto* f, auto*) {
         f->busyAt = 1;
         f->busyTimes = 3;
       },
       S_OK, true},
      {"cancel while the device is busy",
       [](auto* f, std::atomic<bool>* cancel) {
         f->busyAt = 1;
         f->busyTimes = 1000;
         f->onBusy = [cancel](int n) {
           if (n == 5) *cancel = true;
         };
       },
       ORB_E_TRANSFER_CANCELLED, false},
      {"closing fails: the data may not be on the device",
       [](auto* f, auto*) { f->close = ORB_E_BUSY; }, ORB_E_WRITE_FAILED, false},
      {"opening fails", [](auto* f, auto*) { f->openFile = E_ACCESSDENIED; }, ORB_E_TARGET_NOT_CREATED, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    resource_ = FakeResource();
    resource_.body = body;
    cancel_ = false;
    memory_ = FakeStorage();
    c.setUp(&memory_.faults, &cancel_);
    EXPECT_EQ(Download(Target::kMemory), c.want);
    ASSERT_EQ(TargetExists(Target::kMemory), c.complete);
    if (c.complete) {
      EXPECT_EQ(TargetContent(Target::kMemory), body);
    }
  }
}

TEST_F(DownloaderTest, BusyWritesAreRepeatedInOrder) {
  resource_.body = Pattern(150000);
  memory_.faults.busyAt = 1;
  memory_.faults.busyTimes = 3;
  ASSERT_EQ(Download(Target::kMemory), S_OK);
  EXPECT_EQ(memory_.log, (std::vector<std::string>{"exists \\VIDEO\\x.bin", "open \\VIDEO\\x.bin 150000",
                                                  "write 65536", "busy 65536", "busy 65536", "busy 65536",
                                                  "write 65536", "write 18928", "write 0", "close"}));
  EXPECT_EQ(TargetContent(Target::kMemory), resource_.body);
  EXPECT_EQ(log_.reads, 4) << "a busy write reads nothing new";
}

TEST_F(DownloaderTest, ExistingTargets) {
  resource_.body = "new content";

  // Local, overwrite clear: refused, the old file untouched.
  std::ofstream(LocalPath(), std::ios::binary) << "old";
  EXPECT_EQ(Download(Target::kLocal, false), ORB_E_TARGET_NOT_CREATED);
  EXPECT_EQ(orb::test::ReadFileBytes(LocalPath()), "old");
  EXPECT_EQ(Download(Target::kLocal, true), S_OK);
  EXPECT_EQ(orb::test::ReadFileBytes(LocalPath()), "new content");

  // Storage, overwrite clear: refused, the old file untouched.
  memory_.files[kStoragePath] = "old";
  EXPECT_EQ(Download(Target::kMemory, false), ORB_E_UNEXPECTED);
  EXPECT_EQ(memory_.files.at(kStoragePath), "old");
  EXPECT_EQ(Download(Target::kMemory, true), S_OK);
  EXPECT_EQ(memory_.files.at(kStoragePath), "new content");

  // A replaced file is deleted first and then written anew.
  std::ofstream(DrivePath(), std::ios::binary) << "a much longer old content";
  EXPECT_EQ(Download(Target::kDrive, true), S_OK);
  EXPECT_EQ(orb::test::ReadFileBytes(DrivePath()), "new content");

  // The existence query fails: nothing is deleted.
  memory_ = FakeStorage();
  memory_.files[kStoragePath] = "old";
  memory_.faults.fileExists = E_ACCESSDENIED;
  EXPECT_EQ(Download(Target::kMemory), ORB_E_UNEXPECTED);
  EXPECT_EQ(memory_.files.at(kStoragePath), "old");
  EXPECT_EQ(memory_.log, std::vector<std::string>{"exists \\VIDEO\\x.bin"});

  // The old file cannot be deleted.
  memory_.faults = orb::test::FakeStorageFaults();
  memory_.faults.deleteFile = E_ACCESSDENIED;
  EXPECT_EQ(Download(Target::kMemory), ORB_E_TARGET_NOT_CREATED);
  EXPECT_EQ(memory_.files.at(kStoragePath), "old");
}

TEST_F(DownloaderTest, PrefixComesFirst) {
  const std::string whole = Pattern(100000);
  resource_.body = whole.substr(32768);
  resource_.announced = static_cast<long long>(whole.size());
  auto front = OpenFront();
  CFileDownloader d;
  Wire(&d);
  ASSERT_EQ(d.DownloadWithPrefix(front.get(), LocalPath().wstring().c_str(), whole.data(), 32768, true), S_OK);
  EXPECT_EQ(orb::test::ReadFileBytes(LocalPath()), whole);
  EXPECT_EQ(bytes_, whole.size());
  EXPECT_TRUE(front->IsOpen()) << "the caller's front stays open";
}

TEST_F(DownloaderTest, DownloadToFileThroughAFileUrl) {
  const std::string body = Pattern(100000);
  const fs::path source = tmp_.Write("source file.bin", body);
  CFileDownloader d;
  EXPECT_EQ(d.DownloadToFile(orb::test::FileUrl(source).c_str(), LocalPath().wstring().c_str(), true), S_OK);
  EXPECT_EQ(orb::test::ReadFileBytes(LocalPath()), body);

  const fs::path other = tmp_.path() / "other.bin";
  EXPECT_EQ(d.DownloadToFile(orb::test::FileUrl(tmp_.path() / "missing.bin").c_str(), other.wstring().c_str(), true),
            ORB_E_LOCAL_FILE_OPEN);
  EXPECT_EQ(d.DownloadToFile(L"ftp://127.0.0.1:1/x", other.wstring().c_str(), true), ORB_E_URL_NOT_SUPPORTED);
  EXPECT_FALSE(fs::exists(other));
}

TEST_F(DownloaderTest, ArgumentChecks) {
  CFileDownloader d;
  EXPECT_EQ(d.SetCancelFlag(nullptr), E_POINTER);
  EXPECT_EQ(d.SetChunkCounter(nullptr), E_POINTER);
  EXPECT_EQ(d.SetByteCounter(nullptr), E_POINTER);
  EXPECT_EQ(d.SetProgress(nullptr, 1), E_POINTER);
  auto front = OpenFront();
  const std::wstring local = LocalPath().wstring();
  EXPECT_EQ(d.DownloadToFile(nullptr, local.c_str(), true), E_POINTER);
  EXPECT_EQ(d.DownloadToFile(kUrl, nullptr, true), E_POINTER);
  EXPECT_EQ(d.DownloadWithPrefix(nullptr, local.c_str(), nullptr, 0, true), E_POINTER);
  EXPECT_EQ(d.DownloadWithPrefix(front.get(), local.c_str(), nullptr, 10, true), E_POINTER);
  EXPECT_EQ(d.DownloadToStorage(front.get(), nullptr, kStoragePath, true), E_POINTER);
  EXPECT_EQ(d.DownloadToStorage(front.get(), &memory_, nullptr, true), E_POINTER);
  CNetworkUtil closed;
  EXPECT_EQ(d.DownloadWithPrefix(&closed, local.c_str(), nullptr, 0, true), E_INVALIDARG);
  EXPECT_EQ(d.DownloadToStorage(&closed, &memory_, kStoragePath, true), E_INVALIDARG);
  EXPECT_FALSE(fs::exists(LocalPath()));
  EXPECT_TRUE(memory_.log.empty());
}

TEST_F(DownloaderTest, ByteCounterSaturatesBeyond4GiB) {
  resource_.generatedSize = (std::uint64_t{4} << 30) + 70000;
  resource_.maxLength = ~std::uint64_t{0};
  memory_.discard = true;
  ASSERT_EQ(Download(Target::kMemory), S_OK);
  EXPECT_EQ(memory_.discarded, resource_.generatedSize);
  EXPECT_EQ(bytes_, 0xFFFFFFFFu);
  EXPECT_EQ(progress_, 1500);
}

TEST_F(DownloaderTest, StorageCopyProgressCallback) {
  CFileDownloader d;
  Wire(&d);
  d.SetCopyBase(2000);
  EXPECT_EQ(d.OnProgress(100, 50, nullptr), storage_progress::kNotNow);
  EXPECT_EQ(d.OnProgress(0, 0, &d), storage_progress::kContinue);
  EXPECT_EQ(progress_, 500) << "an empty copy moves nothing";
  chunks_ = 0;
  EXPECT_EQ(d.OnProgress(100, 50, &d), storage_progress::kContinue);
  EXPECT_EQ(progress_, 2000 + 50 * 1000 / 200);
  EXPECT_EQ(chunks_, 1u);

  // Through a real copy: half the weight over the whole copy.
  const fs::path source = tmp_.Write("copy.bin", Pattern(200000));
  ASSERT_EQ(storage_.CopyFileToStorage(L"\\VIDEO\\copy.bin", source.wstring(), &d, &d), S_OK);
  EXPECT_EQ(progress_, 2500);
  EXPECT_EQ(orb::test::ReadFileBytes(tmp_.path() / "drive" / "VIDEO" / "copy.bin"), Pattern(200000));

  // A cancel stops the copy.
  cancel_ = true;
  EXPECT_EQ(d.OnProgress(100, 50, &d), storage_progress::kStop);
  ASSERT_EQ(storage_.CopyFileToStorage(L"\\VIDEO\\copy2.bin", source.wstring(), &d, &d), S_OK);
  EXPECT_EQ(fs::file_size(tmp_.path() / "drive" / "VIDEO" / "copy2.bin"), 0u);
}

}  // namespace
