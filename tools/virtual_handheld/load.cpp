// load.cpp
#include "virtual_handheld/load.h"

#include <fstream>
#include <iterator>

namespace orb::virtual_handheld {

bool LoadDescriptionFile(const std::filesystem::path& file, HandheldDescription* description, std::string* error) {
  const std::string name = file.u8string();
  std::ifstream in(file, std::ios::binary);
  if (!in) {
    *error = name + ": cannot be read";
    return false;
  }
  std::string text;
  char buffer[4096];
  while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
    text.append(buffer, static_cast<std::size_t>(in.gcount()));
    if (text.size() > kMaxDescriptionBytes) break;
  }
  if (in.bad()) {
    *error = name + ": cannot be read";
    return false;
  }
  std::string message;
  if (!ParseHandheldDescription(text, description, &message)) {
    *error = name + ": " + message;
    return false;
  }
  std::error_code ec;
  const std::filesystem::path base = std::filesystem::absolute(file, ec).parent_path();
  for (DriveDescription& drive : description->drives) {
    if (drive.root.empty()) continue;
    const std::filesystem::path root = std::filesystem::u8path(drive.root);
    if (!root.has_root_directory()) drive.root = (base / root).lexically_normal().u8string();
  }
  return true;
}

}  // namespace orb::virtual_handheld
