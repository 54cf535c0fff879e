// downloader_visual_flow.h - one run of the program, from the control file
// to the final message.
//
// This is the thin first form: it reads the control file and refuses every
// operation code, each with its one message, until the operations and the
// complete flow replace it.
#pragma once

#include <cstdint>
#include <string>

#include "base/status.h"
#include "flow/dsf_reader.h"
#include "ui/user_interface.h"

class CDownloaderVisualFlow {
 public:
  explicit CDownloaderVisualFlow(orb::ui::IUserInterface& ui);

  // The program's own product version; all 0 = unknown. Cannot fail.
  HRESULT SetVersion(std::uint32_t major, std::uint32_t minor, std::uint32_t build, std::uint32_t revision);
  HRESULT ReadControlFile(const wchar_t* path);
  // Runs the operation the control file names.
  HRESULT Start();
  // The one message for a failure code; nothing for the silent codes.
  void ShowError(HRESULT code);

 private:
  orb::ui::IUserInterface& ui_;
  CDsfReader reader_;
  std::wstring caption_;
  std::uint32_t version_[4] = {0, 0, 0, 0};
};
