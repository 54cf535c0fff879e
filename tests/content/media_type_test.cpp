// Where plain media goes: the extension and MIME tables, the file name of a
// URL path, and the names that could not stay a file in their folder.
#include "content/media_type.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using orb::content::MediaType;

std::wstring Where(const MediaType* type) {
  if (type == nullptr) return L"-";
  std::wstring where = type->folder;
  if (*type->subfolder != L'\0') where += std::wstring(L"\\") + type->subfolder;
  return where + L" " + type->fileType;
}

TEST(MediaType, ExtensionsAndMimeTypesInAnyCaseAsAWhole) {
  const struct {
    const wchar_t* key;
    const wchar_t* byExtension;
    const wchar_t* byMime;
  } cases[] = {
      {L".mp4", L"VIDEO MP4", L"-"},
      {L".MP4", L"VIDEO MP4", L"-"},
      {L".mp3", L"MUSIC MP3", L"-"},
      {L".wav", L"MUSIC WAV", L"-"},
      {L".JPG", L"PICTURE JPG", L"-"},
      {L".Png", L"PICTURE PNG", L"-"},
      {L".kxm", L"KVX\\THEME KXM", L"-"},
      {L".jpeg", L"-", L"-"},
      {L"mp4", L"-", L"-"},
      {L".mp4 ", L"-", L"-"},
      {L"", L"-", L"-"},
      {L"application/mp4", L"-", L"VIDEO MP4"},
      {L"audio/mpeg", L"-", L"MUSIC MP3"},
      {L"Audio/MPEG", L"-", L"MUSIC MP3"},
      {L"audio/x-wav", L"-", L"MUSIC WAV"},
      {L"image/jpeg", L"-", L"PICTURE JPG"},
      {L"image/png", L"-", L"PICTURE PNG"},
      {L"application/x-kvx-theme", L"-", L"KVX\\THEME KXM"},
      {L"audio/mpeg; charset=binary", L"-", L"-"},
      {L"audio/mpeg ", L"-", L"-"},
      {L"video/mp4", L"-", L"-"},
      {L"image/jpg", L"-", L"-"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(c.key)));
    EXPECT_EQ(Where(orb::content::MediaTypeForExtension(c.key)), c.byExtension);
    EXPECT_EQ(Where(orb::content::MediaTypeForMime(c.key)), c.byMime);
  }
}

TEST(MediaType, FileNameOfAPath) {
  const std::wstring long255(255, L'n');
  const struct {
    std::wstring path;
    bool fits;
    const wchar_t* name;
    std::wstring extension;
  } cases[] = {
      {L"/media/Clip.mp4", true, L"Clip", L".mp4"},
      {L"C:\\m\\My Clip.JPG", true, L"My Clip", L".JPG"},
      {L"/a.b/track", true, L"track", L""},
      {L"/a/b.tar.mp3", true, L"b.tar", L".mp3"},
      {L"/a/.mp3", true, L"", L".mp3"},
      {L"/a/", true, L"", L""},
      {L"", true, L"", L""},
      {L"/a\\b/c.png", true, L"c", L".png"},
      {L"/a/..", true, L".", L"."},
      {L"C:x.mp4", true, L"x", L".mp4"},
      {L"/" + long255 + L".mp4", true, long255.c_str(), L".mp4"},
      {L"/" + long255 + L"n.mp4", false, L"", L""},
      {L"/x." + long255, false, L"", L""},
      {L"/" + std::wstring(253, L'd') + L"/x.mp4", true, L"x", L".mp4"},  // a folder of 255
      {L"/" + std::wstring(254, L'd') + L"/x.mp4", false, L"", L""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.path.substr(0, 40)));
    std::wstring name = L"stale";
    std::wstring extension = L"stale";
    EXPECT_EQ(orb::content::SplitFileName(c.path, &name, &extension), c.fits);
    EXPECT_EQ(name, c.name);
    EXPECT_EQ(extension, c.extension);
  }
}

TEST(MediaType, NamesThatWouldNotStayAFileOfTheirOwn) {
  for (const wchar_t* name : {L"Clip", L"My Clip", L"", L".", L"..", L"a.b", L"\u3042", L"CONSOLE", L"COM0",
                              L"COM10", L"NULL", L"LPT", L"x%2F"}) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(name)));
    EXPECT_TRUE(orb::content::IsSafeFileName(name));
  }
  for (const wchar_t* name : {L"a/b", L"..\\x", L"a:b", L"a*", L"a?b", L"\"a\"", L"a<b", L"a>b", L"a|b",
                              L"a\tb", L"a\nb", L"CON", L"con", L"Nul", L"aux.txt", L"nul .x", L"PRN",
                              L"COM1", L"lpt9"}) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(name)));
    EXPECT_FALSE(orb::content::IsSafeFileName(name));
  }
}

}  // namespace
