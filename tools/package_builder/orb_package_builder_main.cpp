// orb_package_builder_main.cpp - writes a package file from the command
// line, for demos, end-to-end tests and fuzz seeds.
//
//   orb-package-builder [options] OUTPUT
//     --content-type N       content type (default 4)
//     --distribution-type N  distribution type (default 2)
//     --package-type N       package type in the type word (default 1)
//     --title ID             title identifier (default ABCD12345)
//     --content-id TEXT      content identifier
//     --digest               with a SHA-1 digest of the data area
//     --plain                data area not enciphered (fuzz seeds)
//     --dir NAME             a delivered directory
//     --file NAME=HOSTFILE   a delivered file with the bytes of HOSTFILE
//     --text NAME=TEXT       a delivered file that holds TEXT
//     --hidden NAME=TEXT     a file that is not delivered
// Names are below the usual entry prefix "USRDIR/CONTENT/", whose
// directories the package carries undelivered, as real packages do.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "package_builder/package_builder.h"

namespace {

namespace pb = orb::package_builder;

int Usage() {
  std::fputs(
      "usage: orb-package-builder [--content-type N] [--distribution-type N] [--package-type N]\n"
      "         [--title ID] [--content-id TEXT] [--digest] [--plain]\n"
      "         [--dir NAME] [--file NAME=HOSTFILE] [--text NAME=TEXT] [--hidden NAME=TEXT]... OUTPUT\n",
      stderr);
  return 2;
}

bool Number(const char* text, std::uint32_t* out) {
  char* end = nullptr;
  const unsigned long value = std::strtoul(text, &end, 0);
  if (end == text || *end != '\0' || value > 0xFFFFFFFFul) return false;
  *out = static_cast<std::uint32_t>(value);
  return true;
}

bool SplitPair(const std::string& pair, std::string* name, std::string* value) {
  const std::size_t eq = pair.find('=');
  if (eq == std::string::npos || eq == 0) return false;
  *name = pair.substr(0, eq);
  *value = pair.substr(eq + 1);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  pb::PackageSpec spec;
  std::vector<pb::EntrySpec> entries;
  std::string output;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool hasValue = i + 1 < argc;
    std::uint32_t number = 0;
    if (arg == "--digest") {
      spec.withDigest = true;
    } else if (arg == "--plain") {
      spec.encipher = false;
    } else if (arg == "--content-type" && hasValue && Number(argv[i + 1], &number)) {
      spec.contentType = number;
      ++i;
    } else if (arg == "--distribution-type" && hasValue && Number(argv[i + 1], &number)) {
      spec.distributionType = number;
      ++i;
    } else if (arg == "--package-type" && hasValue && Number(argv[i + 1], &number)) {
      spec.typeWord = 0x80000000u | number;
      ++i;
    } else if (arg == "--title" && hasValue) {
      spec.titleId = argv[++i];
    } else if (arg == "--content-id" && hasValue) {
      spec.contentId = argv[++i];
    } else if (arg == "--dir" && hasValue) {
      pb::EntrySpec e;
      e.name = argv[++i];
      e.directory = true;
      entries.push_back(e);
    } else if ((arg == "--file" || arg == "--text" || arg == "--hidden") && hasValue) {
      pb::EntrySpec e;
      std::string value;
      if (!SplitPair(argv[++i], &e.name, &value)) return Usage();
      if (arg == "--file") {
        std::ifstream in(std::filesystem::u8path(value), std::ios::binary);
        std::ostringstream bytes;
        bytes << in.rdbuf();
        if (!in) {
          std::fprintf(stderr, "cannot read %s\n", value.c_str());
          return 1;
        }
        e.data = bytes.str();
      } else {
        e.data = value;
      }
      e.delivered = arg != "--hidden";
      entries.push_back(e);
    } else if (!arg.empty() && arg[0] != '-' && output.empty()) {
      output = arg;
    } else {
      return Usage();
    }
  }
  if (output.empty()) return Usage();
  spec.entries = pb::ContentEntries(entries);
  std::string error;
  if (!pb::WritePackageFile(spec, std::filesystem::u8path(output), nullptr, &error)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 1;
  }
  return 0;
}
