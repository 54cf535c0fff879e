// device_name.h - file names that Windows opens as devices wherever they
// stand in a path: bytes written there go to a port or nowhere, not into a
// file.
#pragma once

#include <string_view>

namespace orb {

// Whether one path element names a device: the part before its first dot,
// without trailing spaces, is CON, PRN, AUX, NUL, COM1-9 or LPT1-9, in any
// case ("nul.txt.MP3" is the device NUL).
template <typename Char>
bool IsWindowsDeviceName(std::basic_string_view<Char> element) {
  std::basic_string_view<Char> stem = element.substr(0, element.find(Char('.')));
  while (!stem.empty() && stem.back() == Char(' ')) stem.remove_suffix(1);
  if (stem.size() != 3 && stem.size() != 4) return false;
  char upper[4] = {};
  for (std::size_t i = 0; i < stem.size(); ++i) {
    const Char c = stem[i];
    if (c < Char('0') || c > Char('z')) return false;
    upper[i] = static_cast<char>((c >= Char('a') && c <= Char('z')) ? c - Char('a') + Char('A') : c);
  }
  const std::string_view base(upper, 3);
  if (stem.size() == 3) return base == "CON" || base == "PRN" || base == "AUX" || base == "NUL";
  return (base == "COM" || base == "LPT") && upper[3] >= '1' && upper[3] <= '9';
}

inline bool IsWindowsDeviceName(std::string_view element) { return IsWindowsDeviceName<char>(element); }
inline bool IsWindowsDeviceName(std::wstring_view element) { return IsWindowsDeviceName<wchar_t>(element); }

}  // namespace orb
