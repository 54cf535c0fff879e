// store_query_fuzz.cpp - a content URL from a control file gets the store's
// query: any URL text must split, take the query and compose again without
// a crash or a hang, and a URL that takes it must keep its own query and
// fragment around the new one and stay within the composer's buffer.
#include <cstdlib>
#include <string>
#include <string_view>

#include "base/wide_text.h"
#include "content/url_trans.h"
#include "platform/url.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
  const std::wstring url = orb::Utf8ToWide(std::string_view(reinterpret_cast<const char*>(data), size));
  if (url.find(L'\0') != std::wstring::npos) return 0;  // a C string ends there anyway
  static const wchar_t kQuery[] = L"product=010A&country=JP";

  orb::platform::UrlParts before;
  const bool splits = orb::platform::SplitUrl(url.c_str(), &before) == 0;
  CUrlTrans trans;
  if (FAILED(trans.SetUrl(url.c_str()))) std::abort();
  if (FAILED(trans.AddQuery(kQuery))) {
    if (trans.Url() != url) std::abort();  // a failure leaves the URL alone
    return 0;
  }
  if (!splits) std::abort();
  if (trans.Url().size() > CUrlTrans::kMaxUrlChars) std::abort();

  const std::wstring& extra = before.extra;
  const std::size_t hash = extra.find(L'#');
  const std::wstring query = extra.substr(0, hash);
  const std::wstring fragment = hash == std::wstring::npos ? std::wstring() : extra.substr(hash);
  const std::wstring expected = query + (query.empty() ? L"?" : L"&") + kQuery + fragment;
  const std::wstring& result = trans.Url();
  if (result.size() < expected.size() || result.compare(result.size() - expected.size(), expected.size(), expected) != 0) {
    std::abort();
  }
  return 0;
}
