// The terminal user interface, run in a child process on a pseudo-terminal
// (answers typed, Ctrl+C pressed) and without any terminal.
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <string>

#include "support/child_process.h"

namespace {

class PtyChild {
 public:
  explicit PtyChild(const char* mode) {
    pid_ = forkpty(&master_, nullptr, nullptr, nullptr);
    if (pid_ == 0) {
      execl(TERMINAL_UI_PROBE, TERMINAL_UI_PROBE, mode, static_cast<char*>(nullptr));
      _exit(127);
    }
  }
  ~PtyChild() {
    if (pid_ > 0) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
    if (master_ >= 0) close(master_);
  }
  bool started() const { return pid_ > 0; }

  // Reads until `text` has appeared (true) or 20 s passed.
  bool WaitFor(const std::string& text) {
    for (int waited = 0; waited < 20000 && output_.find(text, consumed_) == std::string::npos; waited += 50) {
      pollfd fd{master_, POLLIN, 0};
      if (poll(&fd, 1, 50) > 0) {
        char buffer[1024];
        const ssize_t got = read(master_, buffer, sizeof buffer);
        if (got <= 0) break;
        output_.append(buffer, static_cast<std::size_t>(got));
      }
    }
    const std::size_t at = output_.find(text, consumed_);
    if (at == std::string::npos) return false;
    consumed_ = at + text.size();
    return true;
  }
  void Type(const std::string& keys) { ASSERT_EQ(write(master_, keys.data(), keys.size()), static_cast<ssize_t>(keys.size())); }
  const std::string& output() const { return output_; }

 private:
  pid_t pid_ = -1;
  int master_ = -1;
  std::string output_;
  std::size_t consumed_ = 0;
};

TEST(TerminalUserInterfaceTest, QuestionsAreAskedOnTheTerminal) {
  PtyChild child("questions");
  ASSERT_TRUE(child.started());
  ASSERT_TRUE(child.WaitFor("[R]etry / [C]ancel (Enter: [R]etry)? ")) << child.output();
  child.Type("maybe\n");  // not an answer: asked again
  ASSERT_TRUE(child.WaitFor("[R]etry / [C]ancel (Enter: [R]etry)? ")) << child.output();
  child.Type("c\n");
  ASSERT_TRUE(child.WaitFor("answer 2")) << child.output();
  ASSERT_TRUE(child.WaitFor("[Y]es / [N]o (Enter: [N]o)? ")) << child.output();
  child.Type("\n");  // Enter: the default button
  EXPECT_TRUE(child.WaitFor("answer 7")) << child.output();
}

TEST(TerminalUserInterfaceTest, CtrlCDuringProgressAsksTheCancelQuestion) {
  PtyChild child("progress");
  ASSERT_TRUE(child.started());
  ASSERT_TRUE(child.WaitFor("Clip")) << child.output();
  ASSERT_TRUE(child.WaitFor("977 KB")) << child.output();
  child.Type("\x03");  // Ctrl+C: the terminal sends SIGINT
  ASSERT_TRUE(child.WaitFor("Do you want to cancel the download operation?")) << child.output();
  ASSERT_TRUE(child.WaitFor("(Enter: [N]o)? ")) << child.output();
  child.Type("y\n");
  EXPECT_TRUE(child.WaitFor("cancelled")) << child.output();
}

TEST(TerminalUserInterfaceTest, WithoutATerminalQuestionsTakeTheSafeAnswer) {
  const auto result = orb::test::RunChild(TERMINAL_UI_PROBE, {"questions"});
  ASSERT_TRUE(result.started);
  EXPECT_NE(result.output.find("(no terminal to ask: answering Cancel)"), std::string::npos) << result.output;
  EXPECT_NE(result.output.find("answer 2"), std::string::npos);
  EXPECT_NE(result.output.find("(no terminal to ask: answering No)"), std::string::npos);
  EXPECT_NE(result.output.find("answer 7"), std::string::npos);
}

}  // namespace
