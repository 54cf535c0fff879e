// create_user_interface.cpp - the choice between the scripted interface and
// the platform's own.
#include "ui/create_user_interface.h"

#include <string>

#include "base/wide_text.h"
#include "platform/process.h"
#include "platform/text_file.h"
#include "ui/scripted_user_interface.h"

namespace orb::ui {

std::unique_ptr<IUserInterface> CreateUserInterface() {
  std::wstring target;
  if (!platform::ReadEnvironmentVariable(kScriptVariable, &target) || target.empty()) {
    return CreateNativeUserInterface();
  }
  std::wstring answers;
  platform::ReadEnvironmentVariable(kAnswersVariable, &answers);
  ScriptedUserInterface::Sink sink;
  if (target == L"-") {
    sink = [](const std::string& line) { platform::WriteStdout(line + "\n"); };
  } else {
    // Opened per line, so that lines of a process that dies are kept and
    // several processes can share one file.
    sink = [target](const std::string& line) { platform::AppendToFile(target, line + "\n"); };
  }
  return std::make_unique<ScriptedUserInterface>(ScriptedUserInterface::ParseAnswers(WideToUtf8(answers)),
                                                 std::move(sink));
}

}  // namespace orb::ui
