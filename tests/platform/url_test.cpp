#include "platform/url.h"

#include <gtest/gtest.h>

#include "base/status.h"
#include "platform/file_system.h"

namespace {

using orb::platform::CrackedUrl;
using orb::platform::CrackUrl;
using orb::platform::SysError;
using orb::platform::UrlScheme;
namespace we = orb::win32_error;

constexpr std::size_t kHost = 257;   // the transports' buffers, NUL included
constexpr std::size_t kPath = 2085;

const bool kWindows = orb::platform::kPathSeparator == L'\\';

// WinINet on Windows and our own cracker on Linux: one table, the same
// answers.
TEST(CrackUrl, NetworkUrlsCrackAlikeOnEveryPlatform) {
  const struct {
    const wchar_t* url;
    SysError error;
    UrlScheme scheme;
    const wchar_t* host;
    int port;
    const wchar_t* path;
  } cases[] = {
      {L"http://127.0.0.1:5000/c/a.mp4?product=0A1B&country=us", 0, UrlScheme::kHttp, L"127.0.0.1", 5000,
       L"/c/a.mp4?product=0A1B&country=us"},
      {L"http://h/p%20q?a=%20", 0, UrlScheme::kHttp, L"h", 80, L"/p q?a= "},
      {L"HTTP://h:81/p", 0, UrlScheme::kHttp, L"h", 81, L"/p"},
      {L"Http://h/x", 0, UrlScheme::kHttp, L"h", 80, L"/x"},
      {L"https://u:p@h/x", 0, UrlScheme::kHttps, L"h", 443, L"/x"},
      {L"HTTPS://H/X", 0, UrlScheme::kHttps, L"H", 443, L"/X"},
      {L"ftp://h/x", 0, UrlScheme::kFtp, L"h", 21, L"/x"},
      {L"http://h", 0, UrlScheme::kHttp, L"h", 80, L"/"},
      {L"https://h", 0, UrlScheme::kHttps, L"h", 443, L"/"},
      {L"http://h:8080", 0, UrlScheme::kHttp, L"h", 8080, L"/"},
      {L"http://h:65535/x", 0, UrlScheme::kHttp, L"h", 65535, L"/x"},
      {L"http://h:/x", 0, UrlScheme::kHttp, L"h", 0, L"/x"},
      {L"http://h:abc/x", 0, UrlScheme::kHttp, L"h", 0, L"/x"},
      {L"http://u@h/x", 0, UrlScheme::kHttp, L"h", 80, L"/x"},
      {L"http://[::1]:8080/x", 0, UrlScheme::kHttp, L"[::1]", 8080, L"/x"},
      {L"http://h?x", 0, UrlScheme::kHttp, L"h", 80, L"?x"},
      {L"http://h#f", 0, UrlScheme::kHttp, L"h", 80, L"#f"},
      {L"http://h/x?q=%26#frag%20", 0, UrlScheme::kHttp, L"h", 80, L"/x?q=&#frag "},
      {L"http:///x", 0, UrlScheme::kHttp, L"", 80, L"/x"},
      {L"http://h/a%2", 0, UrlScheme::kHttp, L"h", 80, L"/a%2"},
      {L"http://h/%41%42%zz", 0, UrlScheme::kHttp, L"h", 80, L"/AB%zz"},
      {L"http://h/a%2fb", 0, UrlScheme::kHttp, L"h", 80, L"/a/b"},
      {L"http://h/a\\b", 0, UrlScheme::kHttp, L"h", 80, L"/a/b"},
      {L"http://h%41/x", 0, UrlScheme::kHttp, L"hA", 80, L"/x"},
      {L"abc://h/x", 0, UrlScheme::kOther, L"h", 0, L"/x"},
      {L"git+ssh://h/x", 0, UrlScheme::kOther, L"h", 0, L"/x"},
      {L"mailto:x@y", 0, UrlScheme::kOther, L"", 0, L"x@y"},
      // Failures.
      {L"", we::kInvalidParameter, UrlScheme::kOther, L"", 0, L""},
      {L"/home/u/x.mp4", we::kInternetUnrecognizedScheme, UrlScheme::kOther, L"", 0, L""},
      {L" http://h/x", we::kInternetUnrecognizedScheme, UrlScheme::kOther, L"", 0, L""},
      {L"ht_tp://h/x", we::kInternetUnrecognizedScheme, UrlScheme::kOther, L"", 0, L""},
      // A decoded NUL would end the path early and name another resource.
      {L"http://h/p%00q", we::kInternetInvalidUrl, UrlScheme::kOther, L"", 0, L""},
      {L"file:///C:/a%00b", we::kInternetInvalidUrl, UrlScheme::kOther, L"", 0, L""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(c.url)));
    CrackedUrl got;
    ASSERT_EQ(CrackUrl(c.url, kHost, kPath, &got), c.error);
    EXPECT_EQ(got.scheme, c.scheme);
    EXPECT_EQ(got.host, c.host);
    EXPECT_EQ(got.port, c.port);
    EXPECT_EQ(got.path, c.path);
  }
  CrackedUrl got;
  EXPECT_EQ(CrackUrl(nullptr, kHost, kPath, &got), we::kInvalidParameter);
}

// A file URL names a file in the host's own path form; a row's null answer
// is a URL that platform does not meet.
TEST(CrackUrl, FileUrlsGiveTheHostsPath) {
  const struct {
    const wchar_t* url;
    const wchar_t* windows;
    const wchar_t* linux;
  } cases[] = {
      {L"file:///C:/dir/a%20b.mp4", L"C:\\dir\\a b.mp4", L"/C:/dir/a b.mp4"},
      {L"FILE:///C:/x", L"C:\\x", L"/C:/x"},
      {L"file:///C:/dir/x?y=1#z", L"C:\\dir\\x?y=1#z", L"/C:/dir/x?y=1#z"},
      {L"file:///C:/a%20%20b%2B", L"C:\\a  b+", L"/C:/a  b+"},
      {L"file:///home/u/a%20b.mp4", nullptr, L"/home/u/a b.mp4"},
      {L"file://localhost/home/u/x", nullptr, L"/home/u/x"},
      {L"file:///tmp/x%23y?q", nullptr, L"/tmp/x#y?q"},
      {L"file:/tmp/x", nullptr, L"/tmp/x"},
      {L"file:///", nullptr, L"/"},
      // WinINet turns each %XX into one character; Linux names are UTF-8.
      {L"file:///C:/%E3%81%82.mp4", L"C:\\\u00e3\u0081\u0082.mp4", L"/C:/\u3042.mp4"},
      // Another machine's file is no local path.
      {L"file://server/share/x.txt", L"", L""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(c.url)));
    const wchar_t* want = kWindows ? c.windows : c.linux;
    if (want == nullptr) continue;
    CrackedUrl got;
    ASSERT_EQ(CrackUrl(c.url, kHost, kPath, &got), 0u);
    EXPECT_EQ(got.scheme, UrlScheme::kFile);
    EXPECT_EQ(got.port, 0);
    EXPECT_EQ(got.path, want);
  }
}

TEST(CrackUrl, BufferLimitsCountDecodedCharactersWithTheNul) {
  const struct {
    const char* name;
    std::wstring url;
    SysError error;
  } cases[] = {
      {"host of 256", L"http://" + std::wstring(256, L'h') + L"/x", 0},
      {"host of 257", L"http://" + std::wstring(257, L'h') + L"/x", we::kInsufficientBuffer},
      {"path of 2084", L"http://h/" + std::wstring(2083, L'a'), 0},
      {"path of 2085", L"http://h/" + std::wstring(2084, L'a'), we::kInsufficientBuffer},
      {"encoded path that decodes to 2084", L"http://h/" + std::wstring(2079, L'a') + L"%20%20%20%20", 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    CrackedUrl got;
    EXPECT_EQ(CrackUrl(c.url.c_str(), kHost, kPath, &got), c.error);
  }
  // No file that the system could open has a longer name than this: Windows
  // refuses such a file URL before WinINet sees it (some WinINet versions
  // overrun a buffer there); Linux names may be longer.
  const std::wstring longFile = L"file:///C:/" + std::wstring(300, L'a');
  CrackedUrl got;
  EXPECT_EQ(CrackUrl(longFile.c_str(), kHost, kPath, &got), kWindows ? we::kInsufficientBuffer : 0u);
}

// Splitting keeps every part as written; composing puts the same URL
// together again. WinINet on Windows, our own code on Linux: one table.
TEST(SplitUrl, PartsAsWrittenAndComposedAgain) {
  using orb::platform::UrlParts;
  const struct {
    const wchar_t* url;
    UrlScheme scheme;
    const wchar_t* schemeName;
    const wchar_t* host;
    const wchar_t* user;
    const wchar_t* password;
    int port;
    const wchar_t* path;
    const wchar_t* extra;
    const wchar_t* composed;  // null: the URL itself
  } cases[] = {
      {L"http://h/p?a=1#top", UrlScheme::kHttp, L"http", L"h", L"", L"", 80, L"/p", L"?a=1#top", nullptr},
      {L"http://u:pw@h:8080/p%20q?x#f", UrlScheme::kHttp, L"http", L"h", L"u", L"pw", 8080, L"/p%20q", L"?x#f",
       nullptr},
      {L"HTTP://H/X", UrlScheme::kHttp, L"HTTP", L"H", L"", L"", 80, L"/X", L"", nullptr},
      {L"https://h:443/p", UrlScheme::kHttps, L"https", L"h", L"", L"", 443, L"/p", L"", L"https://h/p"},
      {L"http://h:80/p", UrlScheme::kHttp, L"http", L"h", L"", L"", 80, L"/p", L"", L"http://h/p"},
      {L"https://h:80/p", UrlScheme::kHttps, L"https", L"h", L"", L"", 80, L"/p", L"", nullptr},
      {L"http://h", UrlScheme::kHttp, L"http", L"h", L"", L"", 80, L"", L"", L"http://h/"},
      {L"http://h?x", UrlScheme::kHttp, L"http", L"h", L"", L"", 80, L"", L"?x", L"http://h/?x"},
      {L"http://h#f", UrlScheme::kHttp, L"http", L"h", L"", L"", 80, L"", L"#f", L"http://h/#f"},
      {L"http://h/a#b?c", UrlScheme::kHttp, L"http", L"h", L"", L"", 80, L"/a#b", L"?c", nullptr},
      {L"http://h/x?q=%26#frag%20", UrlScheme::kHttp, L"http", L"h", L"", L"", 80, L"/x", L"?q=%26#frag%20",
       nullptr},
      {L"http://h:0/x", UrlScheme::kHttp, L"http", L"h", L"", L"", 0, L"/x", L"", L"http://h/x"},
      {L"http://h:99999/x", UrlScheme::kHttp, L"http", L"h", L"", L"", 34463, L"/x", L"", L"http://h:34463/x"},
      {L"http://u@h/x", UrlScheme::kHttp, L"http", L"h", L"u", L"", 80, L"/x", L"", nullptr},
      {L"http://a@b@h/x", UrlScheme::kHttp, L"http", L"b@h", L"a", L"", 80, L"/x", L"", nullptr},
      {L"http://[::1]:8080/x", UrlScheme::kHttp, L"http", L"[::1]", L"", L"", 8080, L"/x", L"", nullptr},
      {L"http://h/a\\b", UrlScheme::kHttp, L"http", L"h", L"", L"", 80, L"/a\\b", L"", nullptr},
      {L"http:///x", UrlScheme::kHttp, L"http", L"", L"", L"", 80, L"/x", L"", nullptr},
      {L"ftp://h/x", UrlScheme::kFtp, L"ftp", L"h", L"", L"", 21, L"/x", L"", nullptr},
      {L"abc://h/x", UrlScheme::kOther, L"abc", L"h", L"", L"", 0, L"/x", L"", nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(c.url)));
    UrlParts parts;
    ASSERT_EQ(orb::platform::SplitUrl(c.url, &parts), 0u);
    EXPECT_EQ(parts.scheme, c.scheme);
    EXPECT_EQ(parts.schemeName, c.schemeName);
    EXPECT_EQ(parts.host, c.host);
    EXPECT_EQ(parts.userName, c.user);
    EXPECT_EQ(parts.password, c.password);
    EXPECT_EQ(parts.port, c.port);
    EXPECT_EQ(parts.path, c.path);
    EXPECT_EQ(parts.extra, c.extra);
    std::wstring composed;
    ASSERT_EQ(orb::platform::ComposeUrl(parts, 2085, &composed), 0u);
    EXPECT_EQ(composed, c.composed != nullptr ? c.composed : c.url);
  }
}

TEST(SplitUrl, LimitsAndFailures) {
  using orb::platform::UrlParts;
  const std::wstring a2046(2046, L'a');
  const struct {
    const char* name;
    std::wstring url;
    SysError error;
  } cases[] = {
      {"scheme of 31", std::wstring(31, L's') + L"://h/x", 0},
      {"scheme of 32", std::wstring(32, L's') + L"://h/x", we::kInsufficientBuffer},
      {"host of 255", L"http://" + std::wstring(255, L'h') + L"/x", 0},
      {"host of 256", L"http://" + std::wstring(256, L'h') + L"/x", we::kInsufficientBuffer},
      {"user of 127", L"http://" + std::wstring(127, L'u') + L"@h/x", 0},
      {"user of 128", L"http://" + std::wstring(128, L'u') + L"@h/x", we::kInsufficientBuffer},
      {"password of 127", L"http://u:" + std::wstring(127, L'p') + L"@h/x", 0},
      {"password of 128", L"http://u:" + std::wstring(128, L'p') + L"@h/x", we::kInsufficientBuffer},
      {"path of 2083", L"http://h/" + std::wstring(2082, L'a'), 0},
      {"path of 2084", L"http://h/" + std::wstring(2083, L'a'), we::kInsufficientBuffer},
      {"extra of 2047", L"http://h/x?" + a2046, 0},
      {"extra of 2048", L"http://h/x?" + a2046 + L"a", we::kInsufficientBuffer},
      {"empty", L"", we::kInvalidParameter},
      {"no scheme", L"/home/u/x.mp4", we::kInternetUnrecognizedScheme},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    UrlParts parts;
    EXPECT_EQ(orb::platform::SplitUrl(c.url.c_str(), &parts), c.error);
  }
  UrlParts parts;
  EXPECT_EQ(orb::platform::SplitUrl(nullptr, &parts), we::kInvalidParameter);

  // The composed URL must fit the buffer with its NUL.
  ASSERT_EQ(orb::platform::SplitUrl(L"http://h/abc", &parts), 0u);
  std::wstring url;
  EXPECT_EQ(orb::platform::ComposeUrl(parts, 13, &url), 0u);
  EXPECT_EQ(url, L"http://h/abc");
  EXPECT_EQ(orb::platform::ComposeUrl(parts, 12, &url), we::kInsufficientBuffer);
  // A password without a user name cannot be written.
  parts.password = L"p";
  EXPECT_EQ(orb::platform::ComposeUrl(parts, 2085, &url), we::kInvalidParameter);
}

}  // namespace
