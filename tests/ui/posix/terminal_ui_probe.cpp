// terminal_ui_probe.cpp - drives the terminal user interface for its tests:
//   terminal_ui_probe questions   a Retry/Cancel and a Yes/No (default No) box
//   terminal_ui_probe progress    a progress dialog until cancelled (or 20 s)
// and prints what came back.
#include <cstdio>
#include <string>

#include "platform/clock.h"
#include "ui/create_user_interface.h"
#include "ui/download_progress_dialog.h"
#include "ui/string_table.h"

namespace {

// Fast pacing: every call refreshes, and waits 20 ms instead of 500.
class FastClock : public CProgressClock {
 public:
  std::uint32_t Now() override { return now_ += 501; }
  void Sleep(std::uint32_t) override { orb::platform::SleepMilliseconds(20); }

 private:
  std::uint32_t now_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  orb::ui::SetCurrentLanguage(orb::ui::kLangEnglish);
  auto ui = orb::ui::CreateNativeUserInterface();
  const std::string mode = argv[1];
  if (mode == "questions") {
    orb::ui::MessageBoxSpec box;
    box.text = L"Retry?";
    box.buttons = orb::ui::Buttons::kRetryCancel;
    std::printf("answer %d\n", ui->ShowMessageBox(box));
    std::fflush(stdout);
    box.text = L"Sure?";
    box.buttons = orb::ui::Buttons::kYesNo;
    box.secondIsDefault = true;
    std::printf("answer %d\n", ui->ShowMessageBox(box));
    return 0;
  }
  if (mode == "progress") {
    FastClock clock;
    CDownloadProgressDialog dialog(*ui, clock);
    if (dialog.Create() != S_OK) return 1;
    dialog.SetTitle(L"Clip");
    dialog.ResetCounters();
    dialog.SetTotalBytes(1000000);
    dialog.SetRange(10000);
    for (int i = 0; i < 1000; ++i) {
      dialog.UpdateProgress(100, static_cast<std::uint32_t>(i % 10000));
      if (dialog.IsCancelled()) {
        dialog.DestroyWindow();
        std::printf("cancelled\n");
        return 0;
      }
    }
    dialog.DestroyWindow();
    std::printf("not cancelled\n");
    return 0;
  }
  return 2;
}
