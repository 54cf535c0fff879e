// version_fuzz.cpp - version texts (release-version file, control file) of
// any bytes must parse or fail cleanly, and the comparison must be a total
// order on what parses.
#include <cstdlib>
#include <cwchar>
#include <string>

#include "base/wide_text.h"
#include "flow/version_check.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const std::size_t half = bytes.find('|');
  std::wstring a, b;
  if (FAILED(orb::Utf8ToWide(bytes.substr(0, half), &a))) return 0;
  if (half != std::string::npos && FAILED(orb::Utf8ToWide(bytes.substr(half + 1), &b))) return 0;

  // The parser sees C strings: what follows a NUL is not part of them.
  a.resize(std::wcslen(a.c_str()));
  b.resize(std::wcslen(b.c_str()));

  CVersionCheck::Version va, vb;
  const HRESULT ra = CVersionCheck::ParseVersion(a.c_str(), &va);
  const HRESULT rb = CVersionCheck::ParseVersion(b.c_str(), &vb);
  if ((ra != S_OK && ra != E_FAIL) || (rb != S_OK && rb != E_FAIL)) std::abort();
  // Fewer than four dot-separated parts never parse.
  std::size_t parts = 0;
  bool inPart = false;
  for (wchar_t c : a) {
    if (c == L'.') {
      inPart = false;
    } else if (!inPart) {
      inPart = true;
      ++parts;
    }
  }
  if ((ra == S_OK) != (parts >= 4)) std::abort();
  if (ra == S_OK && rb == S_OK) {
    const int ab = CVersionCheck::CompareVersion(va, vb);
    if (ab != -CVersionCheck::CompareVersion(vb, va)) std::abort();
    if (CVersionCheck::CompareVersion(va, va) != 0) std::abort();
  }
  return 0;
}
