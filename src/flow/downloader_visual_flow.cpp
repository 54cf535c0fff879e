// downloader_visual_flow.cpp
#include "flow/downloader_visual_flow.h"

#include <cwchar>
#include <cwctype>
#include <string>

#include "device/device_storage.h"
#include "flow/lock_with_mutex2.h"
#include "flow/orb_device_questions.h"
#include "platform/process.h"
#include "ui/string_table.h"
#include "ui/url_message_dialog.h"

using orb::ui::Buttons;
using orb::ui::Icon;

namespace {

bool IsCode(const wchar_t* code, const wchar_t* wanted) { return code != nullptr && std::wcscmp(code, wanted) == 0; }

// Only the exact lower-case scheme at the very start counts.
bool IsFileUrl(const wchar_t* url) { return url != nullptr && std::wcsncmp(url, L"file://", 7) == 0; }

bool IsWebAddress(const std::wstring& url) {
  auto startsWith = [&url](const wchar_t* scheme) {
    const std::size_t n = std::wcslen(scheme);
    if (url.size() <= n) return false;
    for (std::size_t i = 0; i < n; ++i) {
      if (static_cast<wchar_t>(std::towlower(static_cast<wint_t>(url[i]))) != scheme[i]) return false;
    }
    return true;
  };
  return startsWith(L"http://") || startsWith(L"https://");
}

constexpr std::uint32_t Bits(HRESULT code) { return static_cast<std::uint32_t>(code); }

// The drive letter of a drive storage: the first character of its
// identifier; 0 when it has none.
wchar_t DriveLetterOf(IDeviceStorage& storage) {
  const std::wstring id = storage.GetStorageId();
  return id.empty() ? L'\0' : id[0];
}

std::wstring DefaultLockName() {
  std::wstring name;
  if (orb::platform::ReadEnvironmentVariable(L"ORBDL_LOCK_NAME", &name) && !name.empty()) return name;
  return CDownloaderVisualFlow::kLockName;
}

}  // namespace

CDownloaderVisualFlow::CDownloaderVisualFlow(orb::ui::IUserInterface& ui)
    : ui_(ui),
      ownDevices_(std::make_unique<COrbDeviceQuestions>()),
      ownOperations_(std::make_unique<COperationFactory>()),
      devices_(*ownDevices_),
      operations_(*ownOperations_),
      clock_(CProgressClock::System()),
      caption_(orb::ui::LoadString(orb::ui::IDS_PRODUCT_NAME)),
      lockName_(DefaultLockName()) {}

CDownloaderVisualFlow::CDownloaderVisualFlow(orb::ui::IUserInterface& ui, IDeviceQuestions& devices,
                                             IOperationFactory& operations, CProgressClock& clock)
    : ui_(ui),
      devices_(devices),
      operations_(operations),
      clock_(clock),
      caption_(orb::ui::LoadString(orb::ui::IDS_PRODUCT_NAME)),
      lockName_(DefaultLockName()) {}

CDownloaderVisualFlow::~CDownloaderVisualFlow() = default;

HRESULT CDownloaderVisualFlow::SetVersion(std::uint32_t major, std::uint32_t minor, std::uint32_t build,
                                          std::uint32_t revision) {
  version_.part[0] = major;
  version_.part[1] = minor;
  version_.part[2] = build;
  version_.part[3] = revision;
  return S_OK;
}

HRESULT CDownloaderVisualFlow::ReadControlFile(const wchar_t* path) { return reader_.Read(path); }

// --- Start: lock, release checks, dispatch.

HRESULT CDownloaderVisualFlow::Start() {
  orb::platform::WriteStdout("[ORBDL][CDownloaderVisualFlow.Start()]:Called\n");

  // Held until Start returns, so for the whole operation.
  LockWithMutex2 lock;
  if (FAILED(lock.Lock(nullptr, false, lockName_.c_str()))) return ORB_E_ANOTHER_OPERATION;

  bool newerReleaseShown = false;
  {
    const auto check = releaseFileUrl_.empty() ? std::make_unique<CVersionCheck>()
                                               : std::make_unique<CVersionCheck>(releaseFileUrl_);
    const HRESULT hr = AnswerReleaseCheck(check->CheckVersion(version_), check->GetUpdateUrl(), &newerReleaseShown);
    if (FAILED(hr)) return hr;
  }
  // The control file's own keys only count when the server did not already
  // announce a newer release: one notice per run.
  if (!newerReleaseShown) {
    const wchar_t* link = Slot(CDsfReader::kUpdateLink);
    const HRESULT hr = AnswerReleaseCheck(CheckReleaseVersion(), link != nullptr ? link : L"", &newerReleaseShown);
    if (FAILED(hr)) return hr;
  }

  // Operation codes are compared exactly, case included.
  const wchar_t* code = Slot(CDsfReader::kOperationCode);
  if (code == nullptr) return ORB_E_NO_OPERATION;
  if (IsCode(code, L"pngc") || IsCode(code, L"pnvc")) return GameVideoDownload();
  if (IsCode(code, L"pnvm")) return ComicVideoDownload(1);
  if (IsCode(code, L"pncm")) return ComicVideoDownload(2);
  if (IsCode(code, L"pnv#")) return NonSecureContentDownload();
  return ORB_E_UNSUPPORTED_OPERATION;
}

HRESULT CDownloaderVisualFlow::CheckReleaseVersion() {
  if (!version_.IsKnown()) return S_OK;
  struct Key {
    int slot;
    HRESULT whenOlder;
  } const keys[] = {{CDsfReader::kMinimumVersion, ORB_E_PROGRAM_TOO_OLD},
                    {CDsfReader::kLatestVersion, ORB_E_NEWER_RELEASE}};
  for (const Key& key : keys) {
    const wchar_t* text = Slot(key.slot);
    if (text == nullptr) continue;
    CVersionCheck::Version wanted;
    const std::wstring cut = std::wstring(text).substr(0, CVersionCheck::kMaxVersionChars);
    const HRESULT hr = CVersionCheck::ParseVersion(cut.c_str(), &wanted);
    if (FAILED(hr)) return hr;
    if (CVersionCheck::CompareVersion(version_, wanted) < 0) return key.whenOlder;
  }
  return S_OK;
}

// --- The three flows.

HRESULT CDownloaderVisualFlow::GameVideoDownload() {
  orb::platform::WriteStdout("[ORBDL][CDownloaderVisualFlow.GameVideoDownload()]:Called\n");
  return RunInProgressDialog([this](CDownloadProgressDialog& dialog, std::unique_ptr<IFlowOperation>* operation) {
    // "pnvc" shares the entry but has no operation: refused once the
    // progress dialog is up.
    if (!IsCode(Slot(CDsfReader::kOperationCode), L"pngc")) return E_INVALIDARG;
    HRESULT hr = CreateOperation(OperationType::kGamePackage, operation);
    if (FAILED(hr)) return hr;
    const wchar_t* url = Slot(CDsfReader::kContentUrl);
    if (url == nullptr) return E_POINTER;

    wchar_t drive = 0;
    hr = SelectGameDrive(&drive);
    if (FAILED(hr)) return hr;
    hr = devices_.CheckMedia(drive);
    if (FAILED(hr)) return hr;
    IDeviceStorage* storage = nullptr;
    hr = devices_.FindByDriveLetter(drive, &storage);
    if (FAILED(hr)) return hr;
    if (hr != S_OK || storage == nullptr) return ORB_E_NO_DEVICE;

    OperationSettings settings;
    settings.internalStorageTarget = storageKind_ == orb::device::kStorageKindSystemStorage;
    settings.storage = storage;
    settings.contentUrl = url;
    settings.country = Slot(CDsfReader::kCountry);
    return ConfigureAndRun(**operation, settings, dialog);
  });
}

HRESULT CDownloaderVisualFlow::ComicVideoDownload(std::int32_t kind) {
  orb::platform::WriteStdout("[ORBDL][CDownloaderVisualFlow.ComicVideoDownload()]:Called\n");
  return RunInProgressDialog([this, kind](CDownloadProgressDialog& dialog,
                                          std::unique_ptr<IFlowOperation>* operation) {
    HRESULT hr = CreateOperation(OperationType::kComicVideo, operation);
    if (FAILED(hr)) return hr;
    const wchar_t* url = Slot(CDsfReader::kContentUrl);
    const wchar_t* country = Slot(CDsfReader::kCountry);
    // The name the files are stored under is as necessary as the URL: a
    // control file without it is refused before anything is asked.
    const wchar_t* name = Slot(CDsfReader::kContentName);
    if (url == nullptr || country == nullptr || name == nullptr) return E_POINTER;

    IDeviceStorage* storage = nullptr;
    std::uint32_t flags = 0;
    const int policy = kind == 1 ? orb::device::kPolicyVideo : orb::device::kPolicyComic;
    hr = SelectStorageWithRetry(policy, true, &storage, &flags);
    if (FAILED(hr)) return hr;
    if ((flags & orb::device::kSelectedConsoleDrive) != 0) {
      hr = devices_.CheckMedia(DriveLetterOf(*storage));
      if (FAILED(hr)) return hr;
    }

    OperationSettings settings;
    settings.kind = kind;
    settings.selectionFlags = flags;
    settings.storage = storage;
    settings.contentName = name;
    settings.contentUrl = url;
    settings.country = country;
    return ConfigureAndRun(**operation, settings, dialog);
  });
}

HRESULT CDownloaderVisualFlow::NonSecureContentDownload() {
  return RunInProgressDialog([this](CDownloadProgressDialog& dialog, std::unique_ptr<IFlowOperation>* operation) {
    HRESULT hr = CreateOperation(OperationType::kPlainMedia, operation);
    if (FAILED(hr)) return hr;
    const wchar_t* url = Slot(CDsfReader::kContentUrl);
    if (url == nullptr) return E_POINTER;

    IDeviceStorage* storage = nullptr;
    std::uint32_t flags = 0;
    hr = SelectStorageWithRetry(orb::device::kPolicyPlainMedia, false, &storage, &flags);
    if (FAILED(hr)) return hr;
    bool isDrive = false;
    if (FAILED(storage->IsDriveStorage(&isDrive))) return E_FAIL;
    if (isDrive && flags == orb::device::kSelectedConsoleDrive) {
      hr = CheckSystemSoftware(DriveLetterOf(*storage));
      if (FAILED(hr)) return hr;
    }

    OperationSettings settings;
    settings.storage = storage;
    settings.contentUrl = url;
    settings.country = Slot(CDsfReader::kCountry);
    return ConfigureAndRun(**operation, settings, dialog);
  });
}

// --- The common frame.

HRESULT CDownloaderVisualFlow::RunInProgressDialog(const FlowSteps& steps) {
  std::unique_ptr<IFlowOperation> operation;
  HRESULT hr = S_OK;
  {
    CDownloadProgressDialog dialog(ui_, clock_);
    hr = dialog.Create();
    if (FAILED(hr)) return hr;
    owner_ = dialog.Window();
    const wchar_t* title = Slot(CDsfReader::kTitle);
    dialog.SetTitle(title != nullptr ? title : L"");

    hr = steps(dialog, &operation);

    dialog.DestroyWindow();
    owner_ = nullptr;
  }
  if (FAILED(hr)) return hr;  // the operation goes with this scope

  orb::ui::MessageBoxSpec box;
  box.caption = caption_;
  box.text = orb::ui::LoadString(copyMode_ ? orb::ui::IDS_COPY_COMPLETED : orb::ui::IDS_DOWNLOAD_COMPLETED);
  box.icon = Icon::kInformation;
  box.buttons = Buttons::kOk;
  ui_.ShowMessageBox(box);
  return S_OK;
}

HRESULT CDownloaderVisualFlow::CreateOperation(OperationType type, std::unique_ptr<IFlowOperation>* operation) {
  const HRESULT hr = operations_.Create(type, operation);
  if (FAILED(hr)) return hr;
  return *operation ? S_OK : E_OUTOFMEMORY;
}

HRESULT CDownloaderVisualFlow::ConfigureAndRun(IFlowOperation& operation, const OperationSettings& settings,
                                               CDownloadProgressDialog& dialog) {
  const HRESULT hr = operation.Configure(settings);
  if (FAILED(hr)) return hr;
  // A file:// URL is copied, not downloaded: the status line, the cancel
  // question and the final message say so.
  copyMode_ = IsFileUrl(settings.contentUrl);
  dialog.SetCopyMode(copyMode_);
  return StartAndPoll(operation.Operation(), dialog);
}

HRESULT CDownloaderVisualFlow::StartAndPoll(CDownloaderBase& operation, CDownloadProgressDialog& dialog) {
  std::int64_t size = CDownloaderBase::kSizeUnknown;
  std::int32_t extra = 0;
  HRESULT hr = operation.GetContentInfo(&size, &extra);
  if (FAILED(hr)) return hr;
  dialog.ResetCounters();
  if (size > 0 && size < (std::int64_t{1} << 32)) dialog.SetTotalBytes(static_cast<std::uint64_t>(size));
  dialog.SetRange(kProgressRange);
  dialog.UpdateProgress(0, 0);
  hr = operation.Start();
  if (FAILED(hr)) return hr;
  return RunProgressLoop(operation, dialog);
}

HRESULT CDownloaderVisualFlow::RunProgressLoop(CDownloaderBase& operation, CDownloadProgressDialog& dialog) {
  bool shownAny = false;
  HRESULT lastShown = S_OK;
  std::int32_t previousBytes = 0;
  HRESULT state = S_OK;
  while (state != ORB_STATE_FINISHED && SUCCEEDED(state)) {
    std::int32_t position = 0;
    std::int32_t bytes = 0;
    std::int32_t chunks = 0;
    HRESULT hr = operation.GetProgress(CDownloaderBase::kProgressPosition, &position, &chunks, &state);
    if (FAILED(hr)) return hr;
    if (FAILED(state)) return state;
    hr = operation.GetProgress(CDownloaderBase::kProgressBytes, &bytes, &chunks, &state);
    if (FAILED(hr)) return hr;
    if (FAILED(state)) return state;

    if (dialog.IsCancelled()) {
      if (operation.Stop() != ORB_E_NOT_RUNNING) return ORB_E_CANCELLED;
      // The worker had already ended on its own: its outcome counts, so a
      // failure that raced the user's cancel is not reported as a success.
      std::int32_t ignored = 0;
      hr = operation.GetProgress(CDownloaderBase::kProgressPosition, &ignored, &chunks, &state);
      if (FAILED(hr)) return hr;
      return FAILED(state) ? state : S_OK;
    }

    if (!shownAny || state != lastShown) {
      shownAny = true;
      lastShown = state;
      switch (Bits(state)) {
        case Bits(ORB_STATE_PREPARING_2):
        case Bits(ORB_STATE_PREPARING_1):
        case Bits(ORB_STATE_STARTING):
          dialog.SetStatus(orb::ui::LoadString(orb::ui::IDS_PREPARING));
          break;
        case Bits(ORB_STATE_TRANSFERRING):
          dialog.SetStatus(orb::ui::LoadString(copyMode_ ? orb::ui::IDS_COPYING : orb::ui::IDS_DOWNLOADING));
          break;
        case Bits(ORB_STATE_INSTALLING):
          dialog.SetStatus(orb::ui::LoadString(orb::ui::IDS_INSTALLING));
          break;
        case Bits(ORB_STATE_FINISHED):
          break;
        default:
          dialog.SetStatus(std::wstring());
          break;
      }
    }

    // -1 means "not yet started" for both counters.
    const std::int32_t counted = bytes == -1 ? 0 : bytes;
    const std::uint32_t shown = position < 0 ? 0u : static_cast<std::uint32_t>(position);
    dialog.UpdateProgress(std::int64_t{counted} - previousBytes, shown);
    previousBytes = counted;
  }
  return S_OK;
}

// --- Choosing the target.

HRESULT CDownloaderVisualFlow::SelectGameDrive(wchar_t* drive) {
  int answer = orb::ui::kButtonRetry;
  for (;;) {
    if (answer != orb::ui::kButtonRetry) return ORB_E_CANCELLED;
    std::uint32_t mask = 0;
    HRESULT hr = devices_.ScanConsoleDrives(&mask);
    if (FAILED(hr)) return hr;
    mask &= (1u << 26) - 1;  // the letters A to Z
    wchar_t letters[26] = {};
    int count = 0;
    for (int i = 0; i < 26; ++i) {
      if ((mask & (1u << i)) != 0) letters[count++] = static_cast<wchar_t>(L'A' + i);
    }

    if (count == 0) {
      answer = ShowBox(orb::ui::IDS_CONNECT_DEVICE, Icon::kNone, Buttons::kRetryCancel, owner_);
      continue;
    }
    if (count == 1) {
      hr = CheckSystemSoftware(letters[0]);
      if (FAILED(hr)) return hr;
      // The single-drive model cannot take games: as if nothing were there.
      if (devices_.IsSingleDriveModel(letters[0])) {
        answer = ShowBox(orb::ui::IDS_CONNECT_DEVICE, Icon::kNone, Buttons::kRetryCancel, owner_);
        continue;
      }
      *drive = letters[0];
      storageKind_ = orb::device::kStorageKindMemoryCard;
      return S_OK;
    }
    if (count == 2) {
      const bool sameDevice = devices_.IsSameUsbDevice(letters[0], letters[1]);
      wchar_t target = 0;
      if (sameDevice && devices_.IsSystemStorageDrive(letters[0])) {
        target = letters[0];
      } else if (sameDevice && devices_.IsSystemStorageDrive(letters[1])) {
        target = letters[1];
      }
      if (target == 0) {
        answer = AskRetry(orb::ui::IDS_SEVERAL_DEVICES);
        continue;
      }
      hr = CheckSystemSoftware(target);
      if (FAILED(hr)) return hr;
      *drive = target;
      storageKind_ = orb::device::kStorageKindSystemStorage;
      return S_OK;
    }
    answer = ShowBox(orb::ui::IDS_SEVERAL_DEVICES, Icon::kNone, Buttons::kRetryCancel, owner_);
  }
}

HRESULT CDownloaderVisualFlow::SelectStorageWithRetry(int policy, bool retryTooOld, IDeviceStorage** storage,
                                                      std::uint32_t* flags) {
  for (;;) {
    std::int32_t kind = orb::device::kStorageKindNotSet;
    *storage = nullptr;
    const HRESULT hr = devices_.SelectStorage(policy, storage, flags, &kind);
    if (SUCCEEDED(hr)) {
      if (*storage == nullptr) return E_FAIL;
      storageKind_ = kind;
      return S_OK;
    }
    unsigned textId = 0;
    if (hr == ORB_E_NO_DEVICE) {
      textId = orb::ui::IDS_CONNECT_DEVICE;
    } else if (hr == ORB_E_SEVERAL_DEVICES) {
      textId = orb::ui::IDS_SEVERAL_DEVICES;
    } else if (hr == ORB_E_DEVICE_TOO_OLD && retryTooOld) {
      textId = orb::ui::IDS_UPDATE_SYSTEM_SOFTWARE;
    } else {
      return E_FAIL;
    }
    if (AskRetry(textId) != orb::ui::kButtonRetry) return ORB_E_CANCELLED;
  }
}

HRESULT CDownloaderVisualFlow::CheckSystemSoftware(wchar_t drive) {
  bool older = false;
  const HRESULT hr = devices_.IsSystemVersionOlder(drive, orb::device::kMinimumSystemVersion, &older);
  if (FAILED(hr)) return hr;
  return older ? ORB_E_SYSTEM_SOFTWARE_TOO_OLD : S_OK;
}

// --- Boxes.

int CDownloaderVisualFlow::AskRetry(unsigned textId) {
  return ShowBox(textId, Icon::kWarning, Buttons::kRetryCancel, owner_);
}

int CDownloaderVisualFlow::ShowBox(unsigned textId, Icon icon, Buttons buttons, orb::ui::IProgressWindow* owner) {
  orb::ui::MessageBoxSpec box;
  box.caption = caption_;
  box.text = orb::ui::LoadString(textId);
  box.icon = icon;
  box.buttons = buttons;
  box.owner = owner;
  return ui_.ShowMessageBox(box);
}

HRESULT CDownloaderVisualFlow::AnswerReleaseCheck(HRESULT check, const std::wstring& link, bool* newerShown) {
  if (check == ORB_E_PROGRAM_TOO_OLD) {
    ShowLinkNotice(orb::ui::IDS_MUST_UPDATE, link);
    return check;
  }
  if (check == ORB_E_NEWER_RELEASE) {
    ShowLinkNotice(orb::ui::IDS_NEWER_RELEASE, link);
    *newerShown = true;
    return S_OK;
  }
  return check;
}

void CDownloaderVisualFlow::ShowLinkNotice(unsigned textId, const std::wstring& url) {
  CUrlMessageDialog dialog(ui_);
  dialog.SetMessage(orb::ui::LoadString(textId));
  // The link comes from a downloaded or handed-over file and the notice
  // opens it with the shell on a click: only a web address may be offered,
  // never a file:// or other address that would start a program.
  dialog.SetUrl(IsWebAddress(url) ? url : std::wstring());
  dialog.DoModal();
}

// --- Failure messages.

CDownloaderVisualFlow::ErrorMessage CDownloaderVisualFlow::MessageForCode(HRESULT code, std::int32_t storageKind,
                                                                          bool copyMode) {
  using namespace orb::ui;
  // The storage-specific texts: memory card (also when no kind is known),
  // SD card, system storage.
  auto byKind = [storageKind](unsigned card, unsigned sd, unsigned system) {
    if (storageKind == orb::device::kStorageKindSdCard) return sd;
    if (storageKind == orb::device::kStorageKindSystemStorage) return system;
    return card;
  };
  const std::uint32_t bits = Bits(code);

  if ((bits & 0xFFFFF000u) == 0x80046000u) {
    if (code == ORB_E_CANCELLED || code == ORB_E_PROGRAM_TOO_OLD) return {0, false};
    if (code == ORB_E_ANOTHER_OPERATION) return {IDS_ANOTHER_DOWNLOAD, false};
    if (code == ORB_E_NO_MEDIUM) return {byKind(IDS_NO_FLASH_KEY, IDS_NO_SD_CARD, IDS_NO_SYSTEM_STORAGE), false};
    if (code == ORB_E_SYSTEM_SOFTWARE_TOO_OLD) return {IDS_UPDATE_SYSTEM_SOFTWARE, false};
    if (code == ORB_E_UNSUPPORTED_OPERATION) return {IDS_TYPE_NOT_SUPPORTED, true};
    return {IDS_ERROR, true};
  }

  if ((bits & 0xFFFFF000u) == 0x80048000u) {
    // Transport failures: WinINet's and the socket library's families.
    const std::uint32_t family = bits & 0xFFFFFF00u;
    if (family == Bits(ORB_E_WININET_BASE) || family == Bits(ORB_E_SOCKET_BASE)) return {IDS_CONNECTION_ERROR, true};
    if (code == ORB_E_LOCAL_DISK_FULL) return {IDS_DISK_FULL, true};
    if ((code >= ORB_E_INTERNET && code <= ORB_E_NO_CONTENT_LENGTH) || code == ORB_E_READ_BODY) {
      return {IDS_CONNECTION_ERROR, true};
    }
    if (code == ORB_E_TOO_LARGE) return {IDS_TYPE_NOT_SUPPORTED, true};
    if (code == ORB_E_NOT_ENOUGH_SPACE) {
      return {byKind(IDS_FLASH_KEY_FULL, IDS_SD_CARD_FULL, IDS_SYSTEM_STORAGE_FULL), false};
    }
    if (code == ORB_E_MEDIUM_LOCKED) {
      return {byKind(IDS_FLASH_KEY_LOCKED, IDS_SD_CARD_LOCKED, IDS_SYSTEM_STORAGE_LOCKED), false};
    }
    if (code == ORB_E_STORAGE_NOT_ACCESSIBLE) {
      return {byKind(IDS_FLASH_KEY_NOT_ACCESSIBLE, IDS_SD_CARD_NOT_ACCESSIBLE, IDS_SYSTEM_STORAGE_NOT_ACCESSIBLE),
              false};
    }
    if (code == ORB_E_WRONG_MODEL) return {IDS_GO_ONLY, false};
    if (code == ORB_E_LOCAL_FILE_OPEN || code == ORB_E_LOCAL_FILE_READ) {
      return {copyMode ? IDS_COPY_FAILED : IDS_DOWNLOAD_FAILED, true};
    }
    return {IDS_ERROR, true};
  }

  return {IDS_ERROR, true};
}

void CDownloaderVisualFlow::ShowError(HRESULT code) {
  const ErrorMessage message = MessageForCode(code, storageKind_, copyMode_);
  if (message.textId == 0) return;
  std::wstring text = orb::ui::LoadString(message.textId);
  if (message.showCode) {
    wchar_t hex[16];
    std::swprintf(hex, 16, L"%x", static_cast<unsigned>(Bits(code)));
    text += L" \r\n(0x" + std::wstring(hex) + L")";
  }
  orb::ui::MessageBoxSpec box;
  box.caption = caption_;
  box.text = text.substr(0, kMaxMessageChars);
  box.buttons = Buttons::kOk;
  ui_.ShowMessageBox(box);
}
