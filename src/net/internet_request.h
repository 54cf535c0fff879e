// internet_request.h - one HTTP request through the system's own HTTP
// client, the layer under the WinINet transport and the pre-flight.
//
// Windows: WinINet, with the system's configured Internet settings (proxy,
// redirects followed). Linux: libcurl, with the proxy of the environment
// (http_proxy, https_proxy/HTTPS_PROXY, no_proxy/NO_PROXY) as the system's
// settings, redirects followed the same way. Both report failures as
// WinINet's error numbers turned into status codes
// (orb::StatusFromInternetError), so callers and messages do not differ.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "base/status.h"

namespace orb::net {

// Where a request goes: host, port and the object (path and query as the
// URL writes them, no fragment).
struct InternetTarget {
  bool secure = false;  // https: TLS on the connection
  std::wstring host;
  std::uint16_t port = 0;
  std::wstring object;
};

// An http or https URL as a target. The URL is checked with the decoding
// cracker (host up to 256, path up to 2084 characters); anything else, or
// another scheme, is ORB_E_URL_NOT_SUPPORTED.
HRESULT TargetFromUrl(const wchar_t* url, InternetTarget* target);

class InternetRequest {
 public:
  enum class Header { kStatusCode, kContentLength, kContentType };

  InternetRequest();
  ~InternetRequest();
  InternetRequest(const InternetRequest&) = delete;
  InternetRequest& operator=(const InternetRequest&) = delete;

  // Closes what was open, then sends one request ("GET" or "HEAD", no
  // extra headers, no body, always from the server and never from a cache)
  // and returns once the head of the response has arrived; redirects are
  // followed. ORB_E_REQUEST_FAILED when the request could not be made, else
  // the client's error. Nothing stays open after a failure.
  // receiveTimeoutMs: the longest wait for data from the server.
  HRESULT Send(const InternetTarget& target, const wchar_t* userAgent, const wchar_t* verb,
               std::uint32_t receiveTimeoutMs);
  // Linux: the proxy setting is the environment's (see above); Windows:
  // the system's Internet settings.
  static bool ProxyFromEnvironment();
  bool IsOpen() const { return state_ != nullptr; }
  void Close();

  // A header of the response as text. False when it is absent, or when it
  // does not fit `capacityBytes` bytes of wide characters with a
  // terminating NUL (WinINet's rule for its callers' buffers).
  bool QueryHeader(Header header, std::size_t capacityBytes, std::wstring* value) const;
  // Up to `wanted` body bytes; 0 with success at the end of the body.
  // ORB_E_READ_BODY when reading fails (also after the receive time-out),
  // and when the body ends before the length the response announced.
  HRESULT Read(void* buffer, std::uint32_t wanted, std::uint32_t* got);
  // The URL the request ended at, after redirects.
  HRESULT QueryUrl(std::wstring* url) const;
  // Whether the request went through a proxy; false when that cannot be told.
  bool QueryViaProxy() const;
  // The proxy setting the request used, as the system reports it (a list,
  // see HttpProxyFromList); *present false when there is none.
  // ORB_E_UNEXPECTED when its text cannot be read as wide text.
  HRESULT QueryProxyList(std::wstring* list, bool* present) const;

  // The status check of the transports: ORB_E_STATUS_UNREADABLE, success
  // for 200, else the code of the status (StatusFromHttpCode).
  HRESULT CheckStatus() const;
  // The announced length; ORB_E_NO_CONTENT_LENGTH when absent or unusable.
  HRESULT ContentLength(std::uint64_t* length) const;

  // What WinINet's callers give it: the buffer for the status code and the
  // Content-Length value, in bytes.
  static constexpr std::size_t kValueBufferBytes = 1024;

 private:
  // The client's part of Send and Read.
  HRESULT SendRequest(const InternetTarget& target, const wchar_t* userAgent, const wchar_t* verb,
                      std::uint32_t receiveTimeoutMs);
  HRESULT ReadSome(void* buffer, std::uint32_t wanted, std::uint32_t* got);

  struct State;  // the client's handles, per platform
  std::unique_ptr<State> state_;
  std::uint64_t bodyRead_ = 0;
};

}  // namespace orb::net
