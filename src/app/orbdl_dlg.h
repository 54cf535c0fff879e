// orbdl_dlg.h - the main dialog of orbdl (template 102): with a control
// file on the command line it runs that file and ends unseen; without one
// it shows the product name, version and copyright.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/status.h"
#include "ui/user_interface.h"

class COrbdlDlg : public orb::ui::IMainDialog {
 public:
  // `arguments`: the process's arguments, the program name first.
  COrbdlDlg(orb::ui::IUserInterface& ui, std::vector<std::wstring> arguments);

  bool OnInitDialog(orb::ui::MainDialogTexts* texts) override;
  // Reads the program's own version; false when unreadable.
  bool ReadVersionInfo();
  // Runs one control file; the failure code (0 on success), which the
  // program does not use further.
  HRESULT RunControlFile(const wchar_t* path);

  const std::int32_t* Version() const { return version_; }
  const std::wstring& Copyright() const { return copyright_; }

 private:
  orb::ui::IUserInterface& ui_;
  std::vector<std::wstring> arguments_;
  std::wstring copyright_;
  std::int32_t version_[4] = {0, 0, 0, 0};
};
