// lmq_url_fuzz.cpp - URLs of any text must parse without a crash, a hang or
// a leak, and whatever parses must hang together.
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "base/wide_text.h"
#include "lmq/lmq_string_util.h"
#include "lmq/lmq_url.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
  const std::wstring text = orb::Utf8ToWide(std::string_view(reinterpret_cast<const char*>(data), size));
  if (text.find(L'\0') != std::wstring::npos) return 0;
  LmqURL url;
  if (!url.Parse(text.c_str(), false)) return 0;

  const std::wstring path = url.GetPath();
  const std::wstring query = url.GetQuery();
  // The query is the tail of the path after its first "?".
  const std::size_t question = path.find(L'?');
  if (question == std::wstring::npos ? !query.empty() : path.substr(question + 1) != query) std::abort();
  if (url.HasScheme()) {
    const std::wstring full = url.GetURL();
    const std::wstring start = std::wstring(url.GetScheme()) + L"://" + url.GetHost();
    if (full.compare(0, start.size(), start) != 0) std::abort();
    if (full.size() < path.size() || full.compare(full.size() - path.size(), path.size(), path) != 0) std::abort();
    const bool dotted = g_lmqStringUtil.IsDottedIPv4(url.GetHostA());
    if (dotted != (url.GetSocketAddress().family == 2)) std::abort();
  } else if (std::wstring(url.GetURL()) != path) {
    std::abort();
  }
  // Copies and the narrow views must not fail either.
  LmqURL copy;
  copy = url;
  if (std::strcmp(copy.GetURLA(), url.GetURLA()) != 0) std::abort();
  return 0;
}
