// win32_user_interface.cpp - the user interface of real Windows dialogs,
// built from the program's resource templates.
#include <memory>
#include <string>

#include "platform/win32/windows_api.h"
#include <commctrl.h>
#include <richedit.h>
#include <shellapi.h>

#include "ui/create_user_interface.h"
#include "ui/resource_ids.h"
#include "ui/string_table.h"
#include "ui/win32/dialog.h"
#include "ui/win32/message_box_thread.h"
#include "ui/win32/progress_window.h"

namespace orb::ui {
namespace {

using win32::Dialog;

// The progress dialog (template 131): modeless, without parent. Cancel,
// Enter, Esc and the close box only report the wish to cancel.
class Win32ProgressWindow : public ProgressWindow, private Dialog {
 public:
  explicit Win32ProgressWindow(IProgressEvents* events) : events_(events) {}
  bool Open() {
    if (!Dialog::Create(IDD_PROGRESS)) return false;
    ShowWindow(Dialog::Handle(), SW_SHOW);
    UpdateWindow(Dialog::Handle());
    return true;
  }

  HWND Handle() const override { return Dialog::Handle(); }
  void SetItemText(int controlId, const std::wstring& text) override { Dialog::SetItemText(controlId, text); }
  std::wstring GetItemText(int controlId) const override { return Dialog::GetItemText(controlId); }
  void SetCaption(const std::wstring& text) override { Dialog::SetCaption(text); }
  void SetProgressRange(std::uint32_t upper) override {
    SendDlgItemMessageW(Dialog::Handle(), IDC_PROGRESS_BAR, PBM_SETRANGE32, 0, static_cast<LPARAM>(upper));
  }
  void SetProgressPosition(std::uint32_t position) override {
    SendDlgItemMessageW(Dialog::Handle(), IDC_PROGRESS_BAR, PBM_SETPOS, static_cast<WPARAM>(position), 0);
  }
  void PumpMessages() override {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
      if (!GetMessageW(&msg, nullptr, 0, 0)) {
        // Leave the quit message for the loop that owns it.
        PostQuitMessage(static_cast<int>(msg.wParam));
        return;
      }
      if (Dialog::Handle() == nullptr || !IsDialogMessageW(Dialog::Handle(), &msg)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
      }
    }
  }

 private:
  BOOL OnInitDialog() override {
    SetProgramIcon();
    CenterOnScreen();
    return TRUE;
  }
  void OnCommand(int id, int /*code*/) override {
    if ((id == IDCANCEL || id == IDOK) && events_ != nullptr) events_->OnCancelRequested();
  }

  IProgressEvents* events_;
};

// The link notice (template 132).
class UrlMessageWindow : private Dialog {
 public:
  UrlMessageWindow(std::wstring message, std::wstring url)
      : message_(std::move(message)), url_(std::move(url)), richEdit_(LoadLibraryW(L"riched20.dll")) {}
  ~UrlMessageWindow() override {
    if (richEdit_ != nullptr) FreeLibrary(richEdit_);
  }
  void Run() { DoModal(IDD_URL_MESSAGE); }

 private:
  static constexpr int kMargin = 14;
  static constexpr int kTop = 10;
  static constexpr int kMinWidth = 222;

  SIZE Measure(HWND control, const std::wstring& text, UINT format, int wrapWidth = 0) const {
    RECT r{0, 0, wrapWidth, 0};
    const HDC dc = GetDC(control);
    const auto font = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
    const HGDIOBJ old = SelectObject(dc, font);
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, format | DT_CALCRECT | DT_NOPREFIX);
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    return SIZE{r.right - r.left, r.bottom - r.top};
  }

  BOOL OnInitDialog() override {
    const HWND link = GetDlgItem(Handle(), IDC_LINK);
    const HWND text = GetDlgItem(Handle(), IDC_MESSAGE);
    const HWND ok = GetDlgItem(Handle(), IDOK);
    SendMessageW(link, EM_SETBKGNDCOLOR, 0, static_cast<LPARAM>(GetSysColor(COLOR_BTNFACE)));
    SendMessageW(link, EM_AUTOURLDETECT, TRUE, 0);
    SendMessageW(link, EM_SETEVENTMASK, 0, SendMessageW(link, EM_GETEVENTMASK, 0, 0) | ENM_LINK);
    SetWindowTextW(link, url_.c_str());
    SetItemText(IDC_MESSAGE, message_);
    SetCaption(LoadString(IDS_PRODUCT_NAME));
    SetItemText(IDOK, LoadString(IDS_OK));

    // Message: sized to its text, broken only at its own line breaks.
    const SIZE measured = Measure(text, message_, 0);
    const int messageWidth = measured.cx < kMinWidth ? kMinWidth : measured.cx;
    const int messageHeight = measured.cy;
    MoveWindow(text, kMargin, kTop, messageWidth, messageHeight, FALSE);

    // Link: on one line when it fits beside the message width, else wrapped
    // to the message width.
    RECT linkRect{};
    GetWindowRect(link, &linkRect);
    const int templateWidth = linkRect.right - linkRect.left;
    int linkHeight = linkRect.bottom - linkRect.top;
    const int urlWidth = Measure(link, url_, DT_SINGLELINE).cx;
    const std::wstring longer = url_.empty() ? L"W" : url_ + url_.back();
    const int oneMore = Measure(link, longer, DT_SINGLELINE).cx - urlWidth;
    int linkWidth;
    if (templateWidth + oneMore < messageWidth) {
      linkWidth = urlWidth + oneMore;
    } else {
      linkWidth = messageWidth;
      // The wrapped text's height and the edit's few pixels of inner margin.
      linkHeight = Measure(link, url_, DT_WORDBREAK | DT_EDITCONTROL, messageWidth).cy + 4;
    }
    if (linkWidth < kMinWidth) linkWidth = kMinWidth;
    MoveWindow(link, kMargin, kTop + messageHeight, linkWidth, linkHeight, FALSE);

    RECT okRect{};
    GetWindowRect(ok, &okRect);
    const int okWidth = okRect.right - okRect.left;
    const int okHeight = okRect.bottom - okRect.top;
    const int okY = messageHeight + linkHeight + 20;
    MoveWindow(ok, (messageWidth - okWidth + 28) / 2, okY, okWidth, okHeight, FALSE);

    RECT client{0, 0, messageWidth + 28, okY + okHeight + 20};
    AdjustWindowRectEx(&client, static_cast<DWORD>(GetWindowLongPtrW(Handle(), GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrW(Handle(), GWL_EXSTYLE)));
    SetWindowPos(Handle(), nullptr, 0, 0, client.right - client.left, client.bottom - client.top,
                 SWP_NOMOVE | SWP_NOZORDER);
    CenterOnScreen();
    SetForegroundWindow(Handle());
    return TRUE;
  }

  BOOL OnNotify(NMHDR* header) override {
    if (header->idFrom != IDC_LINK || header->code != EN_LINK) return FALSE;
    const auto* link = reinterpret_cast<const ENLINK*>(header);
    if (link->msg != WM_LBUTTONDOWN) return FALSE;
    const HCURSOR previous = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    CHARRANGE range = link->chrg;
    SendMessageW(header->hwndFrom, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
    std::wstring selected(static_cast<std::size_t>(range.cpMax > range.cpMin ? range.cpMax - range.cpMin : 0) + 1,
                          L'\0');
    const LRESULT got = SendMessageW(header->hwndFrom, EM_GETSELTEXT, 0, reinterpret_cast<LPARAM>(selected.data()));
    selected.resize(static_cast<std::size_t>(got));
    // A link the shell cannot open is ignored.
    ShellExecuteW(nullptr, L"open", selected.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    SetActiveWindow(Handle());
    SetCursor(previous);
    return TRUE;
  }

  std::wstring message_;
  std::wstring url_;
  HMODULE richEdit_;
};

// The main dialog (template 102).
class MainDialogWindow : private Dialog {
 public:
  explicit MainDialogWindow(IMainDialog* logic) : logic_(logic) {}
  void Run() { DoModal(IDD_ORBDL_DIALOG); }

 private:
  BOOL OnInitDialog() override {
    SetProgramIcon();
    MainDialogTexts texts;
    if (!logic_->OnInitDialog(&texts)) {
      EndDialog(IDOK);  // ends before it is ever shown
      return TRUE;
    }
    if (texts.haveVersion) {
      SetItemText(IDC_PRODUCT_NAME, texts.productLine);
      SetItemText(IDC_COPYRIGHT, texts.copyright);
    }
    SetCaption(texts.caption);
    CenterOnScreen();
    return TRUE;
  }
  BOOL OnMessage(UINT message, WPARAM, LPARAM) override {
    if (message == WM_QUERYDRAGICON) {
      SetWindowLongPtrW(Handle(), DWLP_MSGRESULT,
                        reinterpret_cast<LONG_PTR>(LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME))));
      return TRUE;
    }
    return FALSE;
  }

  IMainDialog* logic_;
};

class Win32UserInterface : public IUserInterface {
 public:
  Win32UserInterface() {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
  }
  int ShowMessageBox(const MessageBoxSpec& box) override {
    return MessageBoxW(MessageBoxOwner(box), box.text.c_str(), box.caption.c_str(), MessageBoxStyle(box));
  }
  void ShowUrlMessage(const std::wstring& message, const std::wstring& url) override {
    UrlMessageWindow(message, url).Run();
  }
  std::unique_ptr<IProgressWindow> CreateProgressWindow(IProgressEvents* events) override {
    auto window = std::make_unique<Win32ProgressWindow>(events);
    if (!window->Open()) return nullptr;
    return window;
  }
  std::unique_ptr<IMessageBoxThread> CreateMessageBoxThread() override {
    return std::make_unique<CMessageBoxThread>();
  }
  void RunMainDialog(IMainDialog* dialog) override { MainDialogWindow(dialog).Run(); }
};

}  // namespace

std::unique_ptr<IUserInterface> CreateNativeUserInterface() { return std::make_unique<Win32UserInterface>(); }

}  // namespace orb::ui

// The dialog logic names the progress controls without the resource header.
static_assert(orb::ui::kProgressStatus == IDC_STATUS_TEXT && orb::ui::kProgressTitle == IDC_TITLE_TEXT &&
                  orb::ui::kProgressSize == IDC_SIZE_TEXT && orb::ui::kProgressPercent == IDC_PERCENT_TEXT &&
                  orb::ui::kProgressBar == IDC_PROGRESS_BAR,
              "control ids of template 131");
