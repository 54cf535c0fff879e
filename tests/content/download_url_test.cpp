// The store's download URL of each content operation, against a virtual
// handheld whose card drive F reports the product code 01 0A.
#include "content/download_url.h"

#include <gtest/gtest.h>

#include <string>

#include "support/fake_storage.h"
#include "support/virtual_handheld_fixture.h"

namespace {

using orb::test::FakeStorage;
using orb::test::ScopedVirtualHandheld;

const char kHandheld[] = "[Drive F]\nIdentity = card\nProductCode = 01 0A\n"
                         "[Drive G]\nIdentity = other\n"
                         "[Drive H]\nIdentity = card\nProductCode = unreadable\nUsbSerial = OTHER\n";

enum class Variant { kPackage, kPlainMedia, kComicVideo };

HRESULT Build(Variant variant, const std::wstring& url, IDeviceStorage* storage, std::uint32_t flags,
              const std::wstring& country, std::wstring* out) {
  switch (variant) {
    case Variant::kPackage: return orb::content::BuildPackageDownloadUrl(url, storage, country, out);
    case Variant::kPlainMedia: return orb::content::BuildPlainMediaDownloadUrl(url, storage, country, out);
    case Variant::kComicVideo:
      return orb::content::BuildComicVideoDownloadUrl(url, storage, flags, country, out);
  }
  return E_UNEXPECTED;
}

TEST(DownloadUrl, EachOperationsProductAndCountry) {
  ScopedVirtualHandheld handheld(kHandheld);
  FakeStorage card(L'F');
  FakeStorage plainDrive(L'G');   // a drive, not the handheld's
  FakeStorage otherCard(L'H');    // the handheld's, product code unreadable
  FakeStorage portable;           // a portable-device storage
  FakeStorage twoLetters(L'F');
  twoLetters.storageId = L"FG";
  const std::wstring url = L"http://store.example/c/a.mp4";
  const struct {
    const char* what;
    Variant variant;
    IDeviceStorage* storage;
    std::uint32_t flags;
    const wchar_t* country;
    std::wstring content;
    HRESULT result;
    const wchar_t* want;
  } cases[] = {
      {"package", Variant::kPackage, &card, 0, L"JP", url, S_OK, L"http://store.example/c/a.mp4?product=010A&country=JP"},
      {"package, no country", Variant::kPackage, &card, 0, L"", url, S_OK,
       L"http://store.example/c/a.mp4?product=010A"},
      {"package, country as it stands", Variant::kPackage, &card, 0, L"J P", url, S_OK,
       L"http://store.example/c/a.mp4?product=010A&country=J P"},
      {"package to a portable device", Variant::kPackage, &portable, 0, L"JP", url, E_INVALIDARG, L""},
      {"package, code unreadable", Variant::kPackage, &otherCard, 0, L"JP", url, ORB_E_PRODUCT_CODE_UNREADABLE, L""},
      {"package, no URL", Variant::kPackage, &card, 0, L"JP", L"", E_INVALIDARG, L""},
      {"package, no storage", Variant::kPackage, nullptr, 0, L"JP", url, E_INVALIDARG, L""},

      {"media on the card", Variant::kPlainMedia, &card, 0, L"JP", url, S_OK,
       L"http://store.example/c/a.mp4?product=010A&country=JP"},
      {"media, URL with a query and a fragment", Variant::kPlainMedia, &card, 0, L"US",
       L"http://store.example/get?id=7#x", S_OK, L"http://store.example/get?id=7&product=010A&country=US#x"},
      {"media to a portable device: no product part", Variant::kPlainMedia, &portable, 0, L"JP", url, S_OK,
       L"http://store.example/c/a.mp4?&country=JP"},
      {"media to another drive: no product part", Variant::kPlainMedia, &plainDrive, 0, L"JP", url, S_OK,
       L"http://store.example/c/a.mp4?&country=JP"},
      {"media, nothing to add: the URL as it stands", Variant::kPlainMedia, &portable, 0, L"", url, S_OK,
       L"http://store.example/c/a.mp4"},
      {"media, drive of two letters", Variant::kPlainMedia, &twoLetters, 0, L"JP", url, E_FAIL, L""},
      {"media, code unreadable", Variant::kPlainMedia, &otherCard, 0, L"JP", url, ORB_E_PRODUCT_CODE_UNREADABLE, L""},

      {"comic on the console drive", Variant::kComicVideo, &card, 1, L"JP", url, S_OK,
       L"http://store.example/c/a.mp4?product=010A&country=JP"},
      {"comic to a portable device", Variant::kComicVideo, &portable, 272, L"JP", url, S_OK,
       L"http://store.example/c/a.mp4?product=0040&country=JP"},
      {"comic, no country", Variant::kComicVideo, &portable, 272, L"", url, S_OK,
       L"http://store.example/c/a.mp4?product=0040"},

      {"a URL that does not split", Variant::kPlainMedia, &card, 0, L"JP", L"store/a.mp4", ORB_E_URL_NOT_SUPPORTED,
       L""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::wstring got = L"stale";
    EXPECT_EQ(Build(c.variant, c.content, c.storage, c.flags, c.country, &got), c.result);
    EXPECT_EQ(got, c.want);
  }
}

// A local file has no store: its URL stays as it is (a query would name
// another file), whatever the target, and no device is asked.
TEST(DownloadUrl, LocalFilesAreUsedAsTheyStand) {
  ScopedVirtualHandheld handheld(kHandheld);
  FakeStorage card(L'F');
  FakeStorage portable;
  for (const std::wstring url : {L"file:///C:/media/Clip.mp4", L"FILE:///tmp/a%20b.mp3", L"file://localhost/x.png"}) {
    SCOPED_TRACE(testing::PrintToString(url));
    for (Variant variant : {Variant::kPackage, Variant::kPlainMedia, Variant::kComicVideo}) {
      for (IDeviceStorage* storage : {static_cast<IDeviceStorage*>(&card), static_cast<IDeviceStorage*>(&portable)}) {
        std::wstring got;
        EXPECT_EQ(Build(variant, url, storage, 1, L"JP", &got), S_OK);
        EXPECT_EQ(got, url);
      }
    }
  }
  EXPECT_TRUE(handheld.commands().empty());
  EXPECT_TRUE(orb::content::IsLocalFileUrl(L"File:x"));
  EXPECT_FALSE(orb::content::IsLocalFileUrl(L"files://x"));
  EXPECT_FALSE(orb::content::IsLocalFileUrl(L"http://h/file:x"));
}

}  // namespace
