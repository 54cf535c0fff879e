// dialog_probe.cpp - shows one of the program's real dialogs, reads its
// caption and control texts back through the window system, checks them,
// and captures the dialog from the screen into a BMP file.
//
//   dialog_probe version|progress|link|longlink LOG BMP
//
// LOG gets one "CHECK ok|FAIL ..." line per check and a last line
// "PROBE PASS <mode>" or "PROBE FAIL <mode>" (the harness needs the pass
// line: under Wine a GUI program's exit code proves nothing).
#include "platform/win32/windows_api.h"
#include <commctrl.h>

#include <cstdio>
#include <fstream>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "app/orbdl_dlg.h"
#include "base/product_version.h"
#include "base/wide_text.h"
#include "ui/create_user_interface.h"
#include "ui/download_progress_dialog.h"
#include "ui/resource_ids.h"
#include "ui/string_table.h"

namespace {

using orb::ui::LoadString;

std::vector<std::string> g_log;
bool g_failed = false;

void Check(const std::string& what, const std::wstring& got, const std::wstring& want) {
  if (got == want) {
    g_log.push_back("CHECK ok " + what + " = \"" + orb::WideToUtf8(got) + "\"");
  } else {
    g_failed = true;
    g_log.push_back("CHECK FAIL " + what + ": got \"" + orb::WideToUtf8(got) + "\", want \"" +
                    orb::WideToUtf8(want) + "\"");
  }
}

void CheckTrue(const std::string& what, bool ok) {
  if (!ok) g_failed = true;
  g_log.push_back(std::string("CHECK ") + (ok ? "ok " : "FAIL ") + what);
}

std::wstring WindowText(HWND hwnd) {
  wchar_t text[2048] = {};
  GetWindowTextW(hwnd, text, 2048);
  return text;
}

std::wstring ItemText(HWND dialog, int id) { return WindowText(GetDlgItem(dialog, id)); }

// Lets the window paint, then copies its screen area (frame included).
void Capture(HWND hwnd, const std::string& path) {
  RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME);
  RECT r{};
  GetWindowRect(hwnd, &r);
  const int width = r.right - r.left;
  const int height = r.bottom - r.top;
  const HDC screen = GetDC(nullptr);
  const HDC memory = CreateCompatibleDC(screen);
  const HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  const HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
  SelectObject(memory, old);
  BITMAPINFOHEADER info{};
  info.biSize = sizeof info;
  info.biWidth = width;
  info.biHeight = height;
  info.biPlanes = 1;
  info.biBitCount = 24;
  info.biCompression = BI_RGB;
  const int stride = (width * 3 + 3) & ~3;
  std::vector<unsigned char> pixels(static_cast<std::size_t>(stride) * static_cast<std::size_t>(height));
  GetDIBits(memory, bitmap, 0, static_cast<UINT>(height), pixels.data(), reinterpret_cast<BITMAPINFO*>(&info),
            DIB_RGB_COLORS);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);

  std::set<unsigned> colours;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const unsigned char* p = &pixels[static_cast<std::size_t>(y * stride + x * 3)];
      colours.insert(p[0] | (p[1] << 8) | (p[2] << 16));
    }
  }
  // A blank or single-colour capture means nothing was drawn.
  CheckTrue("capture " + std::to_string(width) + "x" + std::to_string(height) + " has " +
                std::to_string(colours.size()) + " colours",
            width > 100 && height > 50 && colours.size() > 8);

  BITMAPFILEHEADER file{};
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof file + sizeof info;
  file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(&file), sizeof file);
  out.write(reinterpret_cast<const char*>(&info), sizeof info);
  out.write(reinterpret_cast<const char*>(pixels.data()), static_cast<std::streamsize>(pixels.size()));
}

void PumpFor(DWORD milliseconds) {
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < milliseconds) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    Sleep(20);
  }
}

// A top-level dialog window of this process with the caption, other than
// `except`; null when none appears within the time.
HWND WaitForWindow(const std::wstring& caption, HWND except, DWORD milliseconds, bool pump) {
  const DWORD start = GetTickCount();
  do {
    for (HWND w = FindWindowExW(nullptr, nullptr, L"#32770", caption.c_str()); w != nullptr;
         w = FindWindowExW(nullptr, w, L"#32770", caption.c_str())) {
      DWORD pid = 0;
      GetWindowThreadProcessId(w, &pid);
      if (pid == GetCurrentProcessId() && w != except && IsWindowVisible(w)) return w;
    }
    if (pump) {
      PumpFor(50);
    } else {
      Sleep(50);
    }
  } while (GetTickCount() - start < milliseconds);
  return nullptr;
}

// Modal dialogs: a second thread finds the window, checks and captures it,
// then presses OK.
template <typename Checks>
std::thread ProbeModal(const std::wstring& caption, const std::string& bmp, Checks checks) {
  return std::thread([caption, bmp, checks] {
    const HWND dialog = WaitForWindow(caption, nullptr, 30000, false);
    CheckTrue("the dialog appeared", dialog != nullptr);
    if (dialog == nullptr) return;
    Sleep(700);
    checks(dialog);
    Capture(dialog, bmp);
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
  });
}

void ProbeVersion(orb::ui::IUserInterface& ui, const std::string& bmp) {
  const std::wstring name = LoadString(orb::ui::IDS_PRODUCT_NAME);
  auto prober = ProbeModal(name, bmp, [name](HWND dialog) {
    Check("caption", WindowText(dialog), name);
    Check("product-name label", ItemText(dialog, IDC_PRODUCT_NAME),
          name + L" " + orb::Utf8ToWide(ORBDL_VERSION_TEXT));
    Check("copyright label", ItemText(dialog, IDC_COPYRIGHT), orb::Utf8ToWide(ORBDL_COPYRIGHT_TEXT));
    Check("OK button", ItemText(dialog, IDOK), L"OK");
  });
  COrbdlDlg logic(ui, {L"orbdl"});
  ui.RunMainDialog(&logic);
  prober.join();
}

void ProbeLink(orb::ui::IUserInterface& ui, const std::string& bmp, bool longLink) {
  const std::wstring name = LoadString(orb::ui::IDS_PRODUCT_NAME);
  const std::wstring message = LoadString(orb::ui::IDS_MUST_UPDATE);
  const std::wstring url = longLink ? L"http://www.vora.example/orbdl/update.html?" + std::wstring(120, L'x')
                                    : L"http://www.vora.example/orbdl/update.html";
  auto prober = ProbeModal(name, bmp, [&](HWND dialog) {
    Check("caption", WindowText(dialog), name);
    Check("message", ItemText(dialog, IDC_MESSAGE), message);
    Check("link", ItemText(dialog, IDC_LINK), url);
    Check("OK button", ItemText(dialog, IDOK), LoadString(orb::ui::IDS_OK));
    RECT client{}, text{}, ok{};
    GetClientRect(dialog, &client);
    GetWindowRect(GetDlgItem(dialog, IDC_MESSAGE), &text);
    GetWindowRect(GetDlgItem(dialog, IDOK), &ok);
    CheckTrue("dialog is message width + 28 wide",
              client.right == (text.right - text.left) + 28 && text.right - text.left >= 222);
    const int okLeft = ok.left - text.left + 14;  // in client coordinates
    CheckTrue("OK is centred under the message",
              okLeft == ((text.right - text.left) - (ok.right - ok.left) + 28) / 2);
    RECT link{};
    GetWindowRect(GetDlgItem(dialog, IDC_LINK), &link);
    CheckTrue("OK sits below the link", ok.top >= link.bottom);
    if (longLink) {
      // Too long for one line: wrapped to the message width, and taller.
      CheckTrue("long link as wide as the message", link.right - link.left == text.right - text.left);
      CheckTrue("long link wraps onto more lines", link.bottom - link.top > 2 * (ok.bottom - ok.top));
    }
  });
  orb::ui::SetCurrentLanguage(orb::ui::kLangEnglish);
  ui.ShowUrlMessage(message, url);
  prober.join();
}

void ProbeProgress(orb::ui::IUserInterface& ui, const std::string& bmp) {
  const std::wstring name = LoadString(orb::ui::IDS_PRODUCT_NAME);
  CDownloadProgressDialog dialog(ui);
  CheckTrue("the dialog was created", dialog.Create() == S_OK);
  if (dialog.Window() == nullptr) return;
  dialog.SetTitle(L"Sample clip");
  dialog.SetStatus(LoadString(orb::ui::IDS_DOWNLOADING));
  dialog.ResetCounters();
  dialog.SetTotalBytes(20480000);
  dialog.SetRange(10000);
  dialog.UpdateProgress(0, 0);
  dialog.UpdateProgress(10240000, 5000);
  PumpFor(700);
  const HWND hwnd = FindWindowExW(nullptr, nullptr, L"#32770", L"50 % / Sample clip");
  CheckTrue("window with caption \"50 % / Sample clip\"", hwnd != nullptr);
  if (hwnd == nullptr) return;
  Check("status", ItemText(hwnd, IDC_STATUS_TEXT), LoadString(orb::ui::IDS_DOWNLOADING));
  Check("title", ItemText(hwnd, IDC_TITLE_TEXT), L"Sample clip");
  Check("percentage", ItemText(hwnd, IDC_PERCENT_TEXT), L"50 %");
  Check("size", ItemText(hwnd, IDC_SIZE_TEXT), L"10 MB / 20 MB");
  Check("Cancel button", ItemText(hwnd, IDCANCEL), LoadString(orb::ui::IDS_CANCEL));
  CheckTrue("progress bar at 5000 of 10000",
            SendDlgItemMessageW(hwnd, IDC_PROGRESS_BAR, PBM_GETPOS, 0, 0) == 5000 &&
                SendDlgItemMessageW(hwnd, IDC_PROGRESS_BAR, PBM_GETRANGE, FALSE, 0) == 10000);
  Capture(hwnd, bmp);

  // Enter asks the cancel question instead of closing the dialog.
  PostMessageW(hwnd, WM_COMMAND, IDOK, 0);
  const HWND question = WaitForWindow(name, hwnd, 15000, true);
  CheckTrue("Enter opened the cancel question", question != nullptr);
  CheckTrue("the progress dialog stays open", IsWindow(hwnd) != FALSE);
  CheckTrue("not cancelled before an answer", !dialog.IsCancelled());
  dialog.DestroyWindow();
  CheckTrue("destroying the dialog closed the question", question == nullptr || IsWindow(question) == FALSE);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: dialog_probe version|progress|link|longlink LOG BMP\n");
    return 2;
  }
  const std::string mode = argv[1];
  orb::ui::SetCurrentLanguage(orb::ui::kLangEnglish);
  auto ui = orb::ui::CreateNativeUserInterface();
  if (mode == "version") {
    ProbeVersion(*ui, argv[3]);
  } else if (mode == "progress") {
    ProbeProgress(*ui, argv[3]);
  } else if (mode == "link" || mode == "longlink") {
    ProbeLink(*ui, argv[3], mode == "longlink");
  } else {
    CheckTrue("known mode " + mode, false);
  }
  g_log.push_back(std::string("PROBE ") + (g_failed ? "FAIL " : "PASS ") + mode);
  std::ofstream log(argv[2], std::ios::binary);
  for (const auto& line : g_log) log << line << "\n";
  return g_failed ? 1 : 0;
}
