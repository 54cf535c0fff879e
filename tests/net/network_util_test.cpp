#include "net/network_util.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "net/network_util_file.h"
#include "support/fake_transport.h"
#include "support/file_url.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using orb::test::FakeResource;
using orb::test::FakeTransportLog;
using orb::test::FakeTransportSlot;
using orb::test::FileUrl;

TEST(NetworkUtil, TheProgramsTransportsByScheme) {
  // (The HTTP transports' choice is tested against servers in
  // http_transport_test.cpp.)
  orb::test::TempDir dir;
  const fs::path file = dir.Write("a b.bin", "0123456789");
  const struct {
    std::wstring url;
    HRESULT open;
  } cases[] = {
      {FileUrl(file), S_OK},
      {L"ftp://127.0.0.1/x", ORB_E_URL_NOT_SUPPORTED},
      {L"/tmp/x.bin", ORB_E_URL_NOT_SUPPORTED},
      {L"relative.bin", ORB_E_URL_NOT_SUPPORTED},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.url));
    CNetworkUtil front;
    EXPECT_EQ(front.Open(c.url.c_str()), c.open);
    EXPECT_EQ(front.IsOpen(), SUCCEEDED(c.open));
    std::uint64_t limit = 0;
    EXPECT_EQ(front.GetMaxContentLength(&limit), SUCCEEDED(c.open) ? S_OK : E_INVALIDARG) << "no transport is left";
  }
}

class FrontTest : public ::testing::Test {
 protected:
  FrontTest() { resource_.body = "body"; }
  // Slot order as in the program: a case-sensitive "http://" transport
  // first, then one for any "http" spelling, then "file:".
  CNetworkUtil MakeFront() {
    return CNetworkUtil({FakeTransportSlot(L"socket", L"http://", &resource_, &log_),
                         FakeTransportSlot(L"wininet", L"HTTP", &resource_, &log_),
                         FakeTransportSlot(L"wininet", L"https://", &resource_, &log_),
                         FakeTransportSlot(L"file", L"file:", &resource_, &log_)});
  }
  FakeResource resource_;
  FakeTransportLog log_;
};

TEST_F(FrontTest, FirstTransportThatAcceptsWins) {
  const struct {
    const wchar_t* url;
    const wchar_t* transport;
  } cases[] = {
      {L"http://h/x", L"socket"},
      {L"HTTP://h/x", L"wininet"},
      {L"https://h/x", L"wininet"},
      {L"file:///x", L"file"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(c.url)));
    log_ = FakeTransportLog();
    CNetworkUtil front = MakeFront();
    ASSERT_EQ(front.Open(c.url), S_OK);
    EXPECT_EQ(log_.opens, 1);
    // Every probe before the winner was made and thrown away; the winner
    // is the last one made and the only one alive.
    EXPECT_EQ(log_.names.back(), c.transport);
    EXPECT_EQ(log_.created - log_.destroyed, 1);
  }
}

TEST_F(FrontTest, SameUrlReusesNewUrlReplaces) {
  CNetworkUtil front = MakeFront();
  ASSERT_EQ(front.Open(L"http://h/a"), S_OK);
  ASSERT_EQ(front.Open(L"http://h/a"), S_OK);
  EXPECT_EQ(log_.opens, 1) << "the open transport is reused";
  EXPECT_EQ(log_.created, 1);

  // Another URL of the same transport class still gets a new transport.
  ASSERT_EQ(front.Open(L"http://h/b"), S_OK);
  EXPECT_EQ(log_.created, 2);
  EXPECT_EQ(log_.destroyed, 1);
  EXPECT_EQ(log_.opens, 2);

  // An unsupported URL leaves no transport behind.
  EXPECT_EQ(front.Open(L"ftp://h/c"), ORB_E_URL_NOT_SUPPORTED);
  EXPECT_FALSE(front.IsOpen());
  std::uint32_t got = 0;
  char buf[4];
  EXPECT_EQ(front.Read(buf, sizeof buf, &got), E_INVALIDARG);
}

TEST_F(FrontTest, FailedOpenKeepsTheTransportClosed) {
  resource_.openResult = ORB_E_HTTP_NOT_FOUND;
  CNetworkUtil front = MakeFront();
  EXPECT_EQ(front.Open(L"http://h/a"), ORB_E_HTTP_NOT_FOUND);
  EXPECT_FALSE(front.IsOpen());
  resource_.openResult = S_OK;
  EXPECT_EQ(front.Open(L"http://h/a"), S_OK) << "the same transport opens again";
  EXPECT_EQ(log_.created, 1);
  EXPECT_EQ(log_.opens, 2);
}

TEST_F(FrontTest, QueryContentLengthLeavesTheTransportClosed) {
  CNetworkUtil front = MakeFront();
  std::uint64_t length = 0;
  ASSERT_EQ(front.QueryContentLength(L"http://h/a", &length), S_OK);
  EXPECT_EQ(length, 4u);
  EXPECT_FALSE(front.IsOpen());
  EXPECT_EQ(log_.closes, 1);
}

TEST_F(FrontTest, CloseForgetsTransportAndUrl) {
  CNetworkUtil front = MakeFront();
  ASSERT_EQ(front.Open(L"http://h/a"), S_OK);
  EXPECT_EQ(front.Close(), S_OK);
  EXPECT_EQ(log_.destroyed, 1);
  EXPECT_FALSE(front.IsOpen());
  // The same URL opens again after Close.
  EXPECT_EQ(front.Open(L"http://h/a"), S_OK);
  EXPECT_TRUE(front.IsOpen());
}

TEST_F(FrontTest, FreshFrontAndNullArguments) {
  CNetworkUtil front = MakeFront();
  std::uint64_t n64 = 0;
  std::uint32_t n32 = 0;
  wchar_t type[16];
  char buf[4];
  EXPECT_EQ(front.GetContentLength(&n64), E_INVALIDARG);
  EXPECT_EQ(front.GetMaxContentLength(&n64), E_INVALIDARG);
  EXPECT_EQ(front.GetContentType(type, &n32), E_INVALIDARG);
  EXPECT_EQ(front.Read(buf, sizeof buf, &n32), E_INVALIDARG);
  EXPECT_FALSE(front.IsOpen());
  EXPECT_EQ(front.Close(), S_OK);
  EXPECT_EQ(front.Open(nullptr), E_POINTER);
  EXPECT_EQ(front.QueryContentLength(nullptr, &n64), E_POINTER);
  EXPECT_EQ(front.OpenAndGetContentType(nullptr, type, &n32), E_POINTER);
  EXPECT_EQ(front.OpenAndGetContentType(L"http://h/a", type, &n32), ORB_E_NO_CONTENT_TYPE);
  EXPECT_EQ(log_.created, 1);
}

TEST(NetworkUtil, TransportThatCannotBeMadeIsOutOfMemory) {
  CNetworkUtil front({[] { return std::unique_ptr<CNetworkUtilBase>(); }});
  EXPECT_EQ(front.Open(L"file:///x"), E_OUTOFMEMORY);
  EXPECT_FALSE(front.IsOpen());
}

TEST(NetworkUtilFile, ReadsTheFileAndReportsItsCodes) {
  orb::test::TempDir dir;
  const std::string content(70000, 'z');
  const fs::path file = dir.Write("data 1%.bin", content);
  CNetworkUtilFILE transport;

  EXPECT_TRUE(transport.IsSupportedUrl(FileUrl(file).c_str()));
  EXPECT_FALSE(transport.IsSupportedUrl(L"http://h/x"));
  EXPECT_FALSE(transport.IsSupportedUrl(nullptr));
  std::uint64_t n64 = 0;
  std::uint32_t n32 = 0;
  char buf[65536];
  EXPECT_EQ(transport.GetContentLength(&n64), E_INVALIDARG);
  EXPECT_EQ(transport.Read(buf, sizeof buf, &n32), E_INVALIDARG);
  EXPECT_EQ(transport.Open(nullptr), E_POINTER);
  EXPECT_EQ(transport.Open(L"http://127.0.0.1/x"), ORB_E_URL_NOT_SUPPORTED);
  EXPECT_EQ(transport.Open(FileUrl(dir.path() / "missing.bin").c_str()), ORB_E_LOCAL_FILE_OPEN);
  EXPECT_FALSE(transport.IsOpen());
  EXPECT_EQ(transport.Open(FileUrl(dir.path()).c_str()), ORB_E_LOCAL_FILE_OPEN) << "a directory is no file";
  EXPECT_EQ(transport.Open(L"file://otherhost/share/x.bin"), ORB_E_LOCAL_FILE_OPEN);

  ASSERT_EQ(transport.Open(FileUrl(file).c_str()), S_OK);
  EXPECT_TRUE(transport.IsOpen());
  ASSERT_EQ(transport.GetContentLength(&n64), S_OK);
  EXPECT_EQ(n64, content.size());
  wchar_t type[64];
  n32 = 64;
  EXPECT_EQ(transport.GetContentType(type, &n32), ORB_E_NO_CONTENT_TYPE);
  EXPECT_EQ(transport.GetMaxContentLength(&n64), S_OK);
  EXPECT_EQ(n64, 0xFFFFFFFFu);
  std::string read;
  do {
    ASSERT_EQ(transport.Read(buf, sizeof buf, &n32), S_OK);
    read.append(buf, n32);
  } while (n32 != 0);
  EXPECT_EQ(read, content);
  EXPECT_EQ(transport.Close(), S_OK);
  EXPECT_FALSE(transport.IsOpen());

  // The base body: open, length, close.
  n64 = 0;
  EXPECT_EQ(transport.QueryContentLength(FileUrl(file).c_str(), &n64), S_OK);
  EXPECT_EQ(n64, content.size());
  EXPECT_FALSE(transport.IsOpen());
  EXPECT_EQ(transport.QueryContentLength(FileUrl(dir.path() / "missing").c_str(), &n64), ORB_E_LOCAL_FILE_OPEN);
}

TEST(NetworkUtilFile, EmptyAndHugeFiles) {
  orb::test::TempDir dir;
  const fs::path empty = dir.Write("empty.bin", "");
  CNetworkUtilFILE transport;
  ASSERT_EQ(transport.Open(FileUrl(empty).c_str()), S_OK);
  std::uint64_t length = 1;
  ASSERT_EQ(transport.GetContentLength(&length), S_OK);
  EXPECT_EQ(length, 0u);
  char buf[16];
  std::uint32_t got = 1;
  EXPECT_EQ(transport.Read(buf, sizeof buf, &got), S_OK);
  EXPECT_EQ(got, 0u);

  // Beyond 4 GiB the full 64-bit size is reported (a sparse file: nothing
  // is written).
  const fs::path huge = dir.path() / "huge.bin";
  std::ofstream(huge).close();
  const std::uint64_t size = (std::uint64_t{5} << 30) + 3;
  fs::resize_file(huge, size);
  ASSERT_EQ(transport.Open(FileUrl(huge).c_str()), S_OK);
  ASSERT_EQ(transport.GetContentLength(&length), S_OK);
  EXPECT_EQ(length, size);
  transport.Close();
}

}  // namespace
