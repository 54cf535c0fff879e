// dsf_reader_fuzz.cpp - control files of any bytes must read without a
// crash, a hang or a leak, and only ever give values within their limits.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "base/wide_text.h"
#include "flow/dsf_reader.h"

namespace {

std::string TempPath() {
  const char* dir = std::getenv("TMPDIR");
  return std::string(dir ? dir : "/tmp") + "/orbdl-fuzz-" + std::to_string(getpid()) + ".dsf";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
  static const std::string path = TempPath();
  static const std::wstring widePath = orb::Utf8ToWide(path);
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) return 0;
  std::fwrite(data, 1, size, f);
  std::fclose(f);

  CDsfReader reader;
  if (reader.Read(widePath.c_str()) != S_OK) std::abort();
  for (int slot = -1; slot <= CDsfReader::kSlotCount; ++slot) {
    const wchar_t* value = reader.GetValue(slot);
    if (value == nullptr) continue;
    const std::size_t length = std::wcslen(value);
    // A value is at most its byte limit long: one wide unit per byte, two
    // only for a four-byte sequence on UTF-16 builds.
    if (length == 0 || length > 1023 || (slot == 0 && length > 4)) std::abort();
  }
  return 0;
}
