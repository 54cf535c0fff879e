#include "ui/scripted_user_interface.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using orb::ui::Buttons;
using orb::ui::MessageBoxSpec;
using orb::ui::ScriptedUserInterface;

MessageBoxSpec Box(Buttons buttons, bool secondIsDefault = false) {
  MessageBoxSpec box;
  box.caption = L"C";
  box.text = L"T";
  box.buttons = buttons;
  box.secondIsDefault = secondIsDefault;
  return box;
}

TEST(ScriptedUserInterfaceTest, ParsesCommaSeparatedAnswers) {
  EXPECT_EQ(ScriptedUserInterface::ParseAnswers(" retry, cancel,,yes "),
            (std::vector<std::string>{"retry", "cancel", "yes"}));
  EXPECT_TRUE(ScriptedUserInterface::ParseAnswers("").empty());
}

TEST(ScriptedUserInterfaceTest, AnswersInOrderAndFallsBackToTheSafeButton) {
  struct Case {
    const char* what;
    std::vector<std::string> answers;
    Buttons buttons;
    int want;
    const char* lineEnd;
    std::size_t left;
  } cases[] = {
      {"retry taken", {"retry"}, Buttons::kRetryCancel, orb::ui::kButtonRetry, "-> retry", 0},
      {"cancel taken", {"cancel"}, Buttons::kRetryCancel, orb::ui::kButtonCancel, "-> cancel", 0},
      {"yes taken", {"yes", "no"}, Buttons::kYesNo, orb::ui::kButtonYes, "-> yes", 1},
      {"none left: Cancel", {}, Buttons::kRetryCancel, orb::ui::kButtonCancel, "-> cancel (no answer left)", 0},
      {"none left: No", {}, Buttons::kYesNo, orb::ui::kButtonNo, "-> no (no answer left)", 0},
      {"unfit answer stays", {"yes"}, Buttons::kRetryCancel, orb::ui::kButtonCancel,
       "-> cancel (answer \"yes\" does not fit)", 1},
      {"progress token stays", {"press-cancel"}, Buttons::kYesNo, orb::ui::kButtonNo,
       "-> no (answer \"press-cancel\" does not fit)", 1},
      {"OK needs no answer", {}, Buttons::kOk, orb::ui::kButtonOk, "-> ok", 0},
      {"OK takes an ok", {"ok", "retry"}, Buttons::kOk, orb::ui::kButtonOk, "-> ok", 1},
      {"OK leaves other answers", {"retry"}, Buttons::kOk, orb::ui::kButtonOk, "-> ok", 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ScriptedUserInterface ui(c.answers);
    EXPECT_EQ(ui.ShowMessageBox(Box(c.buttons)), c.want);
    const std::string line = ui.Lines().at(0);
    EXPECT_EQ(line.substr(line.size() - std::string(c.lineEnd).size()), c.lineEnd);
    EXPECT_EQ(ui.AnswersLeft(), c.left);
  }
}

TEST(ScriptedUserInterfaceTest, LineNamesEveryPartOfTheBox) {
  std::vector<std::string> sunk;
  ScriptedUserInterface ui({"retry"}, [&sunk](const std::string& line) { sunk.push_back(line); });
  MessageBoxSpec box = Box(Buttons::kRetryCancel);
  box.caption = L"Orbiton\u00aeNetwork Downloader";
  box.text = L"Line \"one\"\r\nC:\\path\t";
  box.icon = orb::ui::Icon::kWarning;
  ui.ShowMessageBox(box);
  const std::string want =
      "[UI] message caption=\"Orbiton\xC2\xAENetwork Downloader\" text=\"Line \\\"one\\\"\\r\\nC:\\\\path\\x09\" "
      "icon=warning buttons=retry-cancel default=retry owner=none -> retry";
  ASSERT_EQ(sunk.size(), 1u);
  EXPECT_EQ(sunk[0], want);
  EXPECT_EQ(ui.Lines(), sunk);
}

TEST(ScriptedUserInterfaceTest, LinkAndVersionLines) {
  ScriptedUserInterface ui;
  ui.ShowUrlMessage(L"A later version is available.", L"http://www.vora.example/orbdl/");
  EXPECT_EQ(ui.Lines().at(0),
            "[UI] link caption=\"Orbiton\xC2\xAENetwork Downloader\" text=\"A later version is available.\" "
            "url=\"http://www.vora.example/orbdl/\" -> ok");

  struct Dialog : orb::ui::IMainDialog {
    bool show;
    bool haveVersion;
    bool OnInitDialog(orb::ui::MainDialogTexts* texts) override {
      texts->caption = L"Cap";
      texts->haveVersion = haveVersion;
      texts->productLine = L"Cap 2.5.0.1024";
      texts->copyright = L"(c)";
      return show;
    }
  };
  Dialog shown;
  shown.show = true;
  shown.haveVersion = true;
  ui.RunMainDialog(&shown);
  EXPECT_EQ(ui.Lines().at(1), "[UI] version caption=\"Cap\" product=\"Cap 2.5.0.1024\" copyright=\"(c)\" -> ok");
  Dialog unknown;
  unknown.show = true;
  unknown.haveVersion = false;
  ui.RunMainDialog(&unknown);
  EXPECT_EQ(ui.Lines().at(2), "[UI] version caption=\"Cap\" -> ok");
  Dialog hidden;
  hidden.show = false;
  hidden.haveVersion = true;
  ui.RunMainDialog(&hidden);
  EXPECT_EQ(ui.Lines().at(3), "[UI] version-hidden");
}

}  // namespace
