// orbdl_main.cpp - process entry of orbdl.
//
// For now the program reads the control file named by its first argument and
// prints its slots; the dialogs and the operation flow take over from here as
// they land.
#include <cstdio>
#include <string>
#include <vector>

#include "base/wide_text.h"
#include "flow/dsf_reader.h"
#include "platform/process.h"

namespace {

const char* const kSlotNames[CDsfReader::kSlotCount] = {
    "Info/EID", "Info/Desc", "Info/CC", "File/C", "ORBPCDL/LV", "ORBPCDL/MV", "ORBPCDL/Info", "Info/Name"};

std::string Hex(HRESULT hr) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%x", static_cast<unsigned>(hr));
  return text;
}

}  // namespace

int main(int argc, char** argv) {
  using orb::platform::WriteStdout;
  const std::vector<std::wstring> args = orb::platform::CommandLineArguments(argc, argv);
  if (args.size() < 2) {
    WriteStdout("Orbiton Network Downloader\nusage: orbdl CONTROL-FILE\n");
    return 0;
  }
  CDsfReader reader;
  const HRESULT hr = reader.Read(args[1].c_str());
  if (FAILED(hr)) {
    WriteStdout("control file not read: " + Hex(hr) + "\n");
    return 1;
  }
  for (int slot = 0; slot < CDsfReader::kSlotCount; ++slot) {
    const wchar_t* value = reader.GetValue(slot);
    WriteStdout(std::string(kSlotNames[slot]) + " = " +
                (value ? "\"" + orb::WideToUtf8(value) + "\"" : std::string("(absent)")) + "\n");
  }
  return 0;
}
