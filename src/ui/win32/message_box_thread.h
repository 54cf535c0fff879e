// message_box_thread.h - a Windows message box on a thread of its own (the
// cancel question of the progress dialog).
#pragma once

#include <atomic>
#include <string>

#include "platform/win32/windows_api.h"
#include "ui/user_interface.h"

namespace orb::ui {

// MB_... style of a box, and the window that owns it (null: none).
UINT MessageBoxStyle(const MessageBoxSpec& box);
HWND MessageBoxOwner(const MessageBoxSpec& box);

}  // namespace orb::ui

class CMessageBoxThread : public orb::ui::IMessageBoxThread {
 public:
  CMessageBoxThread() = default;
  ~CMessageBoxThread() override;
  CMessageBoxThread(const CMessageBoxThread&) = delete;
  CMessageBoxThread& operator=(const CMessageBoxThread&) = delete;

  // False for a null text or while a box is open; joins a finished one.
  bool Show(HWND owner, const wchar_t* text, const wchar_t* caption, UINT style);

  bool Show(const orb::ui::MessageBoxSpec& box) override;
  int GetResult() const override { return result_.load(); }
  void Close() override;

 private:
  static unsigned __stdcall ThreadMain(void* self);

  HANDLE thread_ = nullptr;
  unsigned threadId_ = 0;
  std::atomic<int> result_{0};
  std::atomic<bool> running_{false};
  HWND owner_ = nullptr;
  std::wstring text_;
  std::wstring caption_;
  UINT style_ = 0;
};
