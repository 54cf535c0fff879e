// user_interface.h - the one seam between the program and what its user
// sees: message boxes, the progress dialog's window, the cancel question,
// the link notice and the main (version) dialog.
//
// The program never draws or asks anything itself; it talks to an
// IUserInterface. Three implementations stand behind it:
//   - Win32: real dialogs from the program's resources (Windows);
//   - terminal: standard error and the controlling terminal (Linux);
//   - scripted: one log line per dialog and answers from a list, for tests
//     and automation on both platforms (ui/scripted_user_interface.h).
// CreateUserInterface() (ui/create_user_interface.h) picks one at start-up:
// the scripted one when ORBDL_UI_SCRIPT is set, otherwise the platform's.
//
// How the pieces are used by the operation flow:
//   - final messages, errors and Retry/Cancel questions: ShowMessageBox;
//   - the progress dialog: construct CDownloadProgressDialog
//     (ui/download_progress_dialog.h) with the interface; it holds the
//     counters, texts, pacing and the cancel latch, and asks the interface
//     for an IProgressWindow to draw into and an IMessageBoxThread for the
//     cancel question;
//   - release notices with a link: CUrlMessageDialog
//     (ui/url_message_dialog.h).
// Texts come from the string table (ui/string_table.h); the interface shows
// what it is given and adds nothing but the template's fixed parts.
//
// Everything here is called on the UI thread, except IMessageBoxThread's
// own box, which runs on a thread of its own.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace orb::ui {

// The button a message box returns. The values are those of the Windows
// message box functions, so logs and callers read the same everywhere.
enum Button : int {
  kButtonNone = 0,  // not answered (yet)
  kButtonOk = 1,
  kButtonCancel = 2,
  kButtonRetry = 4,
  kButtonYes = 6,
  kButtonNo = 7,
};

enum class Icon { kNone, kInformation, kWarning };

enum class Buttons { kOk, kRetryCancel, kYesNo };

class IProgressWindow;

// One message box. Every box of the program is brought to the foreground.
struct MessageBoxSpec {
  std::wstring caption;
  std::wstring text;
  Icon icon = Icon::kNone;
  Buttons buttons = Buttons::kOk;
  // The second button (Cancel, No) is the default instead of the first.
  bool secondIsDefault = false;
  // The window that owns the box (the progress dialog's), or none.
  IProgressWindow* owner = nullptr;
};

// Control ids of the progress dialog (template 131) that its logic writes.
enum ProgressControl : int {
  kProgressCancelButton = 2,
  kProgressBar = 1002,
  kProgressStatus = 1003,
  kProgressTitle = 1004,
  kProgressSize = 1005,
  kProgressPercent = 1012,
};

// What the progress window reports back to the dialog logic.
class IProgressEvents {
 public:
  virtual ~IProgressEvents() = default;
  // The user asked to cancel: the Cancel button, Esc, Enter, the window's
  // close box, Ctrl+C on a terminal, "press-cancel" in a script.
  virtual void OnCancelRequested() = 0;
};

// The drawing half of the progress dialog. Destroying the object destroys
// the window.
class IProgressWindow {
 public:
  virtual ~IProgressWindow() = default;
  virtual void SetItemText(int controlId, const std::wstring& text) = 0;
  virtual std::wstring GetItemText(int controlId) const = 0;
  virtual void SetCaption(const std::wstring& text) = 0;
  virtual void SetProgressRange(std::uint32_t upper) = 0;
  virtual void SetProgressPosition(std::uint32_t position) = 0;
  // Dispatches the window's waiting messages without blocking; user actions
  // arrive as IProgressEvents calls from inside this call.
  virtual void PumpMessages() = 0;
};

// A message box on a thread of its own, so that the progress dialog keeps
// updating while the user answers the cancel question.
class IMessageBoxThread {
 public:
  virtual ~IMessageBoxThread() = default;  // closes an open box (Close)
  // Starts the box; false when one is still open (nothing happens) or the
  // thread could not start.
  virtual bool Show(const MessageBoxSpec& box) = 0;
  // The button pressed, kButtonNone while the box is open or none was shown.
  virtual int GetResult() const = 0;
  // Ends an open box without an answer and forgets any earlier result.
  virtual void Close() = 0;
};

// Texts of the main dialog (template 102) once it is initialised. The
// labels keep their template texts when the version is unknown.
struct MainDialogTexts {
  std::wstring caption;
  bool haveVersion = false;
  std::wstring productLine;  // control 1010: "<name> <a>.<b>.<c>.<d>"
  std::wstring copyright;    // control 1013
};

// The logic behind the main dialog.
class IMainDialog {
 public:
  virtual ~IMainDialog() = default;
  // Called once the dialog exists and before it is shown. Returns false to
  // end it at once (it then never becomes visible); true to show it with
  // *texts until the user closes it.
  virtual bool OnInitDialog(MainDialogTexts* texts) = 0;
};

class IUserInterface {
 public:
  virtual ~IUserInterface() = default;

  // A modal message box; returns the button pressed (a kButton... value).
  virtual int ShowMessageBox(const MessageBoxSpec& box) = 0;

  // The link notice (template 132): the message, the link below it, OK.
  // Its caption is string IDS_PRODUCT_NAME. Modal.
  virtual void ShowUrlMessage(const std::wstring& message, const std::wstring& url) = 0;

  // Opens the progress window (template 131), shown at once, not owned.
  // Null when it cannot be created.
  virtual std::unique_ptr<IProgressWindow> CreateProgressWindow(IProgressEvents* events) = 0;

  // A fresh holder for the cancel question.
  virtual std::unique_ptr<IMessageBoxThread> CreateMessageBoxThread() = 0;

  // Runs the main dialog modally: calls dialog->OnInitDialog, then shows the
  // texts until closed when it returned true.
  virtual void RunMainDialog(IMainDialog* dialog) = 0;
};

}  // namespace orb::ui
