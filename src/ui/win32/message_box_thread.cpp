// message_box_thread.cpp
#include "ui/win32/message_box_thread.h"

#include <process.h>

#include "ui/win32/progress_window.h"

namespace orb::ui {

UINT MessageBoxStyle(const MessageBoxSpec& box) {
  UINT style = MB_SETFOREGROUND;
  switch (box.buttons) {
    case Buttons::kRetryCancel: style |= MB_RETRYCANCEL; break;
    case Buttons::kYesNo: style |= MB_YESNO; break;
    default: style |= MB_OK; break;
  }
  switch (box.icon) {
    case Icon::kInformation: style |= MB_ICONINFORMATION; break;
    case Icon::kWarning: style |= MB_ICONWARNING; break;
    default: break;
  }
  if (box.secondIsDefault) style |= MB_DEFBUTTON2;
  return style;
}

HWND MessageBoxOwner(const MessageBoxSpec& box) {
  const auto* window = dynamic_cast<const ProgressWindow*>(box.owner);
  return window != nullptr ? window->Handle() : nullptr;
}

}  // namespace orb::ui

CMessageBoxThread::~CMessageBoxThread() { Close(); }

bool CMessageBoxThread::Show(HWND owner, const wchar_t* text, const wchar_t* caption, UINT style) {
  if (text == nullptr || running_.load()) return false;
  if (thread_ != nullptr) {
    WaitForSingleObject(thread_, INFINITE);
    CloseHandle(thread_);
    thread_ = nullptr;
  }
  owner_ = owner;
  text_ = text;
  caption_ = caption != nullptr ? caption : L"";
  style_ = style;
  result_.store(0);
  running_.store(true);
  thread_ = reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, &CMessageBoxThread::ThreadMain, this, 0, &threadId_));
  if (thread_ == nullptr) {
    running_.store(false);
    return false;
  }
  return true;
}

bool CMessageBoxThread::Show(const orb::ui::MessageBoxSpec& box) {
  return Show(orb::ui::MessageBoxOwner(box), box.text.c_str(), box.caption.c_str(), orb::ui::MessageBoxStyle(box));
}

void CMessageBoxThread::Close() {
  if (thread_ != nullptr) {
    // The quit message ends the box's own message loop.
    do {
      PostThreadMessageW(threadId_, WM_QUIT, 0, 0);
    } while (WaitForSingleObject(thread_, 100) == WAIT_TIMEOUT);
    CloseHandle(thread_);
    thread_ = nullptr;
  }
  result_.store(0);
  threadId_ = 0;
  running_.store(false);
}

unsigned __stdcall CMessageBoxThread::ThreadMain(void* self) {
  auto* me = static_cast<CMessageBoxThread*>(self);
  const int button = MessageBoxW(me->owner_, me->text_.c_str(), me->caption_.c_str(), me->style_);
  me->result_.store(button);
  me->running_.store(false);
  return 0;
}
