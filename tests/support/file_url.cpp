#include "support/file_url.h"

#include <cstdio>

namespace orb::test {

std::wstring FileUrl(const std::filesystem::path& path) {
  std::wstring generic = path.generic_wstring();
  if (generic.empty() || generic.front() != L'/') generic.insert(generic.begin(), L'/');
  std::wstring url = L"file://";
  for (wchar_t c : generic) {
    const bool plain = (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9') ||
                       c == L'/' || c == L':' || c == L'-' || c == L'_' || c == L'.' || c == L'~';
    if (plain || c > 0x7F) {
      url.push_back(c);
    } else {
      wchar_t escaped[4];
      std::swprintf(escaped, 4, L"%%%02X", static_cast<unsigned>(c));
      url += escaped;
    }
  }
  return url;
}

}  // namespace orb::test
