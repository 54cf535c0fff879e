// scripted_user_interface.cpp
#include "ui/scripted_user_interface.h"

#include <cstdio>
#include <map>
#include <utility>

#include "base/wide_text.h"
#include "ui/string_table.h"

namespace orb::ui {
namespace {

const char* ButtonName(int button) {
  switch (button) {
    case kButtonOk: return "ok";
    case kButtonCancel: return "cancel";
    case kButtonRetry: return "retry";
    case kButtonYes: return "yes";
    case kButtonNo: return "no";
    default: return "none";
  }
}

int ButtonFromName(std::string_view name) {
  for (int b : {kButtonOk, kButtonCancel, kButtonRetry, kButtonYes, kButtonNo}) {
    if (name == ButtonName(b)) return b;
  }
  return kButtonNone;
}

const char* IconName(Icon icon) {
  switch (icon) {
    case Icon::kInformation: return "information";
    case Icon::kWarning: return "warning";
    default: return "none";
  }
}

const char* ButtonsName(Buttons buttons) {
  switch (buttons) {
    case Buttons::kRetryCancel: return "retry-cancel";
    case Buttons::kYesNo: return "yes-no";
    default: return "ok";
  }
}

std::pair<int, int> ButtonPair(Buttons buttons) {
  switch (buttons) {
    case Buttons::kRetryCancel: return {kButtonRetry, kButtonCancel};
    case Buttons::kYesNo: return {kButtonYes, kButtonNo};
    default: return {kButtonOk, kButtonOk};
  }
}

const char* ControlName(int controlId) {
  switch (controlId) {
    case kProgressCancelButton: return "button";
    case kProgressStatus: return "status";
    case kProgressTitle: return "title";
    case kProgressSize: return "size";
    case kProgressPercent: return "percent";
    default: return "control";
  }
}

class ScriptedProgressWindow : public IProgressWindow {
 public:
  ScriptedProgressWindow(ScriptedUserInterface* ui, IProgressEvents* events) : ui_(ui), events_(events) {
    ui_->Write("[UI] progress open");
  }
  ~ScriptedProgressWindow() override { ui_->Write("[UI] progress close"); }

  void SetItemText(int controlId, const std::wstring& text) override {
    std::wstring& current = items_[controlId];
    if (current == text) return;
    current = text;
    ui_->Write(std::string("[UI] progress ") + ControlName(controlId) + "=\"" + ScriptedUserInterface::Quote(text) + "\"");
  }
  std::wstring GetItemText(int controlId) const override {
    const auto it = items_.find(controlId);
    return it == items_.end() ? std::wstring() : it->second;
  }
  void SetCaption(const std::wstring& text) override {
    if (caption_ == text) return;
    caption_ = text;
    ui_->Write("[UI] progress caption=\"" + ScriptedUserInterface::Quote(text) + "\"");
  }
  void SetProgressRange(std::uint32_t upper) override {
    if (range_ == upper) return;
    range_ = upper;
    ui_->Write("[UI] progress range=" + std::to_string(upper));
  }
  void SetProgressPosition(std::uint32_t position) override {
    if (position_ == position) return;
    position_ = position;
    ui_->Write("[UI] progress position=" + std::to_string(position));
  }
  void PumpMessages() override {
    if (ui_->TakeIf("pump")) return;
    if (ui_->TakeIf("press-cancel")) {
      ui_->Write("[UI] progress press-cancel");
      if (events_ != nullptr) events_->OnCancelRequested();
    }
  }

 private:
  ScriptedUserInterface* ui_;
  IProgressEvents* events_;
  std::map<int, std::wstring> items_;
  std::wstring caption_;
  std::uint32_t range_ = 0;
  std::uint32_t position_ = 0;
};

// Answers at once, so the question is never "still open".
class ScriptedMessageBoxThread : public IMessageBoxThread {
 public:
  explicit ScriptedMessageBoxThread(ScriptedUserInterface* ui) : ui_(ui) {}
  bool Show(const MessageBoxSpec& box) override {
    std::string note;
    result_ = ui_->Answer(box, &note);
    ui_->Write(ui_->BoxLine("question", box, result_, note));
    return true;
  }
  int GetResult() const override { return result_; }
  void Close() override { result_ = kButtonNone; }

 private:
  ScriptedUserInterface* ui_;
  int result_ = kButtonNone;
};

}  // namespace

ScriptedUserInterface::ScriptedUserInterface(std::vector<std::string> answers, Sink sink)
    : answers_(answers.begin(), answers.end()), sink_(std::move(sink)) {}

std::vector<std::string> ScriptedUserInterface::ParseAnswers(std::string_view commaList) {
  std::vector<std::string> answers;
  while (!commaList.empty()) {
    const std::size_t comma = commaList.find(',');
    std::string_view word = commaList.substr(0, comma);
    while (!word.empty() && word.front() == ' ') word.remove_prefix(1);
    while (!word.empty() && word.back() == ' ') word.remove_suffix(1);
    if (!word.empty()) answers.emplace_back(word);
    if (comma == std::string_view::npos) break;
    commaList.remove_prefix(comma + 1);
  }
  return answers;
}

std::string ScriptedUserInterface::Quote(const std::wstring& text) {
  std::string out;
  for (const char c : WideToUtf8(text)) {
    const auto u = static_cast<unsigned char>(c);
    if (c == '\\') {
      out += "\\\\";
    } else if (c == '"') {
      out += "\\\"";
    } else if (c == '\r') {
      out += "\\r";
    } else if (c == '\n') {
      out += "\\n";
    } else if (u < 0x20 || u == 0x7F) {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02X", u);
      out += hex;
    } else {
      out += c;
    }
  }
  return out;
}

std::vector<std::string> ScriptedUserInterface::Lines() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return lines_;
}

std::size_t ScriptedUserInterface::AnswersLeft() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return answers_.size();
}

void ScriptedUserInterface::Write(const std::string& line) {
  Sink sink;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    lines_.push_back(line);
    sink = sink_;
  }
  if (sink) sink(line);
}

bool ScriptedUserInterface::TakeIf(std::string_view token) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (answers_.empty() || answers_.front() != token) return false;
  answers_.pop_front();
  return true;
}

int ScriptedUserInterface::Answer(const MessageBoxSpec& box, std::string* note) {
  const auto [first, second] = ButtonPair(box.buttons);
  const int safe = second;  // OK, Cancel, No
  std::lock_guard<std::mutex> lock(mutex_);
  if (box.buttons == Buttons::kOk) {
    // A box with OK alone needs no answer; an "ok" in the list is taken.
    if (!answers_.empty() && answers_.front() == "ok") answers_.pop_front();
    note->clear();
    return kButtonOk;
  }
  if (answers_.empty()) {
    *note = " (no answer left)";
    return safe;
  }
  const int wanted = ButtonFromName(answers_.front());
  if (wanted != first && wanted != second) {
    *note = " (answer \"" + answers_.front() + "\" does not fit)";
    return safe;
  }
  answers_.pop_front();
  note->clear();
  return wanted;
}

std::string ScriptedUserInterface::BoxLine(const char* kind, const MessageBoxSpec& box, int button,
                                           const std::string& note) const {
  const auto [first, second] = ButtonPair(box.buttons);
  return std::string("[UI] ") + kind + " caption=\"" + Quote(box.caption) + "\" text=\"" + Quote(box.text) +
         "\" icon=" + IconName(box.icon) + " buttons=" + ButtonsName(box.buttons) +
         " default=" + ButtonName(box.secondIsDefault ? second : first) +
         " owner=" + (box.owner != nullptr ? "progress" : "none") + " -> " + ButtonName(button) + note;
}

int ScriptedUserInterface::ShowMessageBox(const MessageBoxSpec& box) {
  std::string note;
  const int button = Answer(box, &note);
  Write(BoxLine("message", box, button, note));
  return button;
}

void ScriptedUserInterface::ShowUrlMessage(const std::wstring& message, const std::wstring& url) {
  MessageBoxSpec box;
  std::string note;
  Answer(box, &note);
  Write("[UI] link caption=\"" + Quote(LoadString(IDS_PRODUCT_NAME)) + "\" text=\"" + Quote(message) + "\" url=\"" + Quote(url) +
        "\" -> ok" + note);
}

std::unique_ptr<IProgressWindow> ScriptedUserInterface::CreateProgressWindow(IProgressEvents* events) {
  return std::make_unique<ScriptedProgressWindow>(this, events);
}

std::unique_ptr<IMessageBoxThread> ScriptedUserInterface::CreateMessageBoxThread() {
  return std::make_unique<ScriptedMessageBoxThread>(this);
}

void ScriptedUserInterface::RunMainDialog(IMainDialog* dialog) {
  MainDialogTexts texts;
  if (!dialog->OnInitDialog(&texts)) {
    Write("[UI] version-hidden");
    return;
  }
  MessageBoxSpec box;
  std::string note;
  Answer(box, &note);
  std::string line = "[UI] version caption=\"" + Quote(texts.caption) + "\"";
  if (texts.haveVersion) {
    line += " product=\"" + Quote(texts.productLine) + "\" copyright=\"" + Quote(texts.copyright) + "\"";
  }
  Write(line + " -> ok" + note);
}

}  // namespace orb::ui
