// storage_path_fuzz.cpp - a storage path of any text, as a control file or
// a package may make one, must resolve to a place below the drive's root:
// never above it, never with a "." or ".." left in it.
#include <cstdlib>
#include <string>
#include <string_view>

#include "base/wide_text.h"
#include "device/msc_storage.h"
#include "platform/drive_root.h"
#include "platform/file_system.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
  static const std::wstring root = [] {
    orb::platform::MapDrive(L'F', L"/media/orbdl-fuzz/card");
    std::wstring r;
    orb::platform::DriveRoot(L'F', &r);
    return r;
  }();
  const std::wstring path = orb::Utf8ToWide(std::string_view(reinterpret_cast<const char*>(data), size));
  CMSCStorage storage(L'F');
  for (bool trailing : {false, true}) {
    std::wstring host;
    if (FAILED(storage.ResolvePath(path, trailing, &host))) std::abort();
    if (host.compare(0, root.size(), root) != 0) std::abort();
    const std::wstring sep(1, orb::platform::kPathSeparator);
    const std::wstring rest = sep + host.substr(root.size()) + sep;
    if (rest.find(sep + L".." + sep) != std::wstring::npos || rest.find(sep + L"." + sep) != std::wstring::npos) {
      std::abort();
    }
  }
  return 0;
}
