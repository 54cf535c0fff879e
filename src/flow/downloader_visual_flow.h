// downloader_visual_flow.h - one run of the program, from the control file
// to exactly one final message.
//
// Start takes the machine-wide lock, checks the program's release (the
// server's release-version file, then the control file's own keys),
// dispatches on the operation code and runs that flow: progress dialog,
// storage selection with Retry/Cancel, the operation configured, started
// and polled into the dialog, then "completed". Every failure code that
// leaves Start becomes one message through ShowError; the user's cancel and
// the must-update notice end silently.
//
// Everything runs on the UI thread; only the operation's worker runs
// elsewhere. All the user sees goes through the user-interface seam, the
// handheld is reached through IDeviceQuestions and the operations come from
// an IOperationFactory, so tests run the whole flow with fakes.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "base/status.h"
#include "flow/device_questions.h"
#include "flow/dsf_reader.h"
#include "flow/operation_factory.h"
#include "flow/version_check.h"
#include "ui/download_progress_dialog.h"
#include "ui/user_interface.h"

class CDownloaderVisualFlow {
 public:
  // The machine-wide lock that lets one operation run at a time.
  static constexpr wchar_t kLockName[] = L"ORB_CONTENT_DOWNLOADER";
  // Longest text of a message box; longer texts are cut.
  static constexpr std::size_t kMaxMessageChars = 1023;
  // Progress range of every operation: hundredths of a percent.
  static constexpr std::uint32_t kProgressRange = 10000;

  // The program's own device layer and operations; the release-version file
  // from the machine setting or the built-in address.
  explicit CDownloaderVisualFlow(orb::ui::IUserInterface& ui);
  // The same with the handheld, the operations and the progress dialog's
  // clock given (tests).
  CDownloaderVisualFlow(orb::ui::IUserInterface& ui, IDeviceQuestions& devices, IOperationFactory& operations,
                        CProgressClock& clock = CProgressClock::System());
  ~CDownloaderVisualFlow();
  CDownloaderVisualFlow(const CDownloaderVisualFlow&) = delete;
  CDownloaderVisualFlow& operator=(const CDownloaderVisualFlow&) = delete;

  // The program's own product version; all 0 = unknown, which skips both
  // release checks. Cannot fail.
  HRESULT SetVersion(std::uint32_t major, std::uint32_t minor, std::uint32_t build, std::uint32_t revision);
  HRESULT ReadControlFile(const wchar_t* path);
  // Runs the operation the control file names. S_OK when it completed (its
  // "completed" message shown), also after a newer-release notice.
  HRESULT Start();
  // The one message for a failure code; nothing for the silent codes.
  void ShowError(HRESULT code);

  // Fetch the release-version file from this address instead of the
  // machine setting's (tests).
  void SetReleaseFileUrl(const std::wstring& url) { releaseFileUrl_ = url; }
  // The machine-wide lock's name: kLockName, unless the environment variable
  // ORBDL_LOCK_NAME names another (tests that run the program at the same
  // time, each with a lock of its own).
  void SetLockName(const std::wstring& name) { lockName_ = name; }

  // What ShowError shows for a code: a string id (0: nothing at all) and
  // whether the code is appended.
  struct ErrorMessage {
    unsigned textId = 0;
    bool showCode = false;
  };
  static ErrorMessage MessageForCode(HRESULT code, std::int32_t storageKind, bool copyMode);

  // Kind of the chosen target storage (orb::device::StorageKind) and whether the
  // content URL is a file:// URL: both choose message texts.
  std::int32_t GetStorageKind() const { return storageKind_; }
  bool GetCopyMode() const { return copyMode_; }

 private:
  using FlowSteps = std::function<HRESULT(CDownloadProgressDialog& dialog, std::unique_ptr<IFlowOperation>* operation)>;

  HRESULT CheckReleaseVersion();
  HRESULT GameVideoDownload();
  HRESULT ComicVideoDownload(std::int32_t kind);
  HRESULT NonSecureContentDownload();

  // The frame of every flow: progress dialog, the steps, dialog gone, then
  // the "completed" message on success.
  HRESULT RunInProgressDialog(const FlowSteps& steps);
  HRESULT CreateOperation(OperationType type, std::unique_ptr<IFlowOperation>* operation);
  HRESULT SelectGameDrive(wchar_t* drive);
  // SelectStorage until it succeeds or the user cancels; `retryTooOld`: the
  // system-software answer is asked about too.
  HRESULT SelectStorageWithRetry(int policy, bool retryTooOld, IDeviceStorage** storage, std::uint32_t* flags);
  // ORB_E_SYSTEM_SOFTWARE_TOO_OLD when the handheld's system software is
  // below the minimum.
  HRESULT CheckSystemSoftware(wchar_t drive);
  // Configures the operation, then starts and polls it.
  HRESULT ConfigureAndRun(IFlowOperation& operation, const OperationSettings& settings,
                          CDownloadProgressDialog& dialog);
  HRESULT StartAndPoll(CDownloaderBase& operation, CDownloadProgressDialog& dialog);
  HRESULT RunProgressLoop(CDownloaderBase& operation, CDownloadProgressDialog& dialog);

  // The notice for a release check's result: S_OK to go on (also after the
  // newer-release notice, which sets *newerShown), or the code that ends
  // the run.
  HRESULT AnswerReleaseCheck(HRESULT check, const std::wstring& link, bool* newerShown);
  int AskRetry(unsigned textId);
  int ShowBox(unsigned textId, orb::ui::Icon icon, orb::ui::Buttons buttons, orb::ui::IProgressWindow* owner);
  void ShowLinkNotice(unsigned textId, const std::wstring& url);
  const wchar_t* Slot(int slot) const { return reader_.GetValue(slot); }

  orb::ui::IUserInterface& ui_;
  std::unique_ptr<IDeviceQuestions> ownDevices_;
  std::unique_ptr<IOperationFactory> ownOperations_;
  IDeviceQuestions& devices_;
  IOperationFactory& operations_;
  CProgressClock& clock_;
  CDsfReader reader_;
  std::wstring caption_;
  std::wstring releaseFileUrl_;
  std::wstring lockName_;
  orb::ui::IProgressWindow* owner_ = nullptr;
  CVersionCheck::Version version_;
  std::int32_t storageKind_ = orb::device::kStorageKindNotSet;
  bool copyMode_ = false;
};
