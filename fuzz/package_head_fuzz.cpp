// package_head_fuzz.cpp - the head of a package, as the package download
// reads it from a server: any bytes must parse without a crash or a read
// outside the head, and a head that passes gives a summary within bounds.
#include <cstdlib>
#include <cstring>

#include "package/package_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
  static PackageReader reader;
  PackageInfo info;
  const HRESULT hr = reader.ParseHead(data, size, &info);
  if (hr == S_OK) {
    if (reader.LastFailure() != orb::PackageFailure::kNone) std::abort();
    if (info.TitleIdText().size() > sizeof(info.titleId)) std::abort();
  } else if (hr != orb::StatusFromPackageFailure(reader.LastFailure())) {
    std::abort();
  }
  return 0;
}
