// The operation flow, in-process: control files in a temporary folder, the
// release-version file through a file:// URL, the scripted user interface,
// a fake handheld and fake operations.
#include "flow/downloader_visual_flow.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/wide_text.h"
#include "flow/lock_with_mutex2.h"
#include "flow_fakes.h"
#include "base/wide_text.h"
#include "support/file_url.h"
#include "support/temp_dir.h"
#include "ui/scripted_user_interface.h"
#include "ui/string_table.h"

namespace {

using orb::test::FakeStorage;
using orb::test::Step;
using orb::ui::ScriptedUserInterface;
using ErrorMessage = CDownloaderVisualFlow::ErrorMessage;

const std::string kCaption = "Orbiton\xC2\xAENetwork Downloader";

// The lines of the scripted user interface for boxes and notices.
std::string Box(const std::string& text, const char* icon = "none", const char* buttons = "ok",
                const char* owner = "none", const char* answer = nullptr) {
  const std::string defaultButton = std::string(buttons) == "ok" ? "ok" : std::string(buttons) == "yes-no" ? "no"
                                                                                                          : "retry";
  const std::string pressed = answer != nullptr ? answer : std::string(buttons) == "ok" ? "ok" : "cancel";
  return "[UI] message caption=\"" + kCaption + "\" text=\"" + text + "\" icon=" + icon + " buttons=" + buttons +
         " default=" + defaultButton + " owner=" + owner + " -> " + pressed;
}
std::string Error(const std::string& text) { return Box(text); }
std::string Retry(const std::string& text, const char* icon, const char* answer) {
  return Box(text, icon, "retry-cancel", "progress", answer);
}
std::string Link(const std::string& text, const std::string& url) {
  return "[UI] link caption=\"" + kCaption + "\" text=\"" + text + "\" url=\"" + url + "\" -> ok";
}
std::string Question(const std::string& text, const char* answer) {
  return "[UI] question caption=\"" + kCaption + "\" text=\"" + text +
         "\" icon=none buttons=yes-no default=no owner=none -> " + answer;
}

const std::string kConnect =
    "Establish a USB connection to the device.\\r\\n\\r\\n<If Using a KVX\xE2\x84\xA2 System> Connect the "
    "KVX\xE2\x84\xA2 system using a USB cable, and then select [USB Connection] under [Settings] on the "
    "KVX\xE2\x84\xA2 system.";
const std::string kSeveral = "More than one device is connected.\\r\\nConnect only one device.";
const std::string kUpdateDevice =
    "You must perform a system software update on the connected device.\\r\\nFor information on update "
    "methods, refer to the instructions for the device.";
const std::string kMustUpdate =
    "A later version of \\\"Orbiton\xC2\xAENetwork Downloader\\\" is available.\\r\\nTo download, you must "
    "update to the latest version.";
const std::string kNewer = "A later version of \\\"Orbiton\xC2\xAENetwork Downloader\\\" is available.";
const std::string kCompleted = Box("Download completed.", "information");
const std::string kCopyCompleted = Box("Copy completed.", "information");

class FlowTest : public ::testing::Test {
 protected:
  void SetUp() override { orb::ui::SetCurrentLanguage(orb::ui::kLangEnglish); }
  void TearDown() override { orb::ui::SetCurrentLanguage(0); }

  // Runs a control file as the program does: read it, Start, ShowError on
  // failure. The release-version file is `releaseFile` ("" = none there).
  HRESULT Run(const std::string& controlFile, std::vector<std::string> answers = {},
              const std::string& releaseFile = "") {
    ui_ = std::make_unique<ScriptedUserInterface>(std::move(answers));
    CDownloaderVisualFlow flow(*ui_, devices, operations, clock_);
    flow.SetVersion(program[0], program[1], program[2], program[3]);
    const auto release = releaseFile.empty() ? dir_.path() / "no-release-file.xpd"
                                             : dir_.Write("ORBDversion.xpd", releaseFile);
    flow.SetReleaseFileUrl(orb::test::FileUrl(release));
    flow.SetLockName(LockName());
    HRESULT hr = flow.ReadControlFile(dir_.Write("control.dsf", controlFile).wstring().c_str());
    if (SUCCEEDED(hr)) hr = flow.Start();
    if (FAILED(hr)) flow.ShowError(hr);
    storageKind_ = flow.GetStorageKind();
    copyMode_ = flow.GetCopyMode();
    return hr;
  }

  // Each test its own lock: other tests and build trees run at the same time.
  std::wstring LockName() const {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    return orb::Utf8ToWide(std::string("orbdl-flow-test-") + info->name() + "-" + dir_.path().filename().string());
  }

  // Message boxes, questions and notices, in order.
  std::vector<std::string> Boxes() const {
    std::vector<std::string> out;
    for (const auto& line : ui_->Lines()) {
      if (line.rfind("[UI] message", 0) == 0 || line.rfind("[UI] link", 0) == 0 ||
          line.rfind("[UI] question", 0) == 0) {
        out.push_back(line);
      }
    }
    return out;
  }
  // Status lines of the progress dialog, in order.
  std::vector<std::string> Statuses() const {
    std::vector<std::string> out;
    for (const auto& line : ui_->Lines()) {
      if (line.rfind("[UI] progress status=", 0) == 0) out.push_back(line.substr(21));
    }
    return out;
  }
  bool Has(const std::string& line) const {
    const auto lines = ui_->Lines();
    return std::find(lines.begin(), lines.end(), line) != lines.end();
  }
  bool ProgressShown() const { return Has("[UI] progress open"); }

  orb::test::FakeDevices devices;
  orb::test::FakeOperations operations;
  std::uint32_t program[4] = {2, 5, 0, 1024};
  orb::test::TempDir dir_;
  orb::test::InstantClock clock_;
  std::unique_ptr<ScriptedUserInterface> ui_;
  std::int32_t storageKind_ = 0;
  bool copyMode_ = false;
};

const char kPlainMedia[] = "[Info]\r\nEID=pnv#\r\nDesc=Clip\r\nCC=JP\r\n[File]\r\nC=http://store.example/Clip.mp4\r\n";
const char kGame[] = "[Info]\r\nEID=pngc\r\nDesc=Racer\r\nCC=FR\r\n[File]\r\nC=http://store.example/pkg/racer\r\n";

// --- Failure messages.

TEST(FlowMessagesTest, EveryCodeHasItsMessage) {
  using namespace orb::ui;
  const std::int32_t kCard = 1, kSd = 2, kSystem = 3;
  struct Case {
    HRESULT code;
    std::int32_t kind;
    bool copy;
    unsigned id;
    bool showCode;
  } cases[] = {
      {ORB_E_CANCELLED, 0, false, 0, false},
      {ORB_E_PROGRAM_TOO_OLD, 0, false, 0, false},
      {ORB_E_ANOTHER_OPERATION, 0, false, IDS_ANOTHER_DOWNLOAD, false},
      {ORB_E_NO_MEDIUM, 0, false, IDS_NO_FLASH_KEY, false},
      {ORB_E_NO_MEDIUM, kCard, false, IDS_NO_FLASH_KEY, false},
      {ORB_E_NO_MEDIUM, kSd, false, IDS_NO_SD_CARD, false},
      {ORB_E_NO_MEDIUM, kSystem, false, IDS_NO_SYSTEM_STORAGE, false},
      {ORB_E_NO_MEDIUM, 4, false, IDS_NO_FLASH_KEY, false},
      {ORB_E_SYSTEM_SOFTWARE_TOO_OLD, 0, false, IDS_UPDATE_SYSTEM_SOFTWARE, false},
      {ORB_E_UNSUPPORTED_OPERATION, 0, false, IDS_TYPE_NOT_SUPPORTED, true},
      {ORB_E_NO_OPERATION, 0, false, IDS_ERROR, true},
      {ORB_E_NEWER_RELEASE, 0, false, IDS_ERROR, true},
      {orb::MakeStatus(0x80046FFFu), 0, false, IDS_ERROR, true},
      {ORB_E_LOCAL_DISK_FULL, 0, false, IDS_DISK_FULL, true},
      {ORB_E_INTERNET, 0, false, IDS_CONNECTION_ERROR, true},
      {ORB_E_HTTP_NOT_FOUND, 0, false, IDS_CONNECTION_ERROR, true},
      {ORB_E_NO_CONTENT_LENGTH, 0, false, IDS_CONNECTION_ERROR, true},
      {ORB_E_TRANSFER_CANCELLED, 0, false, IDS_ERROR, true},
      {ORB_E_NO_CONTENT_TYPE, 0, false, IDS_ERROR, true},
      {ORB_E_NO_INSTALL_FOLDER, 0, false, IDS_ERROR, true},
      {ORB_E_READ_BODY, 0, false, IDS_CONNECTION_ERROR, true},
      {ORB_E_TOO_LARGE, 0, false, IDS_TYPE_NOT_SUPPORTED, true},
      {ORB_E_NOT_ENOUGH_SPACE, 0, false, IDS_FLASH_KEY_FULL, false},
      {ORB_E_NOT_ENOUGH_SPACE, kSd, false, IDS_SD_CARD_FULL, false},
      {ORB_E_NOT_ENOUGH_SPACE, kSystem, false, IDS_SYSTEM_STORAGE_FULL, false},
      {ORB_E_MEDIUM_LOCKED, kCard, false, IDS_FLASH_KEY_LOCKED, false},
      {ORB_E_MEDIUM_LOCKED, kSd, false, IDS_SD_CARD_LOCKED, false},
      {ORB_E_MEDIUM_LOCKED, kSystem, false, IDS_SYSTEM_STORAGE_LOCKED, false},
      {ORB_E_STORAGE_NOT_ACCESSIBLE, 0, false, IDS_FLASH_KEY_NOT_ACCESSIBLE, false},
      {ORB_E_STORAGE_NOT_ACCESSIBLE, kSd, false, IDS_SD_CARD_NOT_ACCESSIBLE, false},
      {ORB_E_STORAGE_NOT_ACCESSIBLE, kSystem, false, IDS_SYSTEM_STORAGE_NOT_ACCESSIBLE, false},
      {ORB_E_WRONG_MODEL, 0, false, IDS_GO_ONLY, false},
      {ORB_E_LOCAL_FILE_OPEN, 0, false, IDS_DOWNLOAD_FAILED, true},
      {ORB_E_LOCAL_FILE_OPEN, 0, true, IDS_COPY_FAILED, true},
      {ORB_E_LOCAL_FILE_READ, kSystem, true, IDS_COPY_FAILED, true},
      {ORB_E_NO_DEVICE, 0, false, IDS_ERROR, true},
      {ORB_E_PATH_TOO_LONG, 0, false, IDS_ERROR, true},
      {ORB_E_RUNNING, 0, false, IDS_ERROR, true},
      {ORB_E_URL_NOT_SUPPORTED, 0, true, IDS_ERROR, true},
      {ORB_E_WININET_BASE, 0, false, IDS_CONNECTION_ERROR, true},
      {ORB_E_WININET_FIRST, 0, false, IDS_CONNECTION_ERROR, true},
      {ORB_E_WININET_LAST, 0, false, IDS_CONNECTION_ERROR, true},
      {orb::MakeStatus(0x80048BFFu), 0, false, IDS_CONNECTION_ERROR, true},
      {ORB_E_SOCKET_CONNECT, 0, false, IDS_CONNECTION_ERROR, true},
      {ORB_E_SOCKET_RESERVED_190, 0, false, IDS_CONNECTION_ERROR, true},
      {orb::MakeStatus(0x80048A01u), 0, false, IDS_ERROR, true},
      {orb::MakeStatus(0x80048D01u), 0, false, IDS_ERROR, true},
      {E_POINTER, 0, false, IDS_ERROR, true},
      {E_INVALIDARG, kSystem, true, IDS_ERROR, true},
      {E_OUTOFMEMORY, 0, false, IDS_ERROR, true},
      {ORB_E_PKG_DIGEST, 0, false, IDS_ERROR, true},
      // Outside the program's facility the storage texts never apply.
      {orb::MakeStatus(0x80078201u), kSystem, false, IDS_ERROR, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << std::hex << static_cast<unsigned>(c.code) << " kind " << c.kind
                                    << (c.copy ? " copy" : ""));
    const ErrorMessage m = CDownloaderVisualFlow::MessageForCode(c.code, c.kind, c.copy);
    EXPECT_EQ(m.textId, c.id);
    EXPECT_EQ(m.showCode, c.showCode);
  }
}

TEST_F(FlowTest, ShowErrorFormatsTheOneMessage) {
  ui_ = std::make_unique<ScriptedUserInterface>();
  CDownloaderVisualFlow flow(*ui_, devices, operations, clock_);
  flow.ShowError(E_INVALIDARG);
  flow.ShowError(ORB_E_ANOTHER_OPERATION);
  flow.ShowError(ORB_E_CANCELLED);
  flow.ShowError(ORB_E_PROGRAM_TOO_OLD);
  flow.ShowError(ORB_E_WININET_FIRST);
  EXPECT_EQ(Boxes(), (std::vector<std::string>{Error("An error has occurred. \\r\\n(0x80070057)"),
                                               Error("Another download is currently being processed."),
                                               Error("A connection error has occurred. \\r\\n(0x80048b01)")}));
}

// --- Start: dispatch, lock, release checks.

TEST_F(FlowTest, DispatchOnTheOperationCode) {
  struct Case {
    const char* code;
    HRESULT want;
    bool progress;
    std::vector<OperationType> created;
    std::string message;
  } cases[] = {
      {"PNGC", ORB_E_UNSUPPORTED_OPERATION, false, {}, "The data type is not supported. \\r\\n(0x80046103)"},
      {"pnv", ORB_E_UNSUPPORTED_OPERATION, false, {}, "The data type is not supported. \\r\\n(0x80046103)"},
      {nullptr, ORB_E_NO_OPERATION, false, {}, "An error has occurred. \\r\\n(0x80046101)"},
      {"pnvc", E_INVALIDARG, true, {}, "An error has occurred. \\r\\n(0x80070057)"},
      // Operations this build does not have fail honestly, before any
      // question about the handheld.
      {"pngc", E_NOTIMPL, true, {OperationType::kGamePackage}, "An error has occurred. \\r\\n(0x80004001)"},
      {"pnvm", E_NOTIMPL, true, {OperationType::kComicVideo}, "An error has occurred. \\r\\n(0x80004001)"},
      {"pncm", E_NOTIMPL, true, {OperationType::kComicVideo}, "An error has occurred. \\r\\n(0x80004001)"},
      {"pnv#", E_NOTIMPL, true, {OperationType::kPlainMedia}, "An error has occurred. \\r\\n(0x80004001)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.code != nullptr ? c.code : "(no code)");
    operations.record = {};
    devices.calls.clear();
    std::string file = "[Info]\r\nDesc=T\r\nCC=JP\r\nName=N\r\n[File]\r\nC=http://store.example/a\r\n";
    if (c.code != nullptr) file += std::string("[Info]\r\nEID=") + c.code + "\r\n";
    EXPECT_EQ(Run(file), c.want);
    EXPECT_EQ(ProgressShown(), c.progress);
    if (c.progress) {
      EXPECT_TRUE(Has("[UI] progress close"));
    }
    EXPECT_EQ(operations.record.created, c.created);
    EXPECT_TRUE(devices.calls.empty());
    EXPECT_EQ(Boxes(), std::vector<std::string>{Error(c.message)});
  }
}

TEST_F(FlowTest, SecondOperationIsRefusedWithoutCode) {
  LockWithMutex2 other;
  ASSERT_EQ(other.Lock(nullptr, false, LockName().c_str()), S_OK);
  operations.available = {OperationType::kPlainMedia};
  EXPECT_EQ(Run(kPlainMedia, {}, "[ORBPCDL]\nMV=9.0.0.0\n"), ORB_E_ANOTHER_OPERATION);
  EXPECT_EQ(Boxes(), std::vector<std::string>{Error("Another download is currently being processed.")});
  EXPECT_FALSE(ProgressShown());
  other.Unlock();
  // Released again when the run ends.
  EXPECT_EQ(Run(kPlainMedia), S_OK);
  LockWithMutex2 after;
  EXPECT_EQ(after.Lock(nullptr, false, LockName().c_str()), S_OK);
}

TEST_F(FlowTest, ReleaseChecks) {
  operations.available = {OperationType::kPlainMedia};
  const std::string server = "http://www.vora.example/orbdl/";
  const std::string control = "http://store.example/update";
  const std::string withKeys = std::string(kPlainMedia) + "[ORBPCDL]\r\nInfo=" + control + "\r\n";
  struct Case {
    const char* what;
    std::uint32_t program[4];
    std::string release;
    std::string controlKeys;
    HRESULT want;
    std::vector<std::string> boxes;
  } cases[] = {
      {"server's minimum above the program: must update, nothing after",
       {2, 5, 0, 1024}, "[ORBPCDL]\nMV=2.5.0.1025\nLV=3.0.0.0\nInfo=" + server + "\n", "", ORB_E_PROGRAM_TOO_OLD,
       {Link(kMustUpdate, server)}},
      {"server's newer release and a high MV in the control file: only the notice, the run goes on",
       {2, 5, 0, 1024}, "[ORBPCDL]\nLV=2.6.0.0\nInfo=" + server + "\n", "MV=9.0.0.0\r\n", S_OK,
       {Link(kNewer, server), kCompleted}},
      {"control file's MV above the program: must update with its link", {2, 5, 0, 1024}, "", "MV=2.5.0.1025\r\n",
       ORB_E_PROGRAM_TOO_OLD, {Link(kMustUpdate, control)}},
      {"control file's LV above the program: notice, then the run", {2, 5, 0, 1024}, "", "LV=2.5.0.1025\r\n", S_OK,
       {Link(kNewer, control), kCompleted}},
      {"equal versions pass", {2, 5, 0, 1024}, "[ORBPCDL]\nMV=2.5.0.1024\nLV=2.5.0.1024\n",
       "MV=2.5.0.1024\r\nLV=2.5.0.1024\r\n", S_OK, {kCompleted}},
      {"malformed MV", {2, 5, 0, 1024}, "", "MV=2.5.0\r\n", E_FAIL,
       {Error("An error has occurred. \\r\\n(0x80004005)")}},
      {"unknown program version: no checks at all", {0, 0, 0, 0}, "[ORBPCDL]\nMV=9.0.0.0\n", "MV=9.0.0.0\r\n", S_OK,
       {kCompleted}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::copy(c.program, c.program + 4, program);
    EXPECT_EQ(Run(withKeys + c.controlKeys, {}, c.release), c.want);
    EXPECT_EQ(Boxes(), c.boxes);
    EXPECT_EQ(ProgressShown(), SUCCEEDED(c.want));
  }
  // Without a link in the control file the notice has an empty one.
  std::copy(cases[0].program, cases[0].program + 4, program);
  EXPECT_EQ(Run(std::string(kPlainMedia) + "[ORBPCDL]\r\nMV=9.0.0.0\r\n"), ORB_E_PROGRAM_TOO_OLD);
  EXPECT_EQ(Boxes(), std::vector<std::string>{Link(kMustUpdate, "")});
  // The notice opens its link on a click: only web addresses are offered.
  const struct {
    const char* link;
    const char* shown;
  } links[] = {{"HTTPS://www.vora.example/u", "HTTPS://www.vora.example/u"},
               {"file:///C:/Windows/System32/cmd.exe", ""},
               {"C:\\Windows\\System32\\cmd.exe", ""},
               {"http://", ""},
               {"javascript:alert(1)", ""}};
  for (const auto& l : links) {
    SCOPED_TRACE(l.link);
    EXPECT_EQ(Run(std::string(kPlainMedia) + "[ORBPCDL]\r\nMV=9.0.0.0\r\nInfo=" + l.link + "\r\n"),
              ORB_E_PROGRAM_TOO_OLD);
    EXPECT_EQ(Boxes(), std::vector<std::string>{Link(kMustUpdate, l.shown)});
  }
}

// --- The game flow's own drive choice.

TEST_F(FlowTest, GameDriveSelection) {
  const std::uint32_t E = 1u << 4, F = 1u << 5, G = 1u << 6;
  struct Case {
    const char* what;
    std::deque<std::uint32_t> masks;
    std::set<wchar_t> systemStorage;
    bool sameDevice;
    std::set<wchar_t> singleModel;
    std::set<wchar_t> older;
    std::vector<std::string> answers;
    HRESULT want;
    std::vector<std::string> boxes;
    const char* media;  // the drive checked and used, "" for none
    std::int32_t kind;
  } cases[] = {
      {"no handheld: Retry repeats, Cancel ends silently", {0}, {}, true, {}, {}, {"retry", "cancel"},
       ORB_E_CANCELLED, {Retry(kConnect, "none", "retry"), Retry(kConnect, "none", "cancel")}, "", 0},
      {"plugged in on the Retry", {0, F}, {}, true, {}, {}, {"retry"}, S_OK,
       {Retry(kConnect, "none", "retry"), kCompleted}, "F", 1},
      {"one card drive (bits beyond Z do not count)", {F | (1u << 26) | (1u << 31)}, {}, true, {}, {}, {}, S_OK,
       {kCompleted}, "F", 1},
      {"one drive, system software too old", {F}, {}, true, {}, {L'F'}, {}, ORB_E_SYSTEM_SOFTWARE_TOO_OLD,
       {Error(kUpdateDevice)}, "", 0},
      {"the single-drive model counts as none", {F}, {}, true, {L'F'}, {}, {"cancel"}, ORB_E_CANCELLED,
       {Retry(kConnect, "none", "cancel")}, "", 0},
      {"two drives of one handheld, the first its system storage", {E | F}, {L'E'}, true, {}, {}, {}, S_OK,
       {kCompleted}, "E", 3},
      {"two drives of one handheld, the second its system storage", {E | F}, {L'F'}, true, {}, {}, {}, S_OK,
       {kCompleted}, "F", 3},
      {"two drives, neither the system storage", {E | F}, {}, true, {}, {}, {"retry", "cancel"}, ORB_E_CANCELLED,
       {Retry(kSeveral, "warning", "retry"), Retry(kSeveral, "warning", "cancel")}, "", 0},
      {"two drives of two handhelds", {E | F}, {L'E'}, false, {}, {}, {"cancel"}, ORB_E_CANCELLED,
       {Retry(kSeveral, "warning", "cancel")}, "", 0},
      {"two drives, system storage too old", {E | F}, {L'F'}, true, {}, {L'F'}, {},
       ORB_E_SYSTEM_SOFTWARE_TOO_OLD, {Error(kUpdateDevice)}, "", 0},
      {"three drives", {E | F | G}, {L'E'}, true, {}, {}, {"retry", "cancel"}, ORB_E_CANCELLED,
       {Retry(kSeveral, "none", "retry"), Retry(kSeveral, "none", "cancel")}, "", 0},
  };
  FakeStorage drive;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    devices = {};
    devices.masks = c.masks;
    devices.systemStorage = c.systemStorage;
    devices.sameDevice = c.sameDevice;
    devices.singleDriveModel = c.singleModel;
    devices.olderSoftware = c.older;
    devices.found = &drive;
    operations = {};
    operations.available = {OperationType::kGamePackage};
    EXPECT_EQ(Run(kGame, c.answers), c.want);
    EXPECT_EQ(Boxes(), c.boxes);
    EXPECT_EQ(ui_->AnswersLeft(), 0u);
    const bool used = *c.media != '\0';
    EXPECT_EQ(std::count(devices.calls.begin(), devices.calls.end(), std::string("media ") + c.media),
              used ? 1 : 0);
    EXPECT_EQ(operations.record.configured, used);
    if (used) {
      EXPECT_EQ(storageKind_, c.kind);
      EXPECT_EQ(operations.record.internalStorageTarget, c.kind == 3);
      EXPECT_EQ(operations.record.storage, &drive);
      EXPECT_EQ(operations.record.url, L"http://store.example/pkg/racer");
      EXPECT_EQ(operations.record.country, L"FR");
    }
  }
}

TEST_F(FlowTest, GameDriveFailures) {
  const std::uint32_t F = 1u << 5;
  FakeStorage drive;
  struct Case {
    const char* what;
    std::function<void(orb::test::FakeDevices&)> setUp;
    HRESULT want;
    std::string message;
  } cases[] = {
      {"scan fails", [](auto& d) { d.scanResult = ORB_E_INQUIRY_FAILED; }, ORB_E_INQUIRY_FAILED,
       Error("An error has occurred. \\r\\n(0x80048501)")},
      {"version unreadable", [](auto& d) { d.versionResult = ORB_E_SYSTEM_VERSION_UNREADABLE; },
       ORB_E_SYSTEM_VERSION_UNREADABLE, Error("An error has occurred. \\r\\n(0x8004850c)")},
      {"no medium in the card drive", [](auto& d) { d.mediaResult = ORB_E_NO_MEDIUM; }, ORB_E_NO_MEDIUM,
       Error("There is no Flash Key\xE2\x84\xA2 inserted.")},
      {"locked system storage", [](auto& d) {
         d.masks = {F | (1u << 6)};
         d.systemStorage = {L'F'};
         d.mediaResult = ORB_E_MEDIUM_LOCKED;
       },
       ORB_E_MEDIUM_LOCKED, Error("The system storage is locked.")},
      {"the registry has no storage for the letter", [](auto& d) { d.findResult = S_FALSE; }, ORB_E_NO_DEVICE,
       Error("An error has occurred. \\r\\n(0x80048210)")},
      {"the registry fails", [](auto& d) { d.findResult = E_OUTOFMEMORY; }, E_OUTOFMEMORY,
       Error("An error has occurred. \\r\\n(0x8007000e)")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    devices = {};
    devices.masks = {F};
    devices.found = &drive;
    c.setUp(devices);
    operations = {};
    operations.available = {OperationType::kGamePackage};
    EXPECT_EQ(Run(kGame), c.want);
    EXPECT_EQ(Boxes(), std::vector<std::string>{c.message});
    EXPECT_EQ(operations.record.starts, 0);
  }
  // A game without a content URL is refused before the handheld is asked.
  devices = {};
  EXPECT_EQ(Run("[Info]\r\nEID=pngc\r\n"), E_POINTER);
  EXPECT_TRUE(devices.calls.empty());
}

// --- Storage selection of the plain-media and comic/video flows.

TEST_F(FlowTest, StorageSelectionRetries) {
  FakeStorage drive(L'F');
  FakeStorage portable;  // a portable-device storage
  using Selection = orb::test::FakeDevices::Selection;
  const Selection none{ORB_E_NO_DEVICE, nullptr, 0, 0};
  const Selection several{ORB_E_SEVERAL_DEVICES, nullptr, 0, 0};
  const Selection tooOld{ORB_E_DEVICE_TOO_OLD, nullptr, 0, 0};
  const Selection card{S_OK, &drive, 1, 1};
  const Selection sd{S_OK, &portable, 272, 2};
  const std::string video =
      "[Info]\r\nEID=pnvm\r\nCC=JP\r\nName=CLIP0001\r\n[File]\r\nC=http://store.example/v/CLIP0001.mp4\r\n";
  struct Case {
    const char* what;
    std::string file;
    std::deque<Selection> selections;
    std::vector<std::string> answers;
    HRESULT want;
    std::vector<std::string> boxes;
    std::vector<std::string> calls;
  } cases[] = {
      {"plain media: none, several, then found", kPlainMedia, {none, several, card}, {"retry", "retry"}, S_OK,
       {Retry(kConnect, "warning", "retry"), Retry(kSeveral, "warning", "retry"), kCompleted},
       {"select 3", "select 3", "select 3", "version F 6.50"}},
      {"plain media: Cancel ends silently", kPlainMedia, {none}, {"cancel"}, ORB_E_CANCELLED,
       {Retry(kConnect, "warning", "cancel")}, {"select 3"}},
      {"plain media: a too old handheld is no retry question", kPlainMedia, {tooOld}, {}, E_FAIL,
       {Error("An error has occurred. \\r\\n(0x80004005)")}, {"select 3"}},
      {"plain media: other failures become E_FAIL", kPlainMedia, {{ORB_E_INQUIRY_FAILED, nullptr, 0, 0}}, {},
       E_FAIL, {Error("An error has occurred. \\r\\n(0x80004005)")}, {"select 3"}},
      {"plain media on a portable device: no version question", kPlainMedia, {{S_OK, &portable, 0, 0}}, {}, S_OK,
       {kCompleted}, {"select 3"}},
      {"video: too old asks to update, then retries", video, {tooOld, card}, {"retry"}, S_OK,
       {Retry(kUpdateDevice, "warning", "retry"), kCompleted}, {"select 1", "select 1", "media F"}},
      {"video on an SD card: no media check", video, {sd}, {}, S_OK, {kCompleted}, {"select 1"}},
      {"comic: several, Cancel", std::string(video).replace(video.find("pnvm"), 4, "pncm"), {several}, {"cancel"},
       ORB_E_CANCELLED, {Retry(kSeveral, "warning", "cancel")}, {"select 2"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    devices = {};
    devices.selections = c.selections;
    operations = {};
    operations.available = {OperationType::kPlainMedia, OperationType::kComicVideo};
    EXPECT_EQ(Run(c.file, c.answers), c.want);
    EXPECT_EQ(Boxes(), c.boxes);
    EXPECT_EQ(devices.calls, c.calls);
    EXPECT_EQ(ui_->AnswersLeft(), 0u);
  }
}

TEST_F(FlowTest, PlainMediaChecksTheHandheldsSystemSoftware) {
  FakeStorage drive(L'G');
  devices.selections = {{S_OK, &drive, 1, 3}};
  devices.olderSoftware = {L'G'};
  operations.available = {OperationType::kPlainMedia};
  EXPECT_EQ(Run(kPlainMedia), ORB_E_SYSTEM_SOFTWARE_TOO_OLD);
  EXPECT_EQ(Boxes(), std::vector<std::string>{Error(kUpdateDevice)});
  EXPECT_EQ(storageKind_, 3);

  // A storage that cannot say what it is.
  drive.isDriveResult = E_UNEXPECTED;
  EXPECT_EQ(Run(kPlainMedia), E_FAIL);

  // Configured with what the control file and the selection gave.
  drive.isDriveResult = S_OK;
  devices.olderSoftware.clear();
  operations.record = {};
  EXPECT_EQ(Run("[Info]\r\nEID=pnv#\r\n[File]\r\nC=http://store.example/a.mp3\r\n"), S_OK);
  EXPECT_EQ(operations.record.storage, &drive);
  EXPECT_EQ(operations.record.url, L"http://store.example/a.mp3");
  EXPECT_FALSE(operations.record.hasCountry);
}

TEST_F(FlowTest, ComicVideoNeedsUrlCountryAndNameAndHandsThemOn) {
  FakeStorage portable;
  devices.selections = {{S_OK, &portable, 272, 2}};
  operations.available = {OperationType::kComicVideo};
  const char* incomplete[] = {
      "[Info]\r\nEID=pncm\r\nCC=JP\r\nName=BOOK1\r\n",
      "[Info]\r\nEID=pncm\r\nName=BOOK1\r\n[File]\r\nC=http://store.example/b.bkf\r\n",
      "[Info]\r\nEID=pncm\r\nCC=JP\r\n[File]\r\nC=http://store.example/b.bkf\r\n",
  };
  for (const char* file : incomplete) {
    SCOPED_TRACE(file);
    devices.calls.clear();
    EXPECT_EQ(Run(file), E_POINTER);
    EXPECT_TRUE(devices.calls.empty());
    EXPECT_EQ(Boxes(), std::vector<std::string>{Error("An error has occurred. \\r\\n(0x80004003)")});
  }
  EXPECT_EQ(Run("[Info]\r\nEID=pncm\r\nCC=JP\r\nName=BOOK1\r\n[File]\r\nC=http://store.example/b.bkf\r\n"), S_OK);
  const auto& r = operations.record;
  EXPECT_EQ(r.kind, 2);
  EXPECT_EQ(r.selectionFlags, 272u);
  EXPECT_EQ(r.storage, &portable);
  EXPECT_EQ(r.name, L"BOOK1");
  EXPECT_EQ(r.url, L"http://store.example/b.bkf");
  EXPECT_EQ(r.country, L"JP");
  EXPECT_EQ(storageKind_, 2);
  // A setter's refusal ends the run with its code.
  operations.configureResult = ORB_E_NAME_TOO_LONG;
  operations.record = {};
  EXPECT_EQ(Run("[Info]\r\nEID=pnvm\r\nCC=JP\r\nName=BOOK1\r\n[File]\r\nC=http://store.example/b.vdf\r\n"),
            ORB_E_NAME_TOO_LONG);
  EXPECT_EQ(operations.record.starts, 0);
}

// --- Start and poll.

TEST_F(FlowTest, StatusLineFollowsTheOperationsState) {
  FakeStorage drive;
  devices.selections = {{S_OK, &drive, 1, 1}};
  operations.available = {OperationType::kPlainMedia};
  operations.size = 20000;
  operations.steps = {{-1, -1, ORB_STATE_STARTING},       {0, -1, ORB_STATE_PREPARING_1},
                      {300, 0, ORB_STATE_PREPARING_2},     {500, 5000, ORB_STATE_TRANSFERRING},
                      {5000, 10000, ORB_STATE_TRANSFERRING}, {6000, 20000, ORB_STATE_INSTALLING},
                      {7000, 20000, orb::MakeStatus(0x00048005u)}, {10000, 20000, ORB_STATE_FINISHED}};
  EXPECT_EQ(Run(kPlainMedia), S_OK);
  EXPECT_EQ(Statuses(), (std::vector<std::string>{"\"Preparing...\"", "\"Downloading...\"", "\"Installing...\"",
                                                   "\"\""}));
  EXPECT_TRUE(Has("[UI] progress size=\"5000 B / 20 KB\""));
  EXPECT_TRUE(Has("[UI] progress percent=\"50 %\""));
  EXPECT_TRUE(Has("[UI] progress percent=\"100 %\""));
  EXPECT_TRUE(Has("[UI] progress range=10000"));
  // Before the worker publishes, progress reads -1: shown as 0, never as
  // a wrapped-around percentage.
  for (const auto& line : ui_->Lines()) EXPECT_EQ(line.find("429496"), std::string::npos) << line;
  EXPECT_EQ(Boxes(), std::vector<std::string>{kCompleted});
  EXPECT_EQ(operations.record.starts, 1);
}

TEST_F(FlowTest, FileUrlSpeaksOfCopying) {
  FakeStorage drive;
  devices.selections = {{S_OK, &drive, 1, 1}};
  operations.available = {OperationType::kComicVideo, OperationType::kPlainMedia};
  operations.steps = {{500, 0, ORB_STATE_TRANSFERRING}, {10000, 100, ORB_STATE_FINISHED}};
  const std::string comic = "[Info]\r\nEID=pncm\r\nCC=JP\r\nName=B\r\n[File]\r\nC=file:///media/b.bkf\r\n";
  EXPECT_EQ(Run(comic, {"pump", "press-cancel", "no"}), S_OK);
  EXPECT_EQ(Statuses(), (std::vector<std::string>{"\"Preparing...\"", "\"Copying...\""}));
  EXPECT_EQ(Boxes(), (std::vector<std::string>{Question("Do you want to cancel the copy operation?", "no"),
                                               kCopyCompleted}));
  EXPECT_TRUE(copyMode_);

  // The source cannot be opened: the copy failed, with its code.
  operations.steps = {{500, 0, ORB_STATE_TRANSFERRING}, {500, 0, ORB_E_LOCAL_FILE_OPEN}};
  EXPECT_EQ(Run(comic), ORB_E_LOCAL_FILE_OPEN);
  EXPECT_EQ(Boxes(),
            std::vector<std::string>{Error("An error occurred during the copy operation. \\r\\n(0x80048704)")});

  // Plain media from a file:// URL is a copy too; the scheme must be exact.
  operations.steps = {{10000, 100, ORB_STATE_FINISHED}};
  EXPECT_EQ(Run("[Info]\r\nEID=pnv#\r\n[File]\r\nC=file:///media/a.mp3\r\n"), S_OK);
  EXPECT_EQ(Boxes(), std::vector<std::string>{kCopyCompleted});
  EXPECT_EQ(Run("[Info]\r\nEID=pnv#\r\n[File]\r\nC=FILE:///media/a.mp3\r\n"), S_OK);
  EXPECT_EQ(Boxes(), std::vector<std::string>{kCompleted});
}

TEST_F(FlowTest, CancelAndItsRaces) {
  FakeStorage drive;
  const std::string ask = "Do you want to cancel the download operation?";
  struct Case {
    const char* what;
    std::vector<Step> steps;
    HRESULT stopResult;
    std::vector<std::string> answers;
    HRESULT want;
    int stops;
    std::vector<std::string> boxes;
  } cases[] = {
      {"confirmed while running: stopped, silent", {{500, 10, ORB_STATE_TRANSFERRING}}, S_OK,
       {"press-cancel", "yes"}, ORB_E_CANCELLED, 1, {Question(ask, "yes")}},
      {"declined: the run goes on", {{500, 10, ORB_STATE_TRANSFERRING}, {10000, 100, ORB_STATE_FINISHED}}, S_OK,
       {"press-cancel", "no"}, S_OK, 0, {Question(ask, "no"), kCompleted}},
      {"confirmed after the worker finished: a success",
       {{500, 10, ORB_STATE_TRANSFERRING}, {10000, 100, ORB_STATE_FINISHED}}, ORB_E_NOT_RUNNING,
       {"press-cancel", "yes"}, S_OK, 1, {Question(ask, "yes"), kCompleted}},
      {"confirmed after the worker failed: its failure, not a success",
       {{500, 10, ORB_STATE_TRANSFERRING}, {500, 10, ORB_E_HTTP_SERVER_ERROR}}, ORB_E_NOT_RUNNING,
       {"press-cancel", "yes"}, ORB_E_HTTP_SERVER_ERROR, 1,
       {Question(ask, "yes"), Error("A connection error has occurred. \\r\\n(0x80048106)")}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    devices = {};
    devices.selections = {{S_OK, &drive, 1, 1}};
    operations = {};
    operations.available = {OperationType::kPlainMedia};
    operations.steps = c.steps;
    operations.stopResult = c.stopResult;
    EXPECT_EQ(Run(kPlainMedia, c.answers), c.want);
    EXPECT_EQ(operations.record.stops, c.stops);
    EXPECT_EQ(Boxes(), c.boxes);
    EXPECT_TRUE(Has("[UI] progress close"));
  }
}

TEST_F(FlowTest, OperationFailuresEndWithTheirMessage) {
  FakeStorage drive;
  struct Case {
    const char* what;
    std::function<void(orb::test::FakeOperations&)> setUp;
    HRESULT want;
    int starts;
    std::string message;
  } cases[] = {
      {"size query fails", [](auto& o) { o.contentInfoResult = ORB_E_HTTP_NOT_FOUND; }, ORB_E_HTTP_NOT_FOUND, 0,
       "A connection error has occurred. \\r\\n(0x80048105)"},
      {"no room on the system storage", [](auto& o) { o.startResult = ORB_E_NOT_ENOUGH_SPACE; },
       ORB_E_NOT_ENOUGH_SPACE, 1, "There is not enough free space in the system storage."},
      {"the worker fails", [](auto& o) { o.steps = {{500, 0, ORB_STATE_TRANSFERRING}, {0, 0, ORB_E_WRITE_FAILED}}; },
       ORB_E_WRITE_FAILED, 1, "An error has occurred. \\r\\n(0x8004820b)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    devices = {};
    devices.selections = {{S_OK, &drive, 1, 3}};
    operations = {};
    operations.available = {OperationType::kPlainMedia};
    c.setUp(operations);
    EXPECT_EQ(Run(kPlainMedia), c.want);
    EXPECT_EQ(operations.record.starts, c.starts);
    EXPECT_EQ(Boxes(), std::vector<std::string>{Error(c.message)});
  }
}

}  // namespace
