// download_progress_dialog.h - the progress dialog of a running operation:
// counters, texts, the pacing of the flow's polling loop and the cancel
// latch. Drawing is the user interface's (IProgressWindow), so all of this
// runs and is tested the same on every platform.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "base/status.h"
#include "ui/user_interface.h"

// The millisecond clock the dialog paces with; tests drive their own.
class CProgressClock {
 public:
  virtual ~CProgressClock() = default;
  virtual std::uint32_t Now() = 0;  // wrapping 32-bit millisecond tick
  virtual void Sleep(std::uint32_t milliseconds) = 0;
  // The system's tick and sleep.
  static CProgressClock& System();
};

class CDownloadProgressDialog : public orb::ui::IProgressEvents {
 public:
  // Refresh at most this often, and pause this long after each refresh.
  static constexpr std::uint32_t kRefreshMilliseconds = 500;
  // Within this many bytes of the total every call refreshes.
  static constexpr std::uint32_t kNearEndBytes = 1024;

  explicit CDownloadProgressDialog(orb::ui::IUserInterface& ui,
                                   CProgressClock& clock = CProgressClock::System());
  ~CDownloadProgressDialog() override;
  CDownloadProgressDialog(const CDownloadProgressDialog&) = delete;
  CDownloadProgressDialog& operator=(const CDownloadProgressDialog&) = delete;

  // Creates and shows the window (template 131, no parent) and initialises
  // its texts; E_FAIL when the window cannot be created.
  HRESULT Create();
  // Closes an open cancel question, then destroys the window.
  void DestroyWindow();
  // The window, as owner of message boxes; null when not created.
  orb::ui::IProgressWindow* Window() const { return window_.get(); }

  void SetTitle(const std::wstring& text);
  void SetStatus(const std::wstring& text);
  // Copy mode asks "cancel the copy" instead of "cancel the download".
  void SetCopyMode(bool copyMode) { copyMode_ = copyMode; }

  void ResetCounters();
  // Ignored for a size with all bits set or one that does not fit 32 bits.
  void SetTotalBytes(std::uint64_t size);
  void SetRange(std::uint32_t range);
  // Adds byteDifference to the received bytes (-1: no change), refreshes
  // the texts when due, then pauses and dispatches window messages.
  void UpdateProgress(std::int64_t byteDifference, std::uint32_t position);
  // True once the user has confirmed the cancel question; stays true until
  // ResetCounters.
  bool IsCancelled();
  void PumpMessages();

  // "9999 B", "10 KB", "10 MB": the next whole unit upwards.
  static std::wstring SizePart(std::uint32_t bytes);
  // The text of the size line: received, and " / total" when total is known.
  static std::wstring SizeText(std::uint32_t received, std::uint32_t total);

  std::uint32_t ReceivedBytes() const { return received_; }
  std::uint32_t TotalBytes() const { return total_; }

  // The Cancel button, Esc, Enter and the close box all ask the cancel
  // question; its answer is read by IsCancelled.
  void OnCancelRequested() override;

 private:
  bool RefreshDue(std::uint32_t now) const;

  orb::ui::IUserInterface& ui_;
  CProgressClock& clock_;
  std::unique_ptr<orb::ui::IProgressWindow> window_;
  std::unique_ptr<orb::ui::IMessageBoxThread> question_;
  bool cancelled_ = false;
  bool copyMode_ = false;
  std::uint32_t received_ = 0;
  std::uint32_t total_ = 0;  // 0 = unknown
  std::uint32_t range_ = 0;
  std::uint32_t startTick_ = 0;
  std::uint32_t lastRefreshTick_ = 0;
};
