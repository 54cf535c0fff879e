// orbdl_dlg.cpp
#include "app/orbdl_dlg.h"

#include <cwchar>
#include <utility>

#include "flow/downloader_visual_flow.h"
#include "platform/program_version.h"
#include "ui/string_table.h"

COrbdlDlg::COrbdlDlg(orb::ui::IUserInterface& ui, std::vector<std::wstring> arguments)
    : ui_(ui), arguments_(std::move(arguments)) {}

bool COrbdlDlg::OnInitDialog(orb::ui::MainDialogTexts* texts) {
  copyright_.clear();
  for (std::int32_t& n : version_) n = 0;
  const bool haveVersion = ReadVersionInfo();

  // Only the first argument counts; there are no options.
  if (arguments_.size() > 1) {
    RunControlFile(arguments_[1].c_str());
    return false;
  }

  const std::wstring name = orb::ui::LoadString(orb::ui::IDS_PRODUCT_NAME);
  texts->caption = name;
  texts->haveVersion = haveVersion;
  if (haveVersion) {
    wchar_t line[1024];
    std::swprintf(line, 1024, L"%ls %d.%d.%d.%d", name.c_str(), version_[0], version_[1], version_[2], version_[3]);
    texts->productLine = line;
    texts->copyright = copyright_;
  }
  return true;
}

bool COrbdlDlg::ReadVersionInfo() {
  orb::platform::ProgramVersion version;
  if (!orb::platform::ReadProgramVersion(&version)) return false;
  for (int i = 0; i < 4; ++i) version_[i] = version.numbers[i];
  copyright_ += version.copyright;
  return true;
}

HRESULT COrbdlDlg::RunControlFile(const wchar_t* path) {
  CDownloaderVisualFlow flow(ui_);
  flow.SetVersion(static_cast<std::uint32_t>(version_[0]), static_cast<std::uint32_t>(version_[1]),
                  static_cast<std::uint32_t>(version_[2]), static_cast<std::uint32_t>(version_[3]));
  HRESULT hr = flow.ReadControlFile(path);
  if (FAILED(hr)) {
    flow.ShowError(hr);
    return hr;
  }
  hr = flow.Start();
  if (FAILED(hr)) {
    flow.ShowError(hr);
    return hr;
  }
  return S_OK;
}
