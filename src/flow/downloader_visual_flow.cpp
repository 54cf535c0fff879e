// downloader_visual_flow.cpp
#include "flow/downloader_visual_flow.h"

#include <cwchar>
#include <string>

#include "platform/process.h"
#include "ui/string_table.h"

namespace {

// Operation codes the program knows; the operations behind them are not
// part of this build yet.
constexpr const wchar_t* kKnownCodes[] = {L"pngc", L"pnvc", L"pnvm", L"pncm", L"pnv#"};

}  // namespace

CDownloaderVisualFlow::CDownloaderVisualFlow(orb::ui::IUserInterface& ui)
    : ui_(ui), caption_(orb::ui::LoadString(orb::ui::IDS_PRODUCT_NAME)) {}

HRESULT CDownloaderVisualFlow::SetVersion(std::uint32_t major, std::uint32_t minor, std::uint32_t build,
                                          std::uint32_t revision) {
  version_[0] = major;
  version_[1] = minor;
  version_[2] = build;
  version_[3] = revision;
  return S_OK;
}

HRESULT CDownloaderVisualFlow::ReadControlFile(const wchar_t* path) { return reader_.Read(path); }

HRESULT CDownloaderVisualFlow::Start() {
  orb::platform::WriteStdout("[ORBDL][CDownloaderVisualFlow.Start()]:Called\n");
  const wchar_t* code = reader_.GetValue(CDsfReader::kOperationCode);
  if (code == nullptr) return ORB_E_NO_OPERATION;
  for (const wchar_t* known : kKnownCodes) {
    if (std::wcscmp(code, known) == 0) return E_NOTIMPL;  // refused honestly: no operation yet
  }
  return ORB_E_UNSUPPORTED_OPERATION;
}

void CDownloaderVisualFlow::ShowError(HRESULT code) {
  if (code == ORB_E_CANCELLED || code == ORB_E_PROGRAM_TOO_OLD) return;
  const unsigned id = code == ORB_E_UNSUPPORTED_OPERATION ? orb::ui::IDS_TYPE_NOT_SUPPORTED : orb::ui::IDS_ERROR;
  wchar_t hex[16];
  std::swprintf(hex, 16, L"%x", static_cast<unsigned>(code));
  orb::ui::MessageBoxSpec box;
  box.caption = caption_;
  // "%s \r\n(0x%x)" in a buffer of 1024 characters.
  box.text = (orb::ui::LoadString(id) + L" \r\n(0x" + hex + L")").substr(0, 1023);
  ui_.ShowMessageBox(box);
}
