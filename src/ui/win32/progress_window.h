// progress_window.h - the progress dialog's window (template 131).
#pragma once

#include "platform/win32/windows_api.h"
#include "ui/user_interface.h"

namespace orb::ui {

class ProgressWindow : public IProgressWindow {
 public:
  virtual HWND Handle() const = 0;
};

}  // namespace orb::ui
