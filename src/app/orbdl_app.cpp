// orbdl_app.cpp
#include "app/orbdl_app.h"

#include <memory>

#include "app/orbdl_dlg.h"
#include "platform/process.h"
#include "ui/create_user_interface.h"

bool COrbdlApp::InitInstance(orb::ui::IUserInterface* ui) {
  orb::platform::WriteStdout("[ORBDL][COrbdlApp.InitInstance()]:Called\n");
  std::unique_ptr<orb::ui::IUserInterface> own;
  if (ui == nullptr) {
    own = orb::ui::CreateUserInterface();
    ui = own.get();
  }
  COrbdlDlg dialog(*ui, arguments_);
  ui->RunMainDialog(&dialog);
  return false;
}
