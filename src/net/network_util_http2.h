// network_util_http2.h - CNetworkUtilHTTP2, the transport of "http://" URLs
// over a plain TCP socket with the in-house HTTP library.
//
// A HEAD pre-flight through the system's HTTP client comes first
// (CNetworkUtilHTTP2_WININET): it follows redirects and finds the system's
// proxy, and the socket request then goes to the URL where the pre-flight
// ended, directly or through that proxy.
#pragma once

#include "lmq/lmq_http_stream.h"
#include "lmq/lmq_tcp_connection.h"
#include "lmq/lmq_url.h"
#include "net/network_util_base.h"
#include "net/network_util_http2_wininet.h"

class CNetworkUtilHTTP2 : public CNetworkUtilBase {
 public:
  static constexpr std::uint64_t kMaxContentLength = 0xFFFFFFFFu;
  // Sent after the request line and the Host line; its empty line ends the
  // header section.
  static constexpr const char* kRequestHeaders =
      "User-Agent: ORBContentDownloaderLib/1.1\r\nCache-Control: no-cache\r\nConnection: Keep-Alive\r\n\r\n";
  static constexpr long kConnectSeconds = 10;
  static constexpr std::uint32_t kReadTimeoutMs = 30000;
  static constexpr std::uint32_t kReceiveBufferBytes = 1024;

  CNetworkUtilHTTP2() = default;
  ~CNetworkUtilHTTP2() override;

  // Pre-flight, connect (10 s), GET to the effective URL, response head
  // (30 s per read). Only a 200 opens the transport.
  HRESULT Open(const wchar_t* url) override;
  // The length announced to the pre-flight's HEAD; no socket is used.
  HRESULT QueryContentLength(const wchar_t* url, std::uint64_t* length) override;
  HRESULT GetContentLength(std::uint64_t* length) override;
  // length counts characters: in, the buffer's capacity; out, the
  // characters copied (at most capacity - 1, the rest of the buffer zero).
  HRESULT GetContentType(wchar_t* buffer, std::uint32_t* length) override;
  HRESULT Read(void* buffer, std::uint32_t wanted, std::uint32_t* got) override;
  HRESULT Close() override;
  HRESULT GetMaxContentLength(std::uint64_t* limit) override;
  // Exactly "http://" (case-sensitive) at the start.
  bool IsSupportedUrl(const wchar_t* url) override;
  bool IsOpen() override { return opened_; }

  // The longest wait for data from the server, on the socket and in the
  // pre-flight; tests shorten it.
  void SetReceiveTimeout(std::uint32_t milliseconds);

 private:
  // Declared before the request, which touches its connection when it is
  // destroyed.
  LmqTCPConnection connection_;
  LmqHTTPStream request_;
  LmqURL url_;
  bool opened_ = false;
  // The body ends when the server closes the connection (neither a length
  // nor chunks frame it).
  bool untilClose_ = false;
  // Reading failed after delivering bytes: the next read reports it.
  bool broken_ = false;
  std::uint32_t readTimeoutMs_ = kReadTimeoutMs;
  CNetworkUtilHTTP2_WININET preflight_;
};
