// internet_request_posix.cpp - the system HTTP client on libcurl.
//
// One easy handle driven by its own multi handle, so that the body is
// pulled by Read as WinINet's callers pull it, instead of pushed by curl.
// Redirects are followed here, one request per hop, so that the proxy is
// chosen for every hop's host and the proxy of the last hop is known.
#include <curl/curl.h>
#include <strings.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <new>
#include <string>
#include <vector>

#include "base/wide_text.h"
#include "net/http_values.h"
#include "net/internet_request.h"

namespace orb::net {

namespace {

// WinINet's own connect time-out (the receive time-out, when shorter,
// ends a connect that hangs first).
constexpr long kConnectTimeoutMs = 60000;
constexpr int kMaxRedirects = 20;
// A proxy setting without a port means curl's default proxy port.
constexpr std::uint16_t kDefaultProxyPort = 1080;
// Body bytes held for the reader before curl is paused: a slow reader
// never makes the buffer grow without bound.
constexpr std::size_t kMaxBuffered = 256 * 1024;
// The longest wait in one poll; curl's own timers (connect, receive) are
// checked at least this often.
constexpr int kPollMs = 250;

void GlobalInit() {
  static const CURLcode initialised = curl_global_init(CURL_GLOBAL_DEFAULT);
  (void)initialised;
}

// curl's errors as WinINet's numbers for the same causes.
std::uint32_t InternetErrorFromCurl(CURLcode code) {
  switch (code) {
    case CURLE_UNSUPPORTED_PROTOCOL: return win32_error::kInternetUnrecognizedScheme;
    case CURLE_URL_MALFORMAT: return win32_error::kInternetInvalidUrl;
    case CURLE_COULDNT_RESOLVE_PROXY:
    case CURLE_COULDNT_RESOLVE_HOST: return win32_error::kInternetNameNotResolved;
    case CURLE_COULDNT_CONNECT: return win32_error::kInternetCannotConnect;
    case CURLE_OPERATION_TIMEDOUT: return win32_error::kInternetTimeout;
    case CURLE_GOT_NOTHING:
    case CURLE_WEIRD_SERVER_REPLY:
    case CURLE_HTTP2:
    case CURLE_HTTP2_STREAM: return win32_error::kHttpInvalidServerResponse;
    case CURLE_SEND_ERROR:
    case CURLE_RECV_ERROR: return win32_error::kInternetConnectionReset;
    case CURLE_PARTIAL_FILE: return win32_error::kInternetConnectionAborted;
    case CURLE_TOO_MANY_REDIRECTS: return win32_error::kHttpRedirectFailed;
    case CURLE_PEER_FAILED_VERIFICATION: return win32_error::kInternetInvalidCa;
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_SSL_ENGINE_NOTFOUND:
    case CURLE_SSL_ENGINE_SETFAILED:
    case CURLE_SSL_CERTPROBLEM:
    case CURLE_SSL_CIPHER:
    case CURLE_USE_SSL_FAILED:
    case CURLE_SSL_ENGINE_INITFAILED:
    case CURLE_SSL_CACERT_BADFILE:
    case CURLE_SSL_SHUTDOWN_FAILED:
    case CURLE_SSL_CRL_BADFILE:
    case CURLE_SSL_ISSUER_ERROR:
    case CURLE_SSL_PINNEDPUBKEYNOTMATCH:
    case CURLE_SSL_INVALIDCERTSTATUS:
    case CURLE_SSL_CLIENTCERT: return win32_error::kInternetSecurityChannelError;
    default: return win32_error::kGenFailure;  // outside WinINet's range: ORB_E_INTERNET
  }
}

HRESULT StatusFromCurl(CURLcode code) { return StatusFromInternetError(InternetErrorFromCurl(code)); }

const char* Environment(const char* name, const char* otherName = nullptr) {
  const char* value = std::getenv(name);
  if ((value == nullptr || *value == '\0') && otherName != nullptr) value = std::getenv(otherName);
  return value != nullptr && *value != '\0' ? value : nullptr;
}

// The system's proxy on Linux: the environment's, as curl and most programs
// read it, as "host:port" (or "" for none). Only the lower-case http_proxy
// counts for http: HTTP_PROXY may come from a request header in CGI
// programs.
std::wstring EnvironmentProxy(bool https, const std::string& host) {
  const char* setting = https ? Environment("https_proxy", "HTTPS_PROXY") : Environment("http_proxy");
  if (setting == nullptr) return L"";
  const char* noProxy = Environment("no_proxy", "NO_PROXY");
  if (noProxy != nullptr && ProxyBypassed(Utf8ToWide(noProxy), Utf8ToWide(host))) return L"";
  return HttpProxyFromList(Utf8ToWide(setting), kDefaultProxyPort);
}

bool IsRedirect(long code) { return code == 301 || code == 302 || code == 303 || code == 307 || code == 308; }

bool StartsWithNoCase(const std::string& text, const char* prefix) {
  const std::size_t n = std::strlen(prefix);
  return text.size() >= n && strncasecmp(text.c_str(), prefix, n) == 0;
}

std::string UrlText(const InternetTarget& target) {
  std::string host = WideToUtf8(target.host);
  if (host.find(':') != std::string::npos && host.front() != '[') host = "[" + host + "]";
  return std::string(target.secure ? "https://" : "http://") + host + ":" + std::to_string(target.port) +
         WideToUtf8(target.object);
}

// Scheme and host of a URL, as curl reads it.
bool SchemeAndHost(const std::string& url, bool* https, std::string* host) {
  CURLU* parsed = curl_url();
  if (parsed == nullptr) return false;
  char* scheme = nullptr;
  char* name = nullptr;
  const bool ok = curl_url_set(parsed, CURLUPART_URL, url.c_str(), 0) == CURLUE_OK &&
                  curl_url_get(parsed, CURLUPART_SCHEME, &scheme, 0) == CURLUE_OK &&
                  curl_url_get(parsed, CURLUPART_HOST, &name, 0) == CURLUE_OK;
  if (ok) {
    *https = std::strcmp(scheme, "https") == 0;
    *host = name;
  }
  curl_free(scheme);
  curl_free(name);
  curl_url_cleanup(parsed);
  return ok;
}

}  // namespace

struct InternetRequest::State {
  CURLM* multi = nullptr;
  CURL* easy = nullptr;
  bool attached = false;
  // The response being read: its header lines, its status, whether its
  // head is complete, whether the transfer is over and how it ended.
  std::vector<std::string> headers;
  long code = 0;
  bool headDone = false;
  bool finished = false;
  CURLcode result = CURLE_OK;
  // Body bytes received and not yet read; `taken` of them already read.
  std::string body;
  std::size_t taken = 0;
  bool paused = false;
  // Bytes of heads and bodies that arrived, and the longest wait for more.
  std::uint64_t received = 0;
  std::chrono::milliseconds receiveTimeout{30000};
  // "host:port" of the proxy of the last hop, or "".
  std::wstring proxy;
  std::string proxyOption;

  State() = default;
  State(const State&) = delete;
  State& operator=(const State&) = delete;
  ~State() {
    Detach();
    if (easy != nullptr) curl_easy_cleanup(easy);
    if (multi != nullptr) curl_multi_cleanup(multi);
  }

  void Detach() {
    if (attached) curl_multi_remove_handle(multi, easy);
    attached = false;
  }

  static std::size_t OnHeader(char* data, std::size_t size, std::size_t count, void* user) {
    auto* self = static_cast<State*>(user);
    const std::size_t n = size * count;
    self->received += n;
    std::string line(data, n);
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
    if (StartsWithNoCase(line, "HTTP/")) {
      // A new response (after an interim one): its own head.
      self->headers.clear();
      self->headDone = false;
      const std::size_t space = line.find(' ');
      self->code = space == std::string::npos ? 0 : std::strtol(line.c_str() + space + 1, nullptr, 10);
    } else if (line.empty()) {
      // An interim 1xx head is followed by the real one.
      if (self->code >= 200) self->headDone = true;
    } else {
      self->headers.push_back(std::move(line));
    }
    return n;
  }

  static std::size_t OnBody(char* data, std::size_t size, std::size_t count, void* user) {
    auto* self = static_cast<State*>(user);
    if (self->body.size() - self->taken >= kMaxBuffered) {
      self->paused = true;
      return CURL_WRITEFUNC_PAUSE;
    }
    try {
      self->body.append(data, size * count);
    } catch (const std::bad_alloc&) {
      return 0;  // curl ends the transfer with a write error
    }
    self->headDone = true;
    self->received += size * count;
    return size * count;
  }

  // Sets the easy handle up for one hop and starts it.
  HRESULT Start(const std::string& url, const std::string& userAgent, bool head, std::uint32_t receiveTimeoutMs) {
    Detach();
    curl_easy_reset(easy);
    headers.clear();
    code = 0;
    headDone = finished = paused = false;
    result = CURLE_OK;
    body.clear();
    taken = 0;

    bool https = false;
    std::string host;
    if (!SchemeAndHost(url, &https, &host)) return StatusFromInternetError(win32_error::kInternetInvalidUrl);
    proxy = EnvironmentProxy(https, host);
    // The choice is ours: "" turns curl's own reading of the environment off.
    proxyOption = proxy.empty() ? std::string() : "http://" + WideToUtf8(proxy);
    receiveTimeout = std::chrono::milliseconds(receiveTimeoutMs);

    const bool ok =
        curl_easy_setopt(easy, CURLOPT_URL, url.c_str()) == CURLE_OK &&
        curl_easy_setopt(easy, CURLOPT_USERAGENT, userAgent.c_str()) == CURLE_OK &&
        curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L) == CURLE_OK &&
        curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https") == CURLE_OK &&
        curl_easy_setopt(easy, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1)) == CURLE_OK &&
        curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 0L) == CURLE_OK &&
        curl_easy_setopt(easy, head ? CURLOPT_NOBODY : CURLOPT_HTTPGET, 1L) == CURLE_OK &&
        curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, kConnectTimeoutMs) == CURLE_OK &&
        curl_easy_setopt(easy, CURLOPT_PROXY, proxyOption.c_str()) == CURLE_OK &&
        curl_easy_setopt(easy, CURLOPT_NOPROXY, "") == CURLE_OK &&
        curl_easy_setopt(easy, CURLOPT_SUPPRESS_CONNECT_HEADERS, 1L) == CURLE_OK &&
        curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, &State::OnHeader) == CURLE_OK &&
        curl_easy_setopt(easy, CURLOPT_HEADERDATA, this) == CURLE_OK &&
        curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &State::OnBody) == CURLE_OK &&
        curl_easy_setopt(easy, CURLOPT_WRITEDATA, this) == CURLE_OK;
    if (!ok) return ORB_E_REQUEST_FAILED;
    if (curl_multi_add_handle(multi, easy) != CURLM_OK) return ORB_E_REQUEST_FAILED;
    attached = true;
    return S_OK;
  }

  // Lets curl work until `enough` holds or the transfer is over. WinINet's
  // receive time-out: a wait in which nothing arrives for that long ends
  // the request. (curl's low-speed limit averages over seconds of history,
  // so a stall after a burst would take longer to notice.)
  template <class Predicate>
  void Pump(Predicate enough) {
    auto lastArrival = std::chrono::steady_clock::now();
    std::uint64_t seen = received;
    while (!enough() && !finished) {
      const auto now = std::chrono::steady_clock::now();
      if (received != seen) {
        seen = received;
        lastArrival = now;
      } else if (now - lastArrival > receiveTimeout) {
        finished = true;
        result = CURLE_OPERATION_TIMEDOUT;
        break;
      }
      int running = 0;
      if (curl_multi_perform(multi, &running) != CURLM_OK) {
        finished = true;
        result = CURLE_OUT_OF_MEMORY;
        break;
      }
      int queued = 0;
      while (CURLMsg* message = curl_multi_info_read(multi, &queued)) {
        if (message->msg == CURLMSG_DONE) {
          finished = true;
          result = message->data.result;
        }
      }
      if (enough() || finished) break;
      curl_multi_poll(multi, nullptr, 0, kPollMs, nullptr);
    }
  }
};

InternetRequest::InternetRequest() = default;

InternetRequest::~InternetRequest() { Close(); }

bool InternetRequest::ProxyFromEnvironment() { return true; }

void InternetRequest::Close() { state_.reset(); }

HRESULT InternetRequest::SendRequest(const InternetTarget& target, const wchar_t* userAgent, const wchar_t* verb,
                                     std::uint32_t receiveTimeoutMs) {
  Close();
  GlobalInit();
  std::unique_ptr<State> state(new (std::nothrow) State);
  if (state == nullptr) return E_OUTOFMEMORY;
  state->multi = curl_multi_init();
  state->easy = curl_easy_init();
  if (state->multi == nullptr || state->easy == nullptr) return E_OUTOFMEMORY;

  const std::string agent = WideToUtf8(userAgent != nullptr ? userAgent : L"");
  const bool head = verb != nullptr && std::wcscmp(verb, L"HEAD") == 0;
  std::string url = UrlText(target);
  for (int hop = 0;; ++hop) {
    const HRESULT hr = state->Start(url, agent, head, receiveTimeoutMs);
    if (FAILED(hr)) return hr;
    State* s = state.get();
    s->Pump([s] { return s->headDone; });
    if (!s->headDone) return StatusFromCurl(s->result != CURLE_OK ? s->result : CURLE_GOT_NOTHING);
    char* next = nullptr;
    if (IsRedirect(s->code) && hop < kMaxRedirects &&
        curl_easy_getinfo(s->easy, CURLINFO_REDIRECT_URL, &next) == CURLE_OK && next != nullptr) {
      url = next;
      continue;
    }
    break;
  }
  state_ = std::move(state);
  return S_OK;
}

bool InternetRequest::QueryHeader(Header header, std::size_t capacityBytes, std::wstring* value) const {
  if (state_ == nullptr || value == nullptr) return false;
  std::string text;
  if (header == Header::kStatusCode) {
    if (state_->code <= 0) return false;
    text = std::to_string(state_->code);
  } else {
    const char* name = header == Header::kContentLength ? "Content-Length:" : "Content-Type:";
    bool found = false;
    for (const std::string& line : state_->headers) {
      if (StartsWithNoCase(line, name)) {
        text = line.substr(std::strlen(name));
        found = true;
        break;
      }
    }
    if (!found) return false;
    const std::size_t first = text.find_first_not_of(" \t");
    const std::size_t last = text.find_last_not_of(" \t");
    text = first == std::string::npos ? std::string() : text.substr(first, last - first + 1);
  }
  std::wstring wide;
  if (FAILED(Utf8ToWide(text, &wide))) return false;
  if ((wide.size() + 1) * sizeof(wchar_t) > capacityBytes) return false;
  *value = std::move(wide);
  return true;
}

HRESULT InternetRequest::ReadSome(void* buffer, std::uint32_t wanted, std::uint32_t* got) {
  *got = 0;
  if (state_ == nullptr) return E_INVALIDARG;
  State* s = state_.get();
  for (;;) {
    if (s->taken < s->body.size()) {
      const std::size_t n = std::min<std::size_t>(wanted, s->body.size() - s->taken);
      std::memcpy(buffer, s->body.data() + s->taken, n);
      s->taken += n;
      if (s->taken == s->body.size()) {
        s->body.clear();
        s->taken = 0;
      }
      *got = static_cast<std::uint32_t>(n);
      return S_OK;
    }
    if (wanted == 0) return S_OK;
    if (s->paused) {
      // Everything held was read: curl may deliver again (at once, here).
      s->paused = false;
      curl_easy_pause(s->easy, CURLPAUSE_CONT);
      continue;
    }
    if (s->finished) return s->result == CURLE_OK ? S_OK : ORB_E_READ_BODY;
    s->Pump([s] { return s->taken < s->body.size() || s->paused; });
  }
}

HRESULT InternetRequest::QueryUrl(std::wstring* url) const {
  if (state_ == nullptr) return E_INVALIDARG;
  char* text = nullptr;
  if (curl_easy_getinfo(state_->easy, CURLINFO_EFFECTIVE_URL, &text) != CURLE_OK || text == nullptr) {
    return ORB_E_INTERNET;
  }
  return Utf8ToWide(text, url);
}

bool InternetRequest::QueryViaProxy() const { return state_ != nullptr && !state_->proxy.empty(); }

HRESULT InternetRequest::QueryProxyList(std::wstring* list, bool* present) const {
  list->clear();
  *present = false;
  if (state_ == nullptr) return E_INVALIDARG;
  *list = state_->proxy;
  *present = !list->empty();
  return S_OK;
}

}  // namespace orb::net
