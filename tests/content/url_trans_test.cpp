// CUrlTrans: a query goes after the URL's own query and before its
// fragment, within the limits of the platform's URL buffers.
#include "content/url_trans.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(CUrlTrans, AddQueryKeepsTheUrlsQueryAndFragment) {
  const std::wstring q2044(2044, L'q');
  const struct {
    const char* what;
    std::wstring url;
    std::wstring query;
    HRESULT result;
    std::wstring want;  // the stored URL afterwards
  } cases[] = {
      {"query and fragment", L"http://h/path?a=1#top", L"product=0A1B", S_OK,
       L"http://h/path?a=1&product=0A1B#top"},
      {"neither", L"http://h/p", L"product=0A1B", S_OK, L"http://h/p?product=0A1B"},
      {"fragment only", L"http://h/p#top", L"product=0A1B", S_OK, L"http://h/p?product=0A1B#top"},
      {"empty query still counts as one", L"http://h/p?", L"x=1", S_OK, L"http://h/p?&x=1"},
      {"no path", L"http://h", L"x=1", S_OK, L"http://h/?x=1"},
      {"user, port and scheme case kept", L"HTTPS://u:pw@h:8443/p?x", L"y=2", S_OK,
       L"HTTPS://u:pw@h:8443/p?x&y=2"},
      {"nothing decoded or escaped", L"http://h/a%20b?q=%26", L"c=J P", S_OK, L"http://h/a%20b?q=%26&c=J P"},
      {"query + extra + 2 = 2048", L"http://h/p?a", q2044, S_OK, L"http://h/p?a&" + q2044},
      {"query + extra + 2 = 2049", L"http://h/p?a", q2044 + L"q", ORB_E_URL_NOT_SUPPORTED, L"http://h/p?a"},
      {"composed URL over 2084 characters", L"http://h/" + std::wstring(2050, L'p'), std::wstring(40, L'q'),
       ORB_E_URL_NOT_SUPPORTED, L"http://h/" + std::wstring(2050, L'p')},
      {"not a URL", L"/home/u/a.mp4", L"x=1", ORB_E_URL_NOT_SUPPORTED, L"/home/u/a.mp4"},
      {"no URL", L"", L"x=1", ORB_E_URL_NOT_SUPPORTED, L""},
      {"empty query", L"http://h/p", L"", E_POINTER, L"http://h/p"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    CUrlTrans trans;
    ASSERT_EQ(trans.SetUrl(c.url.c_str()), S_OK);
    EXPECT_EQ(trans.AddQuery(c.query.c_str()), c.result);
    EXPECT_EQ(trans.Url(), c.want);
  }
  CUrlTrans trans;
  EXPECT_EQ(trans.AddQuery(nullptr), E_POINTER);
  EXPECT_EQ(trans.SetUrl(nullptr), E_POINTER);
}

TEST(CUrlTrans, CopyToAlwaysEndsTheBufferWithNul) {
  CUrlTrans trans;
  ASSERT_EQ(trans.SetUrl(L"http://h/p"), S_OK);
  std::size_t length = 0;
  ASSERT_EQ(trans.GetLength(&length), S_OK);
  EXPECT_EQ(length, 10u);
  EXPECT_EQ(trans.GetLength(nullptr), E_POINTER);

  wchar_t buffer[16];
  std::fill(std::begin(buffer), std::end(buffer), L'#');
  ASSERT_EQ(trans.CopyTo(buffer, length + 1), S_OK);
  EXPECT_EQ(std::wstring(buffer), L"http://h/p");
  // Too small: cut, terminated in its last place, nothing written beyond.
  std::fill(std::begin(buffer), std::end(buffer), L'#');
  ASSERT_EQ(trans.CopyTo(buffer, 5), S_OK);
  EXPECT_EQ(std::wstring(buffer), L"http");
  EXPECT_EQ(buffer[5], L'#');
  EXPECT_EQ(trans.CopyTo(buffer, 0), S_OK);
  EXPECT_EQ(buffer[0], L'h');
  EXPECT_EQ(trans.CopyTo(nullptr, 5), E_POINTER);
}

}  // namespace
