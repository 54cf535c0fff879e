// install.cpp
#include "virtual_handheld/install.h"

#include <filesystem>
#include <memory>

#include "platform/drive_table.h"
#include "platform/process.h"
#include "virtual_handheld/load.h"
#include "virtual_handheld/virtual_handheld.h"

namespace orb::virtual_handheld {

InstallResult InstallFromEnvironment(std::string* error) {
  std::wstring path;
  if (!orb::platform::ReadEnvironmentVariable(kEnvironmentVariable, &path) || path.empty()) {
    return InstallResult::kNotRequested;
  }
  HandheldDescription description;
  if (!LoadDescriptionFile(std::filesystem::path(path), &description, error)) return InstallResult::kFailed;
  static std::unique_ptr<VirtualHandheld> installed;
  installed = std::make_unique<VirtualHandheld>(std::move(description), !orb::platform::SystemHasDriveLetters());
  installed->MapDrives();
  orb::platform::InstallDeviceSimulation(installed.get());
  return InstallResult::kInstalled;
}

}  // namespace orb::virtual_handheld
