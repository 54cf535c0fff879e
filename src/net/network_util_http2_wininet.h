// network_util_http2_wininet.h - CNetworkUtilHTTP2_WININET, the pre-flight
// of the socket transport: a HEAD request through the system's HTTP client
// (WinINet; libcurl on Linux), so that the system's proxy settings and
// redirect handling act. It reports where the request ended, the proxy it
// went through and the length the server announced; the socket transport
// then fetches the body itself.
#pragma once

#include <cstdint>
#include <string>

#include "net/internet_request.h"

class CNetworkUtilHTTP2_WININET {
 public:
  static constexpr const wchar_t* kUserAgent = L"ORBContentDownloaderLib/1.1";
  static constexpr std::uint32_t kReceiveTimeoutMs = 30000;
  // A proxy setting without a port means this port (WinINet's rule).
  static constexpr std::uint16_t kDefaultProxyPort = 80;

  CNetworkUtilHTTP2_WININET() = default;
  virtual ~CNetworkUtilHTTP2_WININET();
  CNetworkUtilHTTP2_WININET(const CNetworkUtilHTTP2_WININET&) = delete;
  CNetworkUtilHTTP2_WININET& operator=(const CNetworkUtilHTTP2_WININET&) = delete;

  // The pre-flight, unless `url` is the one the last successful pre-flight
  // was for. Any status but 200 fails it (StatusFromHttpCode). A failed
  // pre-flight is run again next time.
  HRESULT Resolve(const wchar_t* url);
  // The URL the last pre-flight ended at, after redirects.
  HRESULT GetEffectiveUrl(std::wstring* text);
  // "host:port" of the HTTP proxy the last pre-flight went through, or ""
  // when it went directly.
  HRESULT GetProxy(std::wstring* text);
  // The length announced to the HEAD request (no status check):
  // ORB_E_NO_CONTENT_LENGTH when none; E_POINTER without a pre-flight.
  HRESULT GetContentLength(std::uint64_t* length);
  // The HEAD response stays open after a pre-flight for GetContentLength
  // until the next pre-flight, this, or destruction.
  HRESULT CloseHandles();

  void SetReceiveTimeout(std::uint32_t milliseconds) { receiveTimeoutMs_ = milliseconds; }

 private:
  orb::net::InternetRequest request_;
  std::wstring effectiveUrl_;
  std::wstring proxy_;
  std::wstring resolvedUrl_;
  std::uint32_t receiveTimeoutMs_ = kReceiveTimeoutMs;
};
