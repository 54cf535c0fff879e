// The package download's base: its download URL and the package head, read
// once and left open for the download to go on from byte 32768.
#include "content/orb_content_downloader_core.h"

#include <gtest/gtest.h>

#include <string>

#include "support/fake_storage.h"
#include "support/fake_transport.h"
#include "support/virtual_handheld_fixture.h"

namespace {

using orb::test::FakeResource;
using orb::test::FakeTransportLog;

class Package : public COrbContentDownloaderCore {
 public:
  using COrbContentDownloaderCore::COrbContentDownloaderCore;
  using COrbContentDownloaderCore::Transport;
  HRESULT Start() override { return E_NOTIMPL; }
};

std::string Pattern(std::size_t n) {
  std::string s(n, '\0');
  for (std::size_t i = 0; i < n; ++i) s[i] = static_cast<char>(i * 7 + i / 256);
  return s;
}

TEST(COrbContentDownloaderCore, PackageHeadIsReadOnceAndTheTransportStaysOpen) {
  orb::test::ScopedVirtualHandheld handheld("[Drive F]\nIdentity = card\nProductCode = 02 B0\n");
  orb::test::FakeStorage card(L'F');
  FakeResource resource;
  FakeTransportLog log;
  const struct {
    const char* what;
    std::size_t size;
    int pieces;  // reads the transport needs for the head
    HRESULT result;
  } cases[] = {
      {"larger package", 40000, 1, S_OK},
      {"exactly the head", 32768, 1, S_OK},
      {"short package", 32767, 1, ORB_E_READ_BODY},
      {"empty package", 0, 1, ORB_E_READ_BODY},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    resource.body = Pattern(c.size);
    log = FakeTransportLog();
    Package package({orb::test::FakeTransportSlot(L"store", L"http://store.example/", &resource, &log)});
    ASSERT_EQ(package.SetStorage(&card), S_OK);
    ASSERT_EQ(package.SetContentUrl(L"http://store.example/p/racer"), S_OK);
    ASSERT_EQ(package.SetCountry(L"FR"), S_OK);
    std::wstring url;
    ASSERT_EQ(package.BuildDownloadUrl(&url), S_OK);
    EXPECT_EQ(url, L"http://store.example/p/racer?product=02B0&country=FR");

    EXPECT_EQ(package.ReadPackageHead(), c.result);
    if (FAILED(c.result)) {
      EXPECT_EQ(package.PackageHead(), nullptr);
      continue;
    }
    ASSERT_NE(package.PackageHead(), nullptr);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(package.PackageHead()), 32768), resource.body.substr(0, 32768));
    EXPECT_TRUE(package.Transport().IsOpen());
    // Once in memory, the head is not read again; the rest follows from
    // byte 32768 of the same response.
    EXPECT_EQ(package.ReadPackageHead(), S_OK);
    EXPECT_EQ(log.opens, 1);
    char rest[16] = {};
    std::uint32_t got = 0;
    ASSERT_EQ(package.Transport().Read(rest, sizeof rest, &got), S_OK);
    EXPECT_EQ(std::string(rest, got), resource.body.substr(32768, 16));
  }
}

TEST(COrbContentDownloaderCore, HeadThatArrivesInPiecesAndFailures) {
  orb::test::ScopedVirtualHandheld handheld("[Drive F]\nIdentity = card\n[Drive G]\nIdentity = card\n"
                                            "ProductCode = unreadable\nUsbSerial = OTHER\n");
  orb::test::FakeStorage card(L'F');
  orb::test::FakeStorage unreadable(L'G');
  orb::test::FakeStorage portable;
  FakeResource resource;
  resource.body = Pattern(70000);
  FakeTransportLog log;
  // A transport that delivers at most 1000 bytes a read.
  class Trickle : public orb::test::FakeTransport {
   public:
    using FakeTransport::FakeTransport;
    HRESULT Read(void* buffer, std::uint32_t wanted, std::uint32_t* got) override {
      return FakeTransport::Read(buffer, wanted < 1000 ? wanted : 1000, got);
    }
  };
  Package package({[&]() -> std::unique_ptr<CNetworkUtilBase> {
    return std::make_unique<Trickle>(L"trickle", L"http://", &resource, &log);
  }});
  ASSERT_EQ(package.SetStorage(&card), S_OK);
  EXPECT_EQ(package.ReadPackageHead(), E_INVALIDARG);  // no URL yet
  ASSERT_EQ(package.SetContentUrl(L"http://store.example/p"), S_OK);
  ASSERT_EQ(package.ReadPackageHead(), S_OK);
  EXPECT_EQ(log.reads, 33);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(package.PackageHead()), 32768), resource.body.substr(0, 32768));

  Package other({orb::test::FakeTransportSlot(L"store", L"http://", &resource, &log)});
  ASSERT_EQ(other.SetContentUrl(L"http://store.example/p"), S_OK);
  ASSERT_EQ(other.SetStorage(&unreadable), S_OK);
  EXPECT_EQ(other.ReadPackageHead(), ORB_E_PRODUCT_CODE_UNREADABLE);
  ASSERT_EQ(other.SetStorage(&portable), S_OK);
  EXPECT_EQ(other.ReadPackageHead(), E_INVALIDARG);
  ASSERT_EQ(other.SetStorage(&card), S_OK);
  resource.openResult = ORB_E_HTTP_NOT_FOUND;
  EXPECT_EQ(other.ReadPackageHead(), ORB_E_HTTP_NOT_FOUND);
  EXPECT_EQ(other.SetContentUrl(nullptr), E_POINTER);
}

}  // namespace
