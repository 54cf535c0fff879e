// network_util_http2.cpp - plain HTTP over a socket, after a pre-flight.
#include "net/network_util_http2.h"

#include <algorithm>
#include <cctype>
#include <cwchar>
#include <cwctype>
#include <string>

#include "net/http_values.h"
#include "platform/codepage.h"

namespace {

// The in-house library's failures to connect, as status codes.
HRESULT StatusFromConnect(LmqResult result) {
  switch (result) {
    case LMQ_OK: return S_OK;
    case LMQ_E_FILE: return ORB_E_SOCKET_RESERVED_2;
    case LMQ_E_SOCKET_CREATE: return ORB_E_SOCKET_CREATE;
    case LMQ_E_RESERVED_17: return ORB_E_SOCKET_RESERVED_17;
    case LMQ_E_BIND: return ORB_E_SOCKET_BIND;
    case LMQ_E_CONNECT: return ORB_E_SOCKET_CONNECT;
    case LMQ_E_CONNECT_WAIT: return ORB_E_SOCKET_CONNECT_WAIT;
    case LMQ_E_CONNECT_TIMEOUT: return ORB_E_SOCKET_CONNECT_TIMEOUT;
    case LMQ_E_LOCAL_ADDRESS: return ORB_E_SOCKET_LOCAL_ADDRESS;
    case LMQ_E_RESERVED_190: return ORB_E_SOCKET_RESERVED_190;
    case LMQ_E_RESERVED_192: return ORB_E_SOCKET_RESERVED_192;
    case LMQ_E_RESERVED_202: return ORB_E_SOCKET_RESERVED_202;
    case LMQ_E_RESERVED_203: return ORB_E_SOCKET_RESERVED_203;
    case LMQ_E_ADDRESS: return ORB_E_SOCKET_ADDRESS;
    case LMQ_E_TUNNEL_REFUSED: return ORB_E_SOCKET_PROXY_REFUSED;
    case LMQ_E_PROXY_405: return ORB_E_SOCKET_PROXY_405;
    case LMQ_E_PROXY_407: return ORB_E_SOCKET_PROXY_407;
    case LMQ_E_PROXY_403: return ORB_E_SOCKET_PROXY_403;
    case LMQ_E_RESERVED_262: return ORB_E_SOCKET_RESERVED_262;
    default: return ORB_E_SOCKET_OTHER;
  }
}

bool StartsWithHttp(const std::wstring& url) {
  const wchar_t* scheme = L"http://";
  if (url.size() < 7) return false;
  for (std::size_t i = 0; i < 7; ++i) {
    if (std::towlower(static_cast<wint_t>(url[i])) != static_cast<wint_t>(scheme[i])) return false;
  }
  return true;
}

// As the engine frames a body: "chunked" anywhere in Transfer-Encoding.
bool ContainsChunked(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); });
  return text.find("chunked") != std::string::npos;
}

}  // namespace

CNetworkUtilHTTP2::~CNetworkUtilHTTP2() {
  Close();
  request_.DetachConnection(false);
}

HRESULT CNetworkUtilHTTP2::Open(const wchar_t* url) {
  if (url == nullptr) return E_POINTER;
  // Unread bytes of an earlier response (a body not read to its end, the
  // error page of a failed open) would be read as the next response's head.
  Close();
  HRESULT hr = preflight_.Resolve(url);
  if (FAILED(hr)) return hr;

  std::wstring effective;
  preflight_.GetEffectiveUrl(&effective);
  effective = effective.substr(0, effective.find(L'#'));
  // Redirected to https: this transport speaks only plain HTTP, and TLS
  // bytes would never read as a response.
  if (!StartsWithHttp(effective)) return ORB_E_URL_NOT_SUPPORTED;
  if (!url_.Parse(effective.c_str(), false)) return ORB_E_SOCKET_ADDRESS;

  if (connection_.CheckConnection() == LMQ_E_NOT_CONNECTED) {
    std::wstring proxy;
    preflight_.GetProxy(&proxy);
    request_.SetAbsoluteUri(false);
    connection_.SetProxy(nullptr);
    if (!proxy.empty()) {
      request_.SetAbsoluteUri(true);
      connection_.SetProxy(proxy.c_str());
    }
    const std::wstring target = std::wstring(url_.GetHost()) + L":" + url_.GetPort();
    const LmqTimeout timeout{kConnectSeconds, 0};
    const LmqResult connected = connection_.Connect(target.c_str(), &timeout);
    connection_.SetReceiveBufferSize(kReceiveBufferBytes);
    if (connected != LMQ_OK) return StatusFromConnect(connected);
  }

  if (!request_.SetRequest("GET", "HTTP/1.1", &url_, kRequestHeaders, nullptr, 0)) return ORB_E_REQUEST_FAILED;
  request_.SetTimeout(static_cast<long>(readTimeoutMs_ / 1000), static_cast<long>(readTimeoutMs_ % 1000) * 1000);
  int status = 0;
  if (request_.Execute(&status, &connection_) != LMQ_OK) return ORB_E_REQUEST_FAILED;
  hr = orb::net::StatusFromHttpCode(status);
  if (FAILED(hr)) return hr;

  std::string encoding;
  const bool chunked = request_.GetHeader("Transfer-Encoding", &encoding) && ContainsChunked(encoding);
  untilClose_ = !chunked && !request_.GetHeader("Content-Length", nullptr);
  opened_ = true;
  return S_OK;
}

HRESULT CNetworkUtilHTTP2::QueryContentLength(const wchar_t* url, std::uint64_t* length) {
  if (url == nullptr) return E_POINTER;
  const HRESULT hr = preflight_.Resolve(url);
  if (FAILED(hr)) return hr;
  return preflight_.GetContentLength(length);
}

HRESULT CNetworkUtilHTTP2::GetContentLength(std::uint64_t* length) {
  if (length == nullptr) return E_POINTER;
  if (!opened_) return E_INVALIDARG;
  std::string text;
  if (!request_.GetHeader("Content-Length", &text)) return ORB_E_NO_CONTENT_LENGTH;
  // Digits up to the first other character; none read as 0.
  std::uint64_t value = 0;
  if (!orb::net::ParseContentLength(text, &value)) value = 0;
  *length = value;
  return S_OK;
}

HRESULT CNetworkUtilHTTP2::GetContentType(wchar_t* buffer, std::uint32_t* length) {
  if (buffer == nullptr || length == nullptr) return E_POINTER;
  if (!opened_) return E_INVALIDARG;
  std::string narrow;
  if (!request_.GetHeader("Content-Type", &narrow)) return ORB_E_NO_CONTENT_TYPE;
  std::wstring value;
  if (FAILED(orb::platform::AnsiToWide(narrow, &value))) return ORB_E_NO_CONTENT_TYPE;
  const std::uint32_t capacity = *length;
  std::fill(buffer, buffer + capacity, L'\0');
  const std::size_t copied = capacity == 0 ? 0 : std::min<std::size_t>(value.size(), capacity - 1);
  std::copy(value.begin(), value.begin() + static_cast<std::ptrdiff_t>(copied), buffer);
  *length = static_cast<std::uint32_t>(copied);
  return S_OK;
}

HRESULT CNetworkUtilHTTP2::Read(void* buffer, std::uint32_t wanted, std::uint32_t* got) {
  if (buffer == nullptr || got == nullptr) return E_POINTER;
  *got = 0;
  if (!opened_) return E_INVALIDARG;
  if (broken_) return ORB_E_READ_BODY;
  const LmqResult result = request_.ReadBody(static_cast<char*>(buffer), wanted, got);
  if (result == LMQ_OK) return S_OK;
  // The end of the connection ends a body that only the close frames. A
  // body framed by a length or by chunks that stops early is broken, not
  // complete: reporting success would leave a cut file.
  if (result == LMQ_E_NOT_CONNECTED && untilClose_) return S_OK;
  // Bytes that came before the failure are delivered; the failure is the
  // answer to the next read.
  broken_ = true;
  return *got != 0 ? S_OK : ORB_E_READ_BODY;
}

HRESULT CNetworkUtilHTTP2::Close() {
  connection_.Disconnect();
  opened_ = false;
  untilClose_ = false;
  broken_ = false;
  return S_OK;
}

HRESULT CNetworkUtilHTTP2::GetMaxContentLength(std::uint64_t* limit) {
  if (limit == nullptr) return E_POINTER;
  *limit = kMaxContentLength;
  return S_OK;
}

bool CNetworkUtilHTTP2::IsSupportedUrl(const wchar_t* url) {
  return url != nullptr && std::wcsncmp(url, L"http://", 7) == 0;
}

void CNetworkUtilHTTP2::SetReceiveTimeout(std::uint32_t milliseconds) {
  readTimeoutMs_ = milliseconds;
  preflight_.SetReceiveTimeout(milliseconds);
}
