// url_message_dialog.h - the modal notice with a clickable web link, used
// for the release-version notices.
#pragma once

#include <string>

#include "ui/user_interface.h"

class CUrlMessageDialog {
 public:
  explicit CUrlMessageDialog(orb::ui::IUserInterface& ui) : ui_(ui) {}

  void SetMessage(const std::wstring& text) { message_ = text; }
  void SetUrl(const std::wstring& text) { url_ = text; }
  // Shows the notice until OK; always returns kButtonOk.
  int DoModal() {
    ui_.ShowUrlMessage(message_, url_);
    return orb::ui::kButtonOk;
  }

 private:
  orb::ui::IUserInterface& ui_;
  std::wstring message_;
  std::wstring url_;
};
