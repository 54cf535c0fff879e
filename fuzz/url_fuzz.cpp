// url_fuzz.cpp - any URL text must crack without a crash, a hang or a
// leak, and a cracked URL must keep within the buffers it was given and
// never carry a NUL inside its host or path.
#include <cstdlib>
#include <string>
#include <string_view>

#include "base/wide_text.h"
#include "platform/url.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
  const std::wstring url = orb::Utf8ToWide(std::string_view(reinterpret_cast<const char*>(data), size));
  if (url.find(L'\0') != std::wstring::npos) return 0;  // a C string ends there anyway
  orb::platform::CrackedUrl cracked;
  const std::size_t hostCapacity = 257;
  const std::size_t pathCapacity = 2085;
  if (orb::platform::CrackUrl(url.c_str(), hostCapacity, pathCapacity, &cracked) != 0) return 0;
  if (cracked.host.size() >= hostCapacity || cracked.path.size() >= pathCapacity) std::abort();
  if (cracked.host.find(L'\0') != std::wstring::npos || cracked.path.find(L'\0') != std::wstring::npos) std::abort();
  return 0;
}
