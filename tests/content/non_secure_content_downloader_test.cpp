// The plain-media operation, run as the flow runs it: configure, ask the
// size, start, poll until it ends. The handheld is a virtual one whose card
// drive K lives in a temporary folder; store content comes from a fake
// transport, local files through the real file transport.
#include "content/non_secure_content_downloader.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <future>
#include <iterator>
#include <thread>
#include <string>
#include <vector>

#include "base/wide_text.h"
#include "device/msc_storage.h"
#include "support/fake_storage.h"
#include "support/fake_transport.h"
#include "support/file_url.h"
#include "support/scoped_drive.h"
#include "support/temp_dir.h"
#include "support/virtual_handheld_fixture.h"

namespace {

namespace fs = std::filesystem;
using orb::test::FakeResource;
using orb::test::FakeTransportLog;

constexpr wchar_t kStore[] = L"http://store.example/";

// Lets a test see the cancel flag, as the worker does.
class Operation : public CNonSecureContentDownloader {
 public:
  using CNonSecureContentDownloader::CNonSecureContentDownloader;
  bool Cancelled() const { return IsCancelRequested(); }
};

class PlainMediaTest : public ::testing::Test {
 protected:
  PlainMediaTest() : handheld_("[Drive K]\nIdentity = card\nProductCode = 01 0A\n"), drive_(L'K', Card()) {}

  fs::path Card() const { return tmp_.path() / "card"; }

  std::unique_ptr<Operation> MakeOperation(const std::wstring& url, IDeviceStorage* storage = nullptr) {
    auto transports = CNetworkUtil::DefaultTransports();
    transports.insert(transports.begin(), orb::test::FakeTransportSlot(L"store", kStore, &resource_, &log_));
    auto op = std::make_unique<Operation>(std::move(transports));
    EXPECT_EQ(op->SetStorage(storage != nullptr ? storage : &card_), S_OK);
    EXPECT_EQ(op->SetContentUrl(url.c_str()), S_OK);
    EXPECT_EQ(op->SetCountry(L"JP"), S_OK);
    return op;
  }

  // As the flow: the size first, then Start, then poll until the worker
  // has ended. The result of Start, or the status the worker ended with.
  static HRESULT Run(Operation& op) {
    std::int64_t size = 0;
    std::int32_t extra = 0;
    HRESULT hr = op.GetContentInfo(&size, &extra);
    if (FAILED(hr)) return hr;
    hr = op.Start();
    if (FAILED(hr)) return hr;
    return Wait(op);
  }

  static HRESULT Wait(Operation& op) {
    while (op.IsRunning()) std::this_thread::yield();
    std::int32_t value = 0;
    std::int32_t chunks = 0;
    HRESULT status = S_OK;
    EXPECT_EQ(op.GetProgress(CDownloaderBase::kProgressPosition, &value, &chunks, &status), S_OK);
    return status;
  }

  // Every file and folder on the card, relative, with "/" and a "/" after
  // folders.
  std::vector<std::string> CardTree() const {
    std::vector<std::string> entries;
    for (const auto& e : fs::recursive_directory_iterator(Card())) {
      std::string name = fs::relative(e.path(), Card()).generic_u8string();
      if (e.is_directory()) name += "/";
      entries.push_back(name);
    }
    std::sort(entries.begin(), entries.end());
    return entries;
  }

  orb::test::TempDir tmp_;
  orb::test::ScopedVirtualHandheld handheld_;
  orb::test::ScopedDrive drive_;
  CMSCStorage card_{L'K'};
  FakeResource resource_;
  FakeTransportLog log_;
};

using Entries = std::vector<std::string>;

// Where a store's file lands: the folder of its extension, else of its
// content type; the URL's name with the table's extension.
TEST_F(PlainMediaTest, TypeFolderAndNameFromTheUrl) {
  const struct {
    const char* what;
    const wchar_t* path;  // after the store's address
    const wchar_t* contentType;
    HRESULT result;
    Entries tree;  // the card afterwards
    bool typeAsked;
  } cases[] = {
      {"extension decides", L"media/Clip.mp4", L"image/png", S_OK, {"VIDEO/", "VIDEO/Clip.MP4"}, false},
      {"upper-case extension", L"m/Photo.JPG", L"", S_OK, {"PICTURE/", "PICTURE/Photo.JPG"}, false},
      {"theme: both folders made", L"t/summer.kxm", L"", S_OK, {"KVX/", "KVX/THEME/", "KVX/THEME/summer.KXM"}, false},
      {"content type decides", L"media/track", L"image/jpeg", S_OK, {"PICTURE/", "PICTURE/track.JPG"}, true},
      {"content type in another case", L"media/song.ogg", L"AUDIO/MPEG", S_OK, {"MUSIC/", "MUSIC/song.MP3"}, true},
      {"no name", L"", L"audio/x-wav", S_OK, {"MUSIC/", "MUSIC/NO_NAME.WAV"}, true},
      {"no name before the extension", L"a/.png", L"", S_OK, {"PICTURE/", "PICTURE/NO_NAME.PNG"}, false},
      {"query and fragment name nothing", L"m/Clip.mp4?token=a.b#c.d", L"", S_OK, {"VIDEO/", "VIDEO/Clip.MP4"},
       false},
      {"name decoded", L"m/My%20Clip.mp4", L"", S_OK, {"VIDEO/", "VIDEO/My Clip.MP4"}, false},
      {"type with a parameter matches nothing", L"media/song", L"audio/mpeg; charset=x", ORB_E_NO_CONTENT_TYPE, {},
       true},
      {"no type at all", L"media/notes.txt", L"", ORB_E_NO_CONTENT_TYPE, {}, true},
      // A name from a URL never leaves its folder...
      {"encoded dot-dot and slashes", L"a/..%2F..%2Fevil.mp4", L"", S_OK, {"VIDEO/", "VIDEO/evil.MP4"}, false},
      {"encoded backslashes", L"a/..%5C..%5Cevil.mp3", L"", S_OK, {"MUSIC/", "MUSIC/evil.MP3"}, false},
      // ...and names that would not be a file of their own are refused
      // before anything is written.
      {"device name", L"CON.mp4", L"", ORB_E_TARGET_NOT_CREATED, {}, false},
      {"device name with dots", L"x/nul.tar.mp3", L"", ORB_E_TARGET_NOT_CREATED, {}, false},
      {"stream of another file", L"a%3Ab.mp4", L"", ORB_E_TARGET_NOT_CREATED, {}, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    fs::remove_all(Card());
    fs::create_directories(Card());
    resource_ = FakeResource();
    resource_.body = "media bytes";
    resource_.contentType = c.contentType;
    log_ = FakeTransportLog();
    auto op = MakeOperation(std::wstring(kStore) + c.path);
    EXPECT_EQ(Run(*op), SUCCEEDED(c.result) ? ORB_STATE_FINISHED : c.result);
    EXPECT_EQ(CardTree(), c.tree);
    EXPECT_EQ(log_.contentTypeQuestions != 0, c.typeAsked);
    if (SUCCEEDED(c.result)) {
      EXPECT_EQ(orb::test::ReadFileBytes(Card() / fs::u8path(c.tree.back())), "media bytes");
    }
  }
}

// Names whose cracked form is the platform's own (WinINet simplifies dot
// segments and treats control characters its own way): whatever the
// outcome, nothing lands outside the type's folder.
TEST_F(PlainMediaTest, OddNamesStayInTheirFolder) {
  const struct {
    const wchar_t* path;
    const wchar_t* contentType;
    const char* folder;
  } cases[] = {
      {L"a/..", L"application/mp4", "VIDEO/"},
      {L"a/%2E%2E", L"application/mp4", "VIDEO/"},
      {L"a%0Ab.png", L"", "PICTURE/"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(orb::WideToUtf8(c.path));
    fs::remove_all(Card());
    fs::create_directories(Card());
    resource_ = FakeResource();
    resource_.body = "media bytes";
    resource_.contentType = c.contentType;
    auto op = MakeOperation(std::wstring(kStore) + c.path);
    const HRESULT hr = Run(*op);
    const Entries tree = CardTree();
    if (hr == ORB_STATE_FINISHED) {
      ASSERT_EQ(tree.size(), 2u);
      EXPECT_EQ(tree[0], c.folder);
      EXPECT_EQ(tree[1].rfind(c.folder, 0), 0u) << tree[1];
    } else {
      EXPECT_TRUE(tree.empty() || tree == Entries{c.folder});
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(tmp_.path()), fs::directory_iterator()), 1) << "beside the card";
  }
}

TEST_F(PlainMediaTest, FinishedRunReportsEverythingAndReplacesAnExistingFile) {
  fs::create_directories(Card() / "VIDEO");
  orb::test::TempDir other;
  tmp_.Write("card/VIDEO/Clip.MP4", "an older clip, longer than the new one");
  const std::string clip(200000, 'c');
  const auto source = other.Write("Clip.mp4", clip);
  auto op = MakeOperation(orb::test::FileUrl(source));

  std::int64_t size = 0;
  std::int32_t extra = 0;
  ASSERT_EQ(op->GetContentInfo(&size, &extra), S_OK);
  EXPECT_EQ(size, 200000);
  EXPECT_EQ(extra, 8192);
  ASSERT_EQ(op->Start(), S_OK);
  EXPECT_EQ(Wait(*op), ORB_STATE_FINISHED);
  EXPECT_EQ(orb::test::ReadFileBytes(Card() / "VIDEO" / "Clip.MP4"), clip);

  std::int32_t value = 0;
  std::int32_t chunks = 0;
  HRESULT status = S_OK;
  ASSERT_EQ(op->GetProgress(CDownloaderBase::kProgressPosition, &value, &chunks, &status), S_OK);
  EXPECT_EQ(value, 10000);
  EXPECT_EQ(chunks, 1 + 5 + 1);  // the download's start, its chunks (4 and the end), the finish
  ASSERT_EQ(op->GetProgress(CDownloaderBase::kProgressBytes, &value, &chunks, &status), S_OK);
  EXPECT_EQ(value, 200000);
  EXPECT_EQ(op->Stop(), ORB_E_NOT_RUNNING);
  // The source is not held any longer: it can be removed.
  std::error_code ec;
  EXPECT_TRUE(fs::remove(source, ec)) << ec.message();
}

TEST_F(PlainMediaTest, SizeSpaceAndConfigurationChecks) {
  resource_.body = std::string(10000, 'x');
  orb::test::FakeStorage small(L'K');
  small.freeBytes = 10000 + 8192;  // the content and its extra bytes must be strictly less
  auto op = MakeOperation(std::wstring(kStore) + L"a.mp3", &small);
  std::int64_t size = 0;
  std::int32_t extra = 0;
  EXPECT_EQ(op->GetContentInfo(nullptr, &extra), E_POINTER);
  EXPECT_EQ(op->GetContentInfo(&size, nullptr), E_POINTER);
  EXPECT_EQ(op->Start(), ORB_E_NOT_ENOUGH_SPACE);
  EXPECT_FALSE(op->IsRunning());
  small.freeBytes += 1;
  EXPECT_EQ(Run(*op), ORB_STATE_FINISHED);
  EXPECT_EQ(small.files[L"\\MUSIC\\a.MP3"], resource_.body);
  // One size question for both GetContentInfo calls and Start's check.
  EXPECT_EQ(log_.opens, 2);  // the size, the download

  // A server that announces no length: the check lets it pass.
  resource_.lengthResult = ORB_E_NO_CONTENT_LENGTH;
  small.freeBytes = 1;
  small.files.clear();
  op = MakeOperation(std::wstring(kStore) + L"b.png", &small);
  ASSERT_EQ(op->GetContentInfo(&size, &extra), S_OK);
  EXPECT_EQ(size, CDownloaderBase::kSizeUnknown);
  EXPECT_EQ(Run(*op), ORB_STATE_FINISHED);
  EXPECT_EQ(small.files[L"\\PICTURE\\b.PNG"], resource_.body);

  // Configuration.
  Operation bare;
  EXPECT_EQ(bare.SetContentUrl(nullptr), E_POINTER);
  EXPECT_EQ(bare.GetContentInfo(&size, &extra), E_INVALIDARG);
  EXPECT_EQ(bare.Start(), E_INVALIDARG);
  ASSERT_EQ(bare.SetContentUrl(L"http://store.example/a.mp3"), S_OK);
  EXPECT_EQ(bare.Start(), E_INVALIDARG);  // no storage
  EXPECT_EQ(bare.Stop(), ORB_E_NOT_RUNNING);
  std::wstring path;
  EXPECT_EQ(bare.BuildTargetPath(&path), E_INVALIDARG);
  ASSERT_EQ(bare.SetStorage(&card_), S_OK);
  ASSERT_EQ(bare.SetContentUrl(L"no-url"), S_OK);
  EXPECT_EQ(bare.BuildTargetPath(&path), E_FAIL);
  EXPECT_EQ(bare.GetContentInfo(&size, &extra), ORB_E_URL_NOT_SUPPORTED);

  // A missing local file fails when its size is asked.
  op = MakeOperation(orb::test::FileUrl(tmp_.path() / "missing.mp4"));
  EXPECT_EQ(op->GetContentInfo(&size, &extra), ORB_E_LOCAL_FILE_OPEN);
}

TEST_F(PlainMediaTest, SettersAndQuestionsAreRefusedWhileRunning) {
  resource_.body = std::string(3 * 65536, 'r');
  std::unique_ptr<Operation> op = MakeOperation(std::wstring(kStore) + L"a.mp4");
  std::vector<HRESULT> seen;
  resource_.onRead = [&](int index) {
    if (index != 1) return;
    std::int64_t size = 0;
    std::int32_t extra = 0;
    seen = {op->GetContentInfo(&size, &extra), op->SetContentUrl(L"http://store.example/b.mp4"),
            op->SetStorage(&card_), op->SetCountry(L"US"), op->Start()};
  };
  EXPECT_EQ(Run(*op), ORB_STATE_FINISHED);
  EXPECT_EQ(seen, std::vector<HRESULT>(5, ORB_E_RUNNING));
  EXPECT_EQ(CardTree(), (Entries{"VIDEO/", "VIDEO/a.MP4"}));
}

TEST_F(PlainMediaTest, StopDuringTheDownloadLeavesNoFile) {
  resource_.generatedSize = 64 * 65536;
  std::unique_ptr<Operation> op = MakeOperation(std::wstring(kStore) + L"big.mp4");
  std::promise<void> reached;
  resource_.onRead = [&](int index) {
    if (index != 2) return;
    reached.set_value();
    while (!op->Cancelled()) std::this_thread::yield();
  };
  std::int64_t size = 0;
  std::int32_t extra = 0;
  ASSERT_EQ(op->GetContentInfo(&size, &extra), S_OK);
  ASSERT_EQ(op->Start(), S_OK);
  reached.get_future().wait();
  EXPECT_EQ(op->Stop(), S_OK);
  EXPECT_FALSE(op->IsRunning());
  EXPECT_EQ(Wait(*op), ORB_E_TRANSFER_CANCELLED);
  EXPECT_EQ(CardTree(), Entries{"VIDEO/"});  // folders made before a failure stay

  // It can run again.
  resource_.onRead = nullptr;
  EXPECT_EQ(Run(*op), ORB_STATE_FINISHED);
  EXPECT_EQ(fs::file_size(Card() / "VIDEO" / "big.MP4"), 64u * 65536u);
}

TEST_F(PlainMediaTest, FolderThatCannotBeMade) {
  tmp_.Write("card/VIDEO", "a file where the folder belongs");
  resource_.body = "clip";
  auto op = MakeOperation(std::wstring(kStore) + L"Clip.mp4");
  EXPECT_EQ(Run(*op), ORB_E_STORAGE_NOT_ACCESSIBLE);
  EXPECT_EQ(orb::test::ReadFileBytes(Card() / "VIDEO"), "a file where the folder belongs");
}

// The store is told the handheld's model and the buyer's country; the
// Content-Type question goes to the same download URL.
TEST_F(PlainMediaTest, DownloadUrlCarriesTheStoreQuery) {
  auto op = MakeOperation(std::wstring(kStore) + L"c/a.mp4?x=1");
  std::wstring url;
  ASSERT_EQ(op->BuildDownloadUrl(&url), S_OK);
  EXPECT_EQ(url, L"http://store.example/c/a.mp4?x=1&product=010A&country=JP");
  orb::test::FakeStorage portable;
  ASSERT_EQ(op->SetStorage(&portable), S_OK);
  ASSERT_EQ(op->BuildDownloadUrl(&url), S_OK);
  // Without a product part the query begins with "&": kept as the store
  // expects it.
  EXPECT_EQ(url, L"http://store.example/c/a.mp4?x=1&&country=JP");
}

}  // namespace
