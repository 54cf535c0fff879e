// internet_request_win32.cpp - the system HTTP client on WinINet.
#include <new>
#include <vector>

#include "net/internet_request.h"
#include "platform/codepage.h"
#include "platform/win32/windows_api.h"

#include <wininet.h>

namespace orb::net {

namespace {

// Always from the server: never from the cache, nothing written to it.
constexpr DWORD kRequestFlags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE;
// The buffer for the session's proxy information.
constexpr DWORD kProxyInfoBytes = 4096;
// The first try for the URL after redirects; a longer one gets the size
// WinINet asks for (store URLs reach 2048 characters).
constexpr DWORD kUrlBufferBytes = 1024;

// INTERNET_PROXY_INFO as the narrow (A) question fills it; the SDK's
// structure follows UNICODE and would read wide pointers.
struct ProxyInfoA {
  DWORD accessType;
  const char* proxy;
  const char* proxyBypass;
};

HRESULT LastInternetError() { return StatusFromInternetError(GetLastError()); }

}  // namespace

struct InternetRequest::State {
  HINTERNET session = nullptr;
  HINTERNET connection = nullptr;
  HINTERNET request = nullptr;

  State() = default;
  State(const State&) = delete;
  State& operator=(const State&) = delete;
  ~State() {
    if (request != nullptr) InternetCloseHandle(request);
    if (connection != nullptr) InternetCloseHandle(connection);
    if (session != nullptr) InternetCloseHandle(session);
  }
};

InternetRequest::InternetRequest() = default;

InternetRequest::~InternetRequest() { Close(); }

bool InternetRequest::ProxyFromEnvironment() { return false; }

void InternetRequest::Close() { state_.reset(); }

HRESULT InternetRequest::SendRequest(const InternetTarget& target, const wchar_t* userAgent, const wchar_t* verb,
                                     std::uint32_t receiveTimeoutMs) {
  Close();
  std::unique_ptr<State> state(new (std::nothrow) State);
  if (state == nullptr) return E_OUTOFMEMORY;
  state->session = InternetOpenW(userAgent, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
  if (state->session == nullptr) return LastInternetError();
  DWORD timeout = receiveTimeoutMs;
  InternetSetOptionW(state->session, INTERNET_OPTION_RECEIVE_TIMEOUT, &timeout, sizeof timeout);
  state->connection = InternetConnectW(state->session, target.host.c_str(), target.port, nullptr, nullptr,
                                       INTERNET_SERVICE_HTTP, 0, 0);
  if (state->connection == nullptr) return LastInternetError();
  const DWORD flags = kRequestFlags | (target.secure ? INTERNET_FLAG_SECURE : 0);
  state->request =
      HttpOpenRequestW(state->connection, verb, target.object.c_str(), nullptr, nullptr, nullptr, flags, 0);
  if (state->request == nullptr) return ORB_E_REQUEST_FAILED;
  // The request inherits the session's time-out in WinINet; Wine applies
  // only what is set on the request itself.
  InternetSetOptionW(state->request, INTERNET_OPTION_RECEIVE_TIMEOUT, &timeout, sizeof timeout);
  if (!HttpSendRequestW(state->request, nullptr, 0, nullptr, 0)) return LastInternetError();
  state_ = std::move(state);
  return S_OK;
}

bool InternetRequest::QueryHeader(Header header, std::size_t capacityBytes, std::wstring* value) const {
  if (state_ == nullptr || value == nullptr) return false;
  DWORD info = HTTP_QUERY_STATUS_CODE;
  if (header == Header::kContentLength) info = HTTP_QUERY_CONTENT_LENGTH;
  if (header == Header::kContentType) info = HTTP_QUERY_CONTENT_TYPE;
  std::vector<wchar_t> buffer(capacityBytes / sizeof(wchar_t) + 1, L'\0');
  DWORD length = static_cast<DWORD>(capacityBytes);
  if (!HttpQueryInfoW(state_->request, info, buffer.data(), &length, nullptr)) return false;
  value->assign(buffer.data(), length / sizeof(wchar_t));
  return true;
}

HRESULT InternetRequest::ReadSome(void* buffer, std::uint32_t wanted, std::uint32_t* got) {
  *got = 0;
  if (state_ == nullptr) return E_INVALIDARG;
  DWORD read = 0;
  if (!InternetReadFile(state_->request, buffer, wanted, &read)) return ORB_E_READ_BODY;
  *got = read;
  return S_OK;
}

HRESULT InternetRequest::QueryUrl(std::wstring* url) const {
  if (state_ == nullptr) return E_INVALIDARG;
  DWORD length = kUrlBufferBytes;
  for (int attempt = 0; attempt < 2; ++attempt) {
    std::vector<wchar_t> buffer(length / sizeof(wchar_t) + 1, L'\0');
    DWORD size = length;
    if (InternetQueryOptionW(state_->request, INTERNET_OPTION_URL, buffer.data(), &size)) {
      url->assign(buffer.data());
      return S_OK;
    }
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || size <= length) break;
    length = size;
  }
  return LastInternetError();
}

bool InternetRequest::QueryViaProxy() const {
  if (state_ == nullptr) return false;
  DWORD flags = 0;
  DWORD size = sizeof flags;
  if (!InternetQueryOptionW(state_->request, INTERNET_OPTION_REQUEST_FLAGS, &flags, &size)) return false;
  return (flags & INTERNET_REQFLAG_VIA_PROXY) != 0;
}

HRESULT InternetRequest::QueryProxyList(std::wstring* list, bool* present) const {
  *present = false;
  list->clear();
  if (state_ == nullptr) return E_INVALIDARG;
  // DWORD-aligned room for the structure and the strings WinINet puts after it.
  std::vector<DWORD> buffer(kProxyInfoBytes / sizeof(DWORD), 0);
  DWORD size = kProxyInfoBytes;
  if (!InternetQueryOptionA(state_->session, INTERNET_OPTION_PROXY, buffer.data(), &size)) {
    return LastInternetError();
  }
  const auto* info = reinterpret_cast<const ProxyInfoA*>(buffer.data());
  if (info->proxy == nullptr) return S_OK;
  // The list is in the system's ANSI code page.
  if (FAILED(orb::platform::AnsiToWide(info->proxy, list))) return ORB_E_UNEXPECTED;
  *present = true;
  return S_OK;
}

}  // namespace orb::net
