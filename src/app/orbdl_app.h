// orbdl_app.h - the application object of orbdl.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "ui/user_interface.h"

class COrbdlApp {
 public:
  // `arguments`: the process's arguments, the program name first.
  explicit COrbdlApp(std::vector<std::wstring> arguments) : arguments_(std::move(arguments)) {}

  // Runs the main dialog with the given user interface (or the process's
  // own when null). Always false: the process ends when the dialog ends.
  bool InitInstance(orb::ui::IUserInterface* ui = nullptr);

 private:
  std::vector<std::wstring> arguments_;
};
