// terminal_user_interface.cpp - the user interface on a terminal: messages
// and the progress line on standard error, questions on the controlling
// terminal, the version on standard output.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cctype>
#include <csignal>
#include <memory>
#include <string>
#include <thread>

#include "base/wide_text.h"
#include "platform/process.h"
#include "ui/create_user_interface.h"
#include "ui/string_table.h"

namespace orb::ui {
namespace {

volatile std::sig_atomic_t g_interrupted = 0;

void OnInterrupt(int) { g_interrupted = 1; }

// Message texts use CR LF line breaks, as the Windows boxes do.
std::string TerminalText(const std::wstring& text) {
  std::string out;
  for (const char c : WideToUtf8(text)) {
    if (c != '\r') out += c;
  }
  return out;
}

struct Choice {
  char key;
  const char* label;
  int button;
};

// Asks on the controlling terminal; `wakeFd` becoming readable ends the
// question without an answer (kButtonNone). Without a terminal the safe
// answer is taken, and said.
int AskOnTerminal(const MessageBoxSpec& box, int wakeFd) {
  Choice choices[2];
  int safe = kButtonCancel;
  if (box.buttons == Buttons::kYesNo) {
    choices[0] = {'y', "[Y]es", kButtonYes};
    choices[1] = {'n', "[N]o", kButtonNo};
    safe = kButtonNo;
  } else {
    choices[0] = {'r', "[R]etry", kButtonRetry};
    choices[1] = {'c', "[C]ancel", kButtonCancel};
  }
  const Choice& byDefault = box.secondIsDefault ? choices[1] : choices[0];
  const int tty = open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (tty < 0) {
    platform::WriteStderr(std::string("(no terminal to ask: answering ") + (safe == kButtonNo ? "No" : "Cancel") +
                          ")\n");
    return safe;
  }
  const std::string prompt = std::string(choices[0].label) + " / " + choices[1].label + " (Enter: " +
                             byDefault.label + ")? ";
  int answer = kButtonNone;
  std::string line;
  auto say = [tty](const std::string& text) { (void)!write(tty, text.data(), text.size()); };
  say(prompt);
  while (answer == kButtonNone) {
    pollfd fds[2] = {{tty, POLLIN, 0}, {wakeFd, POLLIN, 0}};
    const int ready = poll(fds, wakeFd >= 0 ? 2 : 1, -1);
    if (ready < 0) continue;  // a signal (Ctrl+C) while asking: keep asking
    if (wakeFd >= 0 && (fds[1].revents & POLLIN) != 0) break;
    char c = 0;
    const ssize_t got = read(tty, &c, 1);
    if (got <= 0) {  // the terminal went away
      answer = safe;
      break;
    }
    if (c != '\n') {
      line += c;
      continue;
    }
    std::size_t start = line.find_first_not_of(" \t");
    if (start == std::string::npos) {
      answer = byDefault.button;
    } else {
      const char key = static_cast<char>(std::tolower(static_cast<unsigned char>(line[start])));
      for (const Choice& choice : choices) {
        if (key == choice.key) answer = choice.button;
      }
    }
    line.clear();
    if (answer == kButtonNone) say(prompt);
  }
  close(tty);
  return answer;
}

class TerminalUserInterface;

// The cancel question on a thread, so the progress keeps running.
class TerminalMessageBoxThread : public IMessageBoxThread {
 public:
  explicit TerminalMessageBoxThread(std::atomic<bool>* questionOpen) : questionOpen_(questionOpen) {}
  ~TerminalMessageBoxThread() override { Close(); }

  bool Show(const MessageBoxSpec& box) override {
    if (running_.load()) return false;
    Join();
    if (pipe2(wake_, O_CLOEXEC) != 0) return false;
    result_.store(kButtonNone);
    running_.store(true);
    questionOpen_->store(true);
    platform::WriteStderr("\n" + TerminalText(box.text) + "\n");
    thread_ = std::thread([this, box] {
      result_.store(AskOnTerminal(box, wake_[0]));
      questionOpen_->store(false);
      running_.store(false);
    });
    return true;
  }
  int GetResult() const override { return result_.load(); }
  void Close() override {
    if (thread_.joinable()) (void)!write(wake_[1], "x", 1);
    Join();
    result_.store(kButtonNone);
  }

 private:
  void Join() {
    if (thread_.joinable()) thread_.join();
    for (int& fd : wake_) {
      if (fd >= 0) close(fd);
      fd = -1;
    }
  }

  std::atomic<bool>* questionOpen_;
  std::thread thread_;
  std::atomic<bool> running_{false};
  std::atomic<int> result_{kButtonNone};
  int wake_[2] = {-1, -1};
};

// One line on standard error, redrawn in place on a terminal; elsewhere a
// new line whenever the status or the percentage changes.
class TerminalProgressWindow : public IProgressWindow {
 public:
  TerminalProgressWindow(IProgressEvents* events, std::atomic<bool>* questionOpen)
      : events_(events), questionOpen_(questionOpen), inPlace_(isatty(STDERR_FILENO) == 1) {
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    g_interrupted = 0;
    sigaction(SIGINT, &action, &previous_);
  }
  ~TerminalProgressWindow() override {
    sigaction(SIGINT, &previous_, nullptr);
    if (inPlace_ && drawn_) platform::WriteStderr("\n");
  }

  void SetItemText(int controlId, const std::wstring& text) override {
    switch (controlId) {
      case kProgressStatus: status_ = text; break;
      case kProgressTitle: title_ = text; break;
      case kProgressPercent: percent_ = text; break;
      case kProgressSize: size_ = text; break;
      default: break;
    }
  }
  std::wstring GetItemText(int controlId) const override {
    switch (controlId) {
      case kProgressStatus: return status_;
      case kProgressTitle: return title_;
      case kProgressPercent: return percent_;
      case kProgressSize: return size_;
      default: return std::wstring();
    }
  }
  void SetCaption(const std::wstring& /*text*/) override {}
  void SetProgressRange(std::uint32_t /*upper*/) override {}
  void SetProgressPosition(std::uint32_t /*position*/) override {}

  void PumpMessages() override {
    if (g_interrupted != 0) {
      g_interrupted = 0;
      if (events_ != nullptr) events_->OnCancelRequested();
    }
    if (questionOpen_->load()) return;  // do not draw over the question
    std::wstring line = status_;
    for (const std::wstring* part : {&title_, &percent_, &size_}) {
      if (!part->empty()) line += L"  " + *part;
    }
    if (inPlace_) {
      platform::WriteStderr("\r" + TerminalText(line) + "\x1b[K");
      drawn_ = true;
    } else if (status_ != lastStatus_ || percent_ != lastPercent_) {
      platform::WriteStderr(TerminalText(line) + "\n");
    }
    lastStatus_ = status_;
    lastPercent_ = percent_;
  }

 private:
  IProgressEvents* events_;
  std::atomic<bool>* questionOpen_;
  const bool inPlace_;
  bool drawn_ = false;
  struct sigaction previous_ {};
  std::wstring status_, title_, percent_, size_, lastStatus_, lastPercent_;
};

class TerminalUserInterface : public IUserInterface {
 public:
  int ShowMessageBox(const MessageBoxSpec& box) override {
    platform::WriteStderr(TerminalText(box.text) + "\n");
    if (box.buttons == Buttons::kOk) return kButtonOk;
    return AskOnTerminal(box, -1);
  }
  void ShowUrlMessage(const std::wstring& message, const std::wstring& url) override {
    platform::WriteStderr(TerminalText(message) + "\n" + TerminalText(url) + "\n");
  }
  std::unique_ptr<IProgressWindow> CreateProgressWindow(IProgressEvents* events) override {
    return std::make_unique<TerminalProgressWindow>(events, &questionOpen_);
  }
  std::unique_ptr<IMessageBoxThread> CreateMessageBoxThread() override {
    return std::make_unique<TerminalMessageBoxThread>(&questionOpen_);
  }
  void RunMainDialog(IMainDialog* dialog) override {
    MainDialogTexts texts;
    if (!dialog->OnInitDialog(&texts)) return;
    std::string text = TerminalText(texts.haveVersion ? texts.productLine : texts.caption) + "\n";
    if (texts.haveVersion && !texts.copyright.empty()) text += TerminalText(texts.copyright) + "\n";
    platform::WriteStdout(text);
  }

 private:
  std::atomic<bool> questionOpen_{false};
};

}  // namespace

std::unique_ptr<IUserInterface> CreateNativeUserInterface() { return std::make_unique<TerminalUserInterface>(); }

}  // namespace orb::ui
