#include "ui/download_progress_dialog.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "ui/scripted_user_interface.h"
#include "ui/string_table.h"

namespace {

using orb::ui::ScriptedUserInterface;

class FakeClock : public CProgressClock {
 public:
  std::uint32_t Now() override { return now; }
  void Sleep(std::uint32_t milliseconds) override {
    now += milliseconds;
    slept += milliseconds;
  }
  std::uint32_t now = 1000;
  std::uint32_t slept = 0;
};

bool HasLine(const ScriptedUserInterface& ui, const std::string& line) {
  const auto lines = ui.Lines();
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

class ProgressDialogTest : public ::testing::Test {
 protected:
  void SetUp() override { orb::ui::SetCurrentLanguage(orb::ui::kLangEnglish); }
  void TearDown() override { orb::ui::SetCurrentLanguage(0); }
};

TEST_F(ProgressDialogTest, SizeTextsRoundUpToTheNextWholeUnit) {
  struct Case {
    std::uint32_t received, total;
    const wchar_t* want;
  } cases[] = {
      {0, 0, L"0 B"},
      {9999, 0, L"9999 B"},
      {10000, 0, L"10 KB"},
      {10001, 0, L"10 KB"},
      {10241, 0, L"11 KB"},
      {10239999, 0, L"10000 KB"},
      {10240000, 0, L"10 MB"},
      {10485761, 0, L"11 MB"},
      {5000, 20000, L"5000 B / 20 KB"},
      {9999, 10000, L"9999 B / 10 KB"},
      {10240000, 4294967295u, L"10 MB / 4096 MB"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.received);
    EXPECT_EQ(CDownloadProgressDialog::SizeText(c.received, c.total), c.want);
  }
}

TEST_F(ProgressDialogTest, OpensWithPreparingStatusAndProductCaption) {
  ScriptedUserInterface ui;
  FakeClock clock;
  CDownloadProgressDialog dialog(ui, clock);
  ASSERT_EQ(dialog.Create(), S_OK);
  EXPECT_TRUE(HasLine(ui, "[UI] progress open"));
  EXPECT_TRUE(HasLine(ui, "[UI] progress button=\"Cancel\""));
  EXPECT_TRUE(HasLine(ui, "[UI] progress status=\"Preparing...\""));
  EXPECT_TRUE(HasLine(ui, "[UI] progress caption=\"Orbiton\xC2\xAENetwork Downloader\""));
  dialog.DestroyWindow();
  EXPECT_EQ(ui.Lines().back(), "[UI] progress close");
}

TEST_F(ProgressDialogTest, PercentageCaptionAndSizeAtHalfway) {
  ScriptedUserInterface ui;
  FakeClock clock;
  CDownloadProgressDialog dialog(ui, clock);
  ASSERT_EQ(dialog.Create(), S_OK);
  dialog.SetTitle(L"Sample clip");
  dialog.ResetCounters();
  dialog.SetTotalBytes(20000);
  dialog.SetRange(10000);
  dialog.UpdateProgress(0, 0);
  // Position 0: the caption is the title alone, the percentage stays empty.
  EXPECT_TRUE(HasLine(ui, "[UI] progress caption=\"Sample clip\""));
  EXPECT_TRUE(HasLine(ui, "[UI] progress size=\"0 B / 20 KB\""));
  clock.now += 501;
  dialog.UpdateProgress(10000, 5000);
  EXPECT_TRUE(HasLine(ui, "[UI] progress percent=\"50 %\""));
  EXPECT_TRUE(HasLine(ui, "[UI] progress caption=\"50 % / Sample clip\""));
  EXPECT_TRUE(HasLine(ui, "[UI] progress size=\"10 KB / 20 KB\""));
  EXPECT_EQ(dialog.ReceivedBytes(), 10000u);
}

TEST_F(ProgressDialogTest, WithoutTitleTheCaptionFallsBackToTheProductName) {
  ScriptedUserInterface ui;
  FakeClock clock;
  CDownloadProgressDialog dialog(ui, clock);
  ASSERT_EQ(dialog.Create(), S_OK);
  dialog.ResetCounters();
  dialog.SetRange(10000);
  dialog.UpdateProgress(-1, 2500);
  EXPECT_EQ(dialog.ReceivedBytes(), 0u);  // -1: no change
  EXPECT_TRUE(HasLine(ui, "[UI] progress caption=\"25 % / Orbiton\xC2\xAENetwork Downloader\""));
}

TEST_F(ProgressDialogTest, TotalSizesThatDoNotFitAreIgnored) {
  ScriptedUserInterface ui;
  FakeClock clock;
  CDownloadProgressDialog dialog(ui, clock);
  dialog.ResetCounters();
  dialog.SetTotalBytes(4294967296ull);
  EXPECT_EQ(dialog.TotalBytes(), 0u);
  dialog.SetTotalBytes(~0ull);
  EXPECT_EQ(dialog.TotalBytes(), 0u);
  dialog.SetTotalBytes(4294967295ull);
  EXPECT_EQ(dialog.TotalBytes(), 4294967295u);
}

// Each row: received so far, total, milliseconds since the last refresh;
// whether UpdateProgress refreshes (and so pauses 500 ms).
TEST_F(ProgressDialogTest, PacingRefreshesTwiceASecondExceptAtStartAndNearTheEnd) {
  struct Case {
    const char* what;
    std::uint32_t total;
    std::uint32_t receivedBefore;
    std::uint32_t sinceLast;
    bool refreshes;
  } cases[] = {
      {"500 ms is not more than 500 ms", 100000, 0, 500, false},
      {"501 ms", 100000, 0, 501, true},
      {"early, soon after a refresh", 100000, 1000, 10, false},
      {"within 1024 bytes of the total", 100000, 100000 - 1024, 10, true},
      {"1025 bytes before the total", 100000, 100000 - 1025, 10, false},
      {"unknown total: always near the end", 0, 1000, 10, true},
      {"received past a total near 4 GiB", 4294967295u, 4294967000u, 10, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ScriptedUserInterface ui;
    FakeClock clock;
    CDownloadProgressDialog dialog(ui, clock);
    dialog.ResetCounters();
    dialog.SetTotalBytes(c.total);
    dialog.SetRange(10000);
    dialog.UpdateProgress(0, 0);  // the first call after a reset always refreshes
    EXPECT_EQ(clock.slept, 500u);
    clock.now = 1001 + c.sinceLast;  // refreshed at 1000: the last refresh tick is "now + 1"
    clock.slept = 0;
    dialog.UpdateProgress(c.receivedBefore, 1);
    EXPECT_EQ(clock.slept, c.refreshes ? 500u : 0u);
  }
}

TEST_F(ProgressDialogTest, TickWrapAroundStillPaces) {
  ScriptedUserInterface ui;
  FakeClock clock;
  clock.now = 0xFFFFFF00u;
  CDownloadProgressDialog dialog(ui, clock);
  dialog.ResetCounters();
  dialog.SetTotalBytes(100000);
  dialog.UpdateProgress(0, 0);
  clock.slept = 0;
  clock.now = 0xFFFFFF01u + 501;  // 501 ms after the last refresh, past zero
  dialog.UpdateProgress(10, 1);
  EXPECT_EQ(clock.slept, 500u);
}

TEST_F(ProgressDialogTest, CancelAsksTheQuestionAndYesLatchesUntilReset) {
  ScriptedUserInterface ui({"press-cancel", "no", "press-cancel", "yes"});
  FakeClock clock;
  CDownloadProgressDialog dialog(ui, clock);
  ASSERT_EQ(dialog.Create(), S_OK);
  dialog.ResetCounters();
  dialog.PumpMessages();  // Cancel pressed, answered No
  EXPECT_FALSE(dialog.IsCancelled());
  EXPECT_TRUE(HasLine(ui,
                      "[UI] question caption=\"Orbiton\xC2\xAENetwork Downloader\" text=\"Do you want to cancel the "
                      "download operation?\" icon=none buttons=yes-no default=no owner=none -> no"));
  dialog.SetCopyMode(true);
  dialog.PumpMessages();  // pressed again, answered Yes; the copy question this time
  EXPECT_TRUE(HasLine(ui,
                      "[UI] question caption=\"Orbiton\xC2\xAENetwork Downloader\" text=\"Do you want to cancel the "
                      "copy operation?\" icon=none buttons=yes-no default=no owner=none -> yes"));
  EXPECT_TRUE(dialog.IsCancelled());
  EXPECT_TRUE(dialog.IsCancelled());
  dialog.DestroyWindow();  // closes the question: its answer is forgotten
  dialog.ResetCounters();
  EXPECT_FALSE(dialog.IsCancelled());
}

TEST_F(ProgressDialogTest, PumpWaitsLetCancelComeLater) {
  ScriptedUserInterface ui({"pump", "pump", "press-cancel", "yes"});
  FakeClock clock;
  CDownloadProgressDialog dialog(ui, clock);
  ASSERT_EQ(dialog.Create(), S_OK);
  dialog.ResetCounters();
  dialog.PumpMessages();
  dialog.PumpMessages();
  EXPECT_FALSE(dialog.IsCancelled());
  dialog.PumpMessages();
  EXPECT_TRUE(dialog.IsCancelled());
  EXPECT_EQ(ui.AnswersLeft(), 0u);
}

// A user interface whose question stays open until closed, like a real box
// that the user has not answered yet.
class OpenQuestionUi : public ScriptedUserInterface {
 public:
  class Question : public orb::ui::IMessageBoxThread {
   public:
    explicit Question(OpenQuestionUi* ui) : ui_(ui) {}
    bool Show(const orb::ui::MessageBoxSpec&) override {
      if (open_) return false;
      open_ = true;
      ++ui_->shown;
      return true;
    }
    int GetResult() const override { return orb::ui::kButtonNone; }
    void Close() override {
      if (open_) ++ui_->closed;
      open_ = false;
    }

   private:
    OpenQuestionUi* ui_;
    bool open_ = false;
  };
  std::unique_ptr<orb::ui::IMessageBoxThread> CreateMessageBoxThread() override {
    return std::make_unique<Question>(this);
  }
  int shown = 0;
  int closed = 0;
};

TEST_F(ProgressDialogTest, FurtherCancelsWhileAskingDoNothingAndDestroyClosesTheQuestion) {
  OpenQuestionUi ui;
  FakeClock clock;
  {
    CDownloadProgressDialog dialog(ui, clock);
    ASSERT_EQ(dialog.Create(), S_OK);
    dialog.OnCancelRequested();
    dialog.OnCancelRequested();
    EXPECT_EQ(ui.shown, 1);
    EXPECT_FALSE(dialog.IsCancelled());
    dialog.DestroyWindow();
    EXPECT_EQ(ui.closed, 1);
  }
}

}  // namespace
