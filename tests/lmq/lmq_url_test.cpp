#include "lmq/lmq_url.h"

#include <gtest/gtest.h>

#include <cstring>

#include "base/wide_text.h"

namespace {

std::string U(const wchar_t* w) { return orb::WideToUtf8(w); }

struct ParseCase {
  const wchar_t* text;
  bool ok;
  const wchar_t* scheme;
  const wchar_t* host;
  const wchar_t* port;
  const wchar_t* path;
  const wchar_t* query;
  const wchar_t* rebuilt;
};

TEST(LmqURL, ParsesNormalisesAndRebuilds) {
  const ParseCase cases[] = {
      {L"http://Host:8080/a/./b/../c?x=/../y", true, L"http", L"Host", L"8080", L"/a/c?x=/../y", L"x=/../y",
       L"http://Host:8080/a/c?x=/../y"},
      {L"HTTPS://host", true, L"https", L"host", L"443", L"/", L"", L"https://host/"},
      {L"Http://host/x", true, L"http", L"host", L"80", L"/x", L"", L"http://host/x"},
      {L"http://h:80/x", true, L"http", L"h", L"80", L"/x", L"", L"http://h/x"},
      {L"http://h:080/x", true, L"http", L"h", L"080", L"/x", L"", L"http://h:080/x"},
      {L"https://h:443/", true, L"https", L"h", L"443", L"/", L"", L"https://h/"},
      {L"http://h:443/", true, L"http", L"h", L"443", L"/", L"", L"http://h:443/"},
      {L"http://h:8080", true, L"http", L"h", L"8080", L"/", L"", L"http://h:8080/"},
      {L"/x/../y", true, L"", L"", L"", L"/y", L"", L"/y"},
      {L"/../y", true, L"", L"", L"", L"/../y", L"", L"/../y"},
      {L"ftp://h/a", true, L"", L"", L"", L"ftp://h/a", L"", L"ftp://h/a"},
      {L"http://h/?", true, L"http", L"h", L"80", L"/?", L"", L"http://h/?"},
      {L"http://h:0/", false, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr},
      {L"http://h:ab/", false, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr},
      {L"http://h:/", false, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr},
  };
  for (const ParseCase& c : cases) {
    SCOPED_TRACE(U(c.text));
    LmqURL url;
    ASSERT_EQ(url.Parse(c.text, false), c.ok);
    if (!c.ok) continue;
    EXPECT_STREQ(url.GetScheme(), c.scheme);
    EXPECT_STREQ(url.GetHost(), c.host);
    EXPECT_STREQ(url.GetPort(), c.port);
    EXPECT_STREQ(url.GetPath(), c.path);
    EXPECT_STREQ(url.GetQuery(), c.query);
    EXPECT_STREQ(url.GetURL(), c.rebuilt);
    EXPECT_EQ(url.GetPathA(), U(c.path));
    EXPECT_EQ(url.GetURLA(), U(c.rebuilt));
  }
  EXPECT_FALSE(LmqURL().Parse(nullptr, false));
}

TEST(LmqURL, PathNormalisation) {
  const struct {
    const wchar_t* in;
    const wchar_t* out;
  } cases[] = {
      {L"/a/b/../c", L"/a/c"},   {L"/a/b/..", L"/a/"},       {L"/a/..", L"/"},
      {L"/..", L"/.."},          {L"/a/.", L"/a/"},          {L"/.", L"/"},
      {L"/././x/./", L"/x/"},    {L"/a/b/../../c", L"/c"},   {L"/a/../../c", L"/../c"},
      {L"x/../y", L"x/../y"},    {L"/a/b?q=/./..", L"/a/b?q=/./.."}, {L"", L""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(U(c.in));
    EXPECT_EQ(LmqURL::NormalisePath(c.in), c.out);
  }
}

TEST(LmqURL, SocketAddress) {
  LmqURL url;
  ASSERT_TRUE(url.Parse(L"http://10.0.0.1:8080/", false));
  const auto& a = url.GetSocketAddress();
  EXPECT_EQ(a.family, 2);
  const unsigned char wantAddress[4] = {10, 0, 0, 1};
  const unsigned char wantPort[2] = {0x1F, 0x90};
  EXPECT_EQ(std::memcmp(&a.address, wantAddress, 4), 0);
  EXPECT_EQ(std::memcmp(&a.port, wantPort, 2), 0);

  // A name that is not resolved: address 0, family not set.
  ASSERT_TRUE(url.Parse(L"http://some.name:70000/", false));
  EXPECT_EQ(url.GetSocketAddress().family, 0);
  EXPECT_EQ(url.GetSocketAddress().address, 0u);
  const unsigned char wrapped[2] = {0x11, 0x70};  // 70000 wraps to 4464
  EXPECT_EQ(std::memcmp(&url.GetSocketAddress().port, wrapped, 2), 0);
  EXPECT_STREQ(url.GetPort(), L"70000");
}

TEST(LmqURL, ResolveOnAndOff) {
  LmqURL url;
  EXPECT_FALSE(url.Parse(L"http://no-such-host.invalid/", true));
  EXPECT_TRUE(url.Parse(L"http://no-such-host.invalid/", false));
  EXPECT_EQ(url.GetSocketAddress().address, 0u);

  ASSERT_TRUE(url.Parse(L"http://localhost:8080/x", true));
  EXPECT_STREQ(url.GetHost(), L"localhost");  // the host stays as written
  EXPECT_EQ(url.GetSocketAddress().family, 2);
  const unsigned char loopback[4] = {127, 0, 0, 1};
  EXPECT_EQ(std::memcmp(&url.GetSocketAddress().address, loopback, 4), 0);
}

TEST(LmqURL, SettersAssignmentAndReset) {
  LmqURL url;
  ASSERT_TRUE(url.Parse(L"http://h/p?q=1", false));
  EXPECT_TRUE(url.SetHost("other", false));
  EXPECT_TRUE(url.SetPort("8080"));
  EXPECT_FALSE(url.SetPort(static_cast<const char*>(nullptr)));
  EXPECT_TRUE(url.SetPath("/a/../b?z"));
  EXPECT_STREQ(url.GetURL(), L"http://other:8080/b?z");
  EXPECT_STREQ(url.GetQueryA(), "z");

  LmqURL copy;
  copy = url;
  EXPECT_STREQ(copy.GetURL(), L"http://other:8080/b?z");
  EXPECT_STREQ(copy.GetQuery(), L"z");
  EXPECT_EQ(copy.GetSocketAddress().port, url.GetSocketAddress().port);

  url.Reset();
  EXPECT_STREQ(url.GetURL(), L"");
  EXPECT_STREQ(url.GetHostA(), "");
  EXPECT_EQ(url.GetSocketAddress().port, 0);
  EXPECT_STREQ(copy.GetHostA(), "other");
}

}  // namespace
