// dialog.cpp
#include "ui/win32/dialog.h"

#include <vector>

#include "ui/resource_ids.h"

namespace orb::ui::win32 {

Dialog::~Dialog() { Destroy(); }

INT_PTR Dialog::DoModal(int templateId, HWND parent) {
  modal_ = true;
  const INT_PTR result = DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(templateId), parent,
                                         &Dialog::DialogProc, reinterpret_cast<LPARAM>(this));
  hwnd_ = nullptr;
  return result;
}

bool Dialog::Create(int templateId, HWND parent) {
  modal_ = false;
  return CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(templateId), parent, &Dialog::DialogProc,
                            reinterpret_cast<LPARAM>(this)) != nullptr;
}

void Dialog::Destroy() {
  if (hwnd_ != nullptr && !modal_) {
    const HWND hwnd = hwnd_;
    hwnd_ = nullptr;
    SetWindowLongPtrW(hwnd, DWLP_USER, 0);
    DestroyWindow(hwnd);
  }
}

void Dialog::SetItemText(int id, const std::wstring& text) const { SetDlgItemTextW(hwnd_, id, text.c_str()); }

std::wstring Dialog::GetItemText(int id) const {
  const HWND item = GetDlgItem(hwnd_, id);
  if (item == nullptr) return std::wstring();
  std::vector<wchar_t> text(static_cast<std::size_t>(GetWindowTextLengthW(item)) + 1);
  GetWindowTextW(item, text.data(), static_cast<int>(text.size()));
  return text.data();
}

void Dialog::SetCaption(const std::wstring& text) const { SetWindowTextW(hwnd_, text.c_str()); }

void Dialog::CenterOnScreen() const {
  RECT window{};
  GetWindowRect(hwnd_, &window);
  const int width = window.right - window.left;
  const int height = window.bottom - window.top;
  RECT work{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  SetWindowPos(hwnd_, nullptr, work.left + (work.right - work.left - width) / 2,
               work.top + (work.bottom - work.top - height) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Dialog::SetProgramIcon() const {
  const HINSTANCE module = GetModuleHandleW(nullptr);
  const auto big = static_cast<HICON>(LoadImageW(module, MAKEINTRESOURCEW(IDR_MAINFRAME), IMAGE_ICON,
                                                 GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), 0));
  const auto smallIcon = static_cast<HICON>(LoadImageW(module, MAKEINTRESOURCEW(IDR_MAINFRAME), IMAGE_ICON,
                                                   GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
  if (big != nullptr) SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
  if (smallIcon != nullptr) SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon));
}

void Dialog::OnCommand(int id, int /*code*/) {
  if (id == IDOK || id == IDCANCEL) EndDialog(id);
}

void Dialog::EndDialog(INT_PTR result) {
  if (modal_) {
    ::EndDialog(hwnd_, result);
  } else {
    Destroy();
  }
}

INT_PTR CALLBACK Dialog::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    auto* self = reinterpret_cast<Dialog*>(lParam);
    SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
    self->hwnd_ = hwnd;
    return self->OnInitDialog();
  }
  auto* self = reinterpret_cast<Dialog*>(GetWindowLongPtrW(hwnd, DWLP_USER));
  if (self == nullptr) return FALSE;
  switch (message) {
    case WM_COMMAND:
      self->OnCommand(LOWORD(wParam), HIWORD(wParam));
      return TRUE;
    case WM_NOTIFY: {
      const BOOL handled = self->OnNotify(reinterpret_cast<NMHDR*>(lParam));
      if (handled) SetWindowLongPtrW(hwnd, DWLP_MSGRESULT, 1);
      return handled;
    }
    default:
      return self->OnMessage(message, wParam, lParam);
  }
}

}  // namespace orb::ui::win32
