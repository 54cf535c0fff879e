// orb_virtual_handheld_main.cpp - checks a virtual handheld description and
// lists its drives for scripts.
//
//   orb-virtual-handheld check FILE   the drives, one line each, or the error
//   orb-virtual-handheld roots FILE   "LETTER ROOT" per drive (absolute roots)
#include <cstdio>
#include <string>

#include "virtual_handheld/load.h"

namespace {

const char* IdentityName(orb::virtual_handheld::Identity identity) {
  using orb::virtual_handheld::Identity;
  switch (identity) {
    case Identity::kCard: return "card";
    case Identity::kSystemStorage: return "system";
    case Identity::kTitleCase: return "titlecase";
    case Identity::kOther: return "other";
  }
  return "?";
}

int Usage() {
  std::fputs("usage: orb-virtual-handheld check|roots DESCRIPTION-FILE\n", stderr);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) return Usage();
  const std::string command = argv[1];
  if (command != "check" && command != "roots") return Usage();
  orb::virtual_handheld::HandheldDescription description;
  std::string error;
  if (!orb::virtual_handheld::LoadDescriptionFile(std::filesystem::u8path(argv[2]), &description, &error)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 1;
  }
  for (const auto& drive : description.drives) {
    const char letter = static_cast<char>(drive.letter);
    if (command == "roots") {
      std::printf("%c %s\n", letter, drive.root.c_str());
    } else {
      std::printf("%c: %-9s version %-5s usb %04X:%04X serial \"%s\" root %s\n", letter, IdentityName(drive.identity),
                  drive.systemVersionReadable ? drive.systemVersion.c_str() : "-", drive.usbVendor, drive.usbProduct,
                  drive.usbSerial.c_str(), drive.root.empty() ? "(none)" : drive.root.c_str());
    }
  }
  return 0;
}
