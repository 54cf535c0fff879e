// dialog.h - the small dialog framework of the Windows user interface:
// modal and modeless dialogs from resource templates, with virtual handlers
// in place of a window procedure.
#pragma once

#include <string>

#include "platform/win32/windows_api.h"

namespace orb::ui::win32 {

class Dialog {
 public:
  Dialog() = default;
  virtual ~Dialog();
  Dialog(const Dialog&) = delete;
  Dialog& operator=(const Dialog&) = delete;

  // Runs the template modally; the value given to EndDialog, or -1.
  INT_PTR DoModal(int templateId, HWND parent = nullptr);
  // Creates the template as a modeless window; false on failure.
  bool Create(int templateId, HWND parent = nullptr);
  void Destroy();

  HWND Handle() const { return hwnd_; }
  void SetItemText(int id, const std::wstring& text) const;
  std::wstring GetItemText(int id) const;
  void SetCaption(const std::wstring& text) const;
  void CenterOnScreen() const;
  // The program icon (resource 128) as large and small window icon.
  void SetProgramIcon() const;

 protected:
  // Return TRUE to let the system set the focus.
  virtual BOOL OnInitDialog() { return TRUE; }
  // A command from a control or key (IDOK: Enter, IDCANCEL: Esc or close).
  virtual void OnCommand(int id, int code);
  // A notification; return TRUE when handled.
  virtual BOOL OnNotify(NMHDR* /*header*/) { return FALSE; }
  // Any other message; return TRUE when handled.
  virtual BOOL OnMessage(UINT /*message*/, WPARAM /*wParam*/, LPARAM /*lParam*/) { return FALSE; }
  void EndDialog(INT_PTR result);

 private:
  static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

  HWND hwnd_ = nullptr;
  bool modal_ = false;
};

}  // namespace orb::ui::win32
