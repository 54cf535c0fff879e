// win32_user_interface.cpp - the user interface of real Windows dialogs.
#include <memory>

#include "platform/win32/windows_api.h"
#include "ui/create_user_interface.h"
#include "ui/string_table.h"
#include "ui/win32/message_box_thread.h"

namespace orb::ui {
namespace {

class Win32UserInterface : public IUserInterface {
 public:
  int ShowMessageBox(const MessageBoxSpec& box) override {
    return MessageBoxW(MessageBoxOwner(box), box.text.c_str(), box.caption.c_str(), MessageBoxStyle(box));
  }
  void ShowUrlMessage(const std::wstring& message, const std::wstring& url) override {
    const std::wstring text = message + L"\r\n\r\n" + url;
    MessageBoxW(nullptr, text.c_str(), LoadString(IDS_PRODUCT_NAME).c_str(), MB_OK | MB_SETFOREGROUND);
  }
  std::unique_ptr<IProgressWindow> CreateProgressWindow(IProgressEvents* /*events*/) override { return nullptr; }
  std::unique_ptr<IMessageBoxThread> CreateMessageBoxThread() override {
    return std::make_unique<CMessageBoxThread>();
  }
  void RunMainDialog(IMainDialog* dialog) override {
    MainDialogTexts texts;
    if (!dialog->OnInitDialog(&texts)) return;
    const std::wstring text = texts.productLine + L"\r\n" + texts.copyright;
    MessageBoxW(nullptr, text.c_str(), texts.caption.c_str(), MB_OK);
  }
};

}  // namespace

std::unique_ptr<IUserInterface> CreateNativeUserInterface() { return std::make_unique<Win32UserInterface>(); }

}  // namespace orb::ui
