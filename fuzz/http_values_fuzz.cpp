// http_values_fuzz.cpp - proxy settings, no_proxy lists, Content-Length
// values and request targets from any text: no crash, no hang, and results
// within their rules (a proxy is "host:port" with a port of 1..65535, a
// length fits a signed 64-bit reader, a request object starts with "/" and
// carries no fragment).
#include <cstdlib>
#include <string>
#include <string_view>

#include "base/wide_text.h"
#include "net/http_values.h"
#include "net/internet_request.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const std::wstring text = orb::Utf8ToWide(bytes);

  const std::wstring proxy = orb::net::HttpProxyFromList(text, 80);
  if (!proxy.empty()) {
    const std::size_t colon = proxy.rfind(L':');
    if (colon == std::wstring::npos || colon == 0) std::abort();
    const std::wstring port = proxy.substr(colon + 1);
    if (port.empty() || port.size() > 5 || port.find_first_not_of(L"0123456789") != std::wstring::npos) std::abort();
    const unsigned long value = std::wcstoul(port.c_str(), nullptr, 10);
    if (value == 0 || value > 65535) std::abort();
    if (proxy.find_first_of(L"; \t\r\n") != std::wstring::npos) std::abort();
  }

  const std::size_t split = text.find(L'|');
  if (split != std::wstring::npos) orb::net::ProxyBypassed(text.substr(0, split), text.substr(split + 1));

  std::uint64_t length = 0;
  if (orb::net::ParseContentLength(bytes, &length) && length > 0x7FFFFFFFFFFFFFFFull) std::abort();
  orb::net::StatusFromHttpCodeText(text);

  if (text.find(L'\0') == std::wstring::npos) {
    orb::net::InternetTarget target;
    if (SUCCEEDED(orb::net::TargetFromUrl(text.c_str(), &target))) {
      if (target.object.empty() || target.object.front() != L'/' || target.object.find(L'#') != std::wstring::npos) {
        std::abort();
      }
    }
  }
  return 0;
}
