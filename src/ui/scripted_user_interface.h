// scripted_user_interface.h - the user interface for tests and automation:
// every dialog becomes one log line, every question takes the next answer
// of a list.
//
// In-process (unit tests):
//   orb::ui::ScriptedUserInterface ui({"retry", "cancel"});
//   ... run code against ui ...
//   EXPECT_EQ(ui.Lines()[0], "[UI] message caption=\"...\" ... -> retry");
// In the real program: ORBDL_UI_SCRIPT=- (standard output) or =FILE, and
// ORBDL_UI_ANSWERS=retry,cancel (see create_user_interface.h).
//
// Lines (texts in double quotes, escaped: \\ \" \r \n, other control
// characters as \xNN, everything else UTF-8):
//   [UI] message caption="C" text="T" icon=none|information|warning
//        buttons=ok|retry-cancel|yes-no default=BUTTON owner=none|progress -> BUTTON
//   [UI] question ... (the same fields)                  the cancel question
//   [UI] link caption="C" text="T" url="U" -> ok
//   [UI] version caption="C" product="P" copyright="R" -> ok
//        (product and copyright are left out when the version is unknown)
//   [UI] version-hidden                  the main dialog ended before showing
//   [UI] progress open | close | press-cancel
//   [UI] progress caption="C" | status="S" | title="T" | percent="P" |
//        size="S" | button="B" | range=N | position=N   (each change)
// A box that has no fitting answer left takes its safe answer (OK, Cancel,
// No) and says so after the button: "-> cancel (no answer left)" or
// "-> cancel (answer "yes" does not fit)"; an unfit answer stays in the list.
//
// Answers: ok, cancel, retry, yes, no for boxes; "press-cancel" presses the
// progress dialog's Cancel at its next message pump; "pump" lets one pump
// pass (to press Cancel later).
#pragma once

#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "ui/user_interface.h"

namespace orb::ui {

class ScriptedUserInterface : public IUserInterface {
 public:
  using Sink = std::function<void(const std::string& line)>;

  explicit ScriptedUserInterface(std::vector<std::string> answers = {}, Sink sink = nullptr);

  // "retry, cancel,yes" -> {"retry", "cancel", "yes"}
  static std::vector<std::string> ParseAnswers(std::string_view commaList);
  // A text as it appears between the double quotes of a line.
  static std::string Quote(const std::wstring& text);

  // Every line written so far, without line ends.
  std::vector<std::string> Lines() const;
  std::size_t AnswersLeft() const;

  int ShowMessageBox(const MessageBoxSpec& box) override;
  void ShowUrlMessage(const std::wstring& message, const std::wstring& url) override;
  std::unique_ptr<IProgressWindow> CreateProgressWindow(IProgressEvents* events) override;
  std::unique_ptr<IMessageBoxThread> CreateMessageBoxThread() override;
  void RunMainDialog(IMainDialog* dialog) override;

  // Used by the scripted windows.
  void Write(const std::string& line);
  // Takes the next answer when it is `token`.
  bool TakeIf(std::string_view token);
  // The button for a box and the note for the line (empty when answered).
  int Answer(const MessageBoxSpec& box, std::string* note);
  std::string BoxLine(const char* kind, const MessageBoxSpec& box, int button, const std::string& note) const;

 private:
  mutable std::mutex mutex_;
  std::deque<std::string> answers_;
  std::vector<std::string> lines_;
  Sink sink_;
};

}  // namespace orb::ui
