// media_type.cpp
#include "content/media_type.h"

#include <cwctype>

#include "base/device_name.h"

namespace orb::content {

namespace {

constexpr std::size_t kMaxPartChars = 255;

struct Row {
  const wchar_t* key;
  MediaType type;
};

constexpr MediaType kVideo{L"VIDEO", L"", L"MP4"};
constexpr MediaType kMp3{L"MUSIC", L"", L"MP3"};
constexpr MediaType kWav{L"MUSIC", L"", L"WAV"};
constexpr MediaType kJpeg{L"PICTURE", L"", L"JPG"};
constexpr MediaType kPng{L"PICTURE", L"", L"PNG"};
constexpr MediaType kTheme{L"KVX", L"THEME", L"KXM"};

constexpr Row kByExtension[] = {
    {L".mp4", kVideo}, {L".mp3", kMp3}, {L".wav", kWav}, {L".jpg", kJpeg}, {L".png", kPng}, {L".kxm", kTheme},
};

constexpr Row kByMime[] = {
    {L"application/mp4", kVideo}, {L"audio/mpeg", kMp3}, {L"audio/x-wav", kWav},
    {L"image/jpeg", kJpeg},       {L"image/png", kPng},  {L"application/x-kvx-theme", kTheme},
};

wchar_t Lower(wchar_t c) { return static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c))); }

bool EqualsIgnoringCase(std::wstring_view a, std::wstring_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (Lower(a[i]) != Lower(b[i])) return false;
  }
  return true;
}

template <std::size_t N>
const MediaType* Find(const Row (&rows)[N], std::wstring_view key) {
  for (const Row& row : rows) {
    if (EqualsIgnoringCase(row.key, key)) return &row.type;
  }
  return nullptr;
}

bool IsSeparator(wchar_t c) { return c == L'/' || c == L'\\'; }

}  // namespace

const MediaType* MediaTypeForExtension(std::wstring_view extension) { return Find(kByExtension, extension); }

const MediaType* MediaTypeForMime(std::wstring_view mime) { return Find(kByMime, mime); }

bool SplitFileName(std::wstring_view path, std::wstring* name, std::wstring* extension) {
  name->clear();
  extension->clear();
  std::wstring_view rest = path;
  const std::wstring_view drive = rest.size() >= 2 && rest[1] == L':' ? rest.substr(0, 2) : std::wstring_view();
  rest.remove_prefix(drive.size());
  std::size_t folderEnd = 0;
  for (std::size_t i = 0; i < rest.size(); ++i) {
    if (IsSeparator(rest[i])) folderEnd = i + 1;
  }
  const std::wstring_view folder = rest.substr(0, folderEnd);
  const std::wstring_view last = rest.substr(folderEnd);
  const std::size_t dot = last.rfind(L'.');
  const std::wstring_view base = last.substr(0, dot);
  const std::wstring_view ext = dot == std::wstring_view::npos ? std::wstring_view() : last.substr(dot);
  if (drive.size() > kMaxPartChars || folder.size() > kMaxPartChars || base.size() > kMaxPartChars ||
      ext.size() > kMaxPartChars) {
    return false;
  }
  name->assign(base);
  extension->assign(ext);
  return true;
}

bool IsSafeFileName(std::wstring_view name) {
  for (wchar_t c : name) {
    if (c < 0x20 || c == 0x7F) return false;
    switch (c) {
      case L'/': case L'\\': case L'<': case L'>': case L':': case L'"': case L'|': case L'?': case L'*':
        return false;
      default:
        break;
    }
  }
  return !IsWindowsDeviceName(name);
}

}  // namespace orb::content
