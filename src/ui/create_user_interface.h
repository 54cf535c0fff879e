// create_user_interface.h - the user interface of this process.
#pragma once

#include <memory>

#include "ui/user_interface.h"

namespace orb::ui {

// Environment variables of the scripted user interface (see README):
//   ORBDL_UI_SCRIPT   selects it: "-" writes its lines to standard output,
//                     anything else names a file that they are appended to;
//   ORBDL_UI_ANSWERS  the answers, comma-separated, in the order asked.
constexpr const wchar_t* kScriptVariable = L"ORBDL_UI_SCRIPT";
constexpr const wchar_t* kAnswersVariable = L"ORBDL_UI_ANSWERS";

// The scripted interface when ORBDL_UI_SCRIPT is set, else the platform's
// own (Win32 dialogs, or the terminal).
std::unique_ptr<IUserInterface> CreateUserInterface();

// The platform's own interface.
std::unique_ptr<IUserInterface> CreateNativeUserInterface();

}  // namespace orb::ui
