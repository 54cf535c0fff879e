// internet_request.cpp - the parts of the system HTTP client layer that do
// not depend on the client.
#include "net/internet_request.h"

#include "net/http_values.h"
#include "platform/url.h"

namespace orb::net {

namespace {

// The buffers WinINet's callers hand to its cracker, NUL included.
constexpr std::size_t kHostCapacity = 257;
constexpr std::size_t kPathCapacity = 2085;

}  // namespace

HRESULT TargetFromUrl(const wchar_t* url, InternetTarget* target) {
  if (url == nullptr) return E_POINTER;
  namespace p = orb::platform;
  p::CrackedUrl cracked;
  if (p::CrackUrl(url, kHostCapacity, kPathCapacity, &cracked) != win32_error::kSuccess) {
    return ORB_E_URL_NOT_SUPPORTED;
  }
  if (cracked.scheme != p::UrlScheme::kHttp && cracked.scheme != p::UrlScheme::kHttps) {
    return ORB_E_URL_NOT_SUPPORTED;
  }
  // The request names the object as the URL writes it. The cracker's
  // decoded path would turn %3F into a query and %25 into a bare "%", and
  // so ask the server for another resource than the URL names.
  p::UrlParts parts;
  if (p::SplitUrl(url, &parts) != win32_error::kSuccess) return ORB_E_URL_NOT_SUPPORTED;
  std::wstring object = parts.path + parts.extra;
  // A fragment stays with the client; it is never sent.
  object = object.substr(0, object.find(L'#'));
  if (object.empty() || object.front() != L'/') object.insert(object.begin(), L'/');
  target->secure = cracked.scheme == p::UrlScheme::kHttps;
  target->host = std::move(cracked.host);
  target->port = cracked.port;
  target->object = std::move(object);
  return S_OK;
}

HRESULT InternetRequest::Send(const InternetTarget& target, const wchar_t* userAgent, const wchar_t* verb,
                              std::uint32_t receiveTimeoutMs) {
  bodyRead_ = 0;
  return SendRequest(target, userAgent, verb, receiveTimeoutMs);
}

HRESULT InternetRequest::Read(void* buffer, std::uint32_t wanted, std::uint32_t* got) {
  const HRESULT hr = ReadSome(buffer, wanted, got);
  if (FAILED(hr)) return hr;
  bodyRead_ += *got;
  // WinINet ends a body whose connection closed early like a complete one;
  // the announced length tells a cut body from a whole one.
  std::uint64_t announced = 0;
  if (*got == 0 && wanted != 0 && SUCCEEDED(ContentLength(&announced)) && bodyRead_ < announced) {
    return ORB_E_READ_BODY;
  }
  return S_OK;
}

HRESULT InternetRequest::CheckStatus() const {
  std::wstring text;
  if (!QueryHeader(Header::kStatusCode, kValueBufferBytes, &text)) return ORB_E_STATUS_UNREADABLE;
  return StatusFromHttpCodeText(text);
}

HRESULT InternetRequest::ContentLength(std::uint64_t* length) const {
  if (length == nullptr) return E_POINTER;
  std::wstring text;
  std::uint64_t value = 0;
  if (!QueryHeader(Header::kContentLength, kValueBufferBytes, &text) || !ParseContentLength(text, &value)) {
    return ORB_E_NO_CONTENT_LENGTH;
  }
  *length = value;
  return S_OK;
}

}  // namespace orb::net
