// network_util_http.h - CNetworkUtilHTTP, the transport of HTTP and HTTPS
// URLs through the system's HTTP client (WinINet; libcurl on Linux): one
// GET, then the body as it comes.
//
// The front gives it every http/https URL that does not begin with exactly
// "http://", which in practice means the https downloads.
#pragma once

#include "net/internet_request.h"
#include "net/network_util_base.h"

class CNetworkUtilHTTP : public CNetworkUtilBase {
 public:
  static constexpr const wchar_t* kUserAgent = L"ORBContentDownloaderLib/1.0";
  static constexpr std::uint64_t kMaxContentLength = 0x7FFFFFFFu;
  static constexpr std::uint32_t kReceiveTimeoutMs = 30000;

  ~CNetworkUtilHTTP() override;
  // Sends the GET; success does not look at the HTTP status (the length and
  // type questions do). A failed open leaves the transport closed.
  HRESULT Open(const wchar_t* url) override;
  // Both check the status first: 404 ORB_E_HTTP_NOT_FOUND, 500
  // ORB_E_HTTP_SERVER_ERROR, other than 200 ORB_E_HTTP_STATUS.
  HRESULT GetContentLength(std::uint64_t* length) override;
  // length counts bytes (in: the buffer's capacity; out: bytes written, the
  // NUL not counted). A value that does not fit, or none: ORB_E_NO_CONTENT_TYPE.
  HRESULT GetContentType(wchar_t* buffer, std::uint32_t* length) override;
  // The body, whatever the status (a 404's error page reads too).
  HRESULT Read(void* buffer, std::uint32_t wanted, std::uint32_t* got) override;
  HRESULT Close() override;
  HRESULT GetMaxContentLength(std::uint64_t* limit) override;
  bool IsSupportedUrl(const wchar_t* url) override;
  bool IsOpen() override;

  // The longest wait for data from the server; tests shorten it.
  void SetReceiveTimeout(std::uint32_t milliseconds) { receiveTimeoutMs_ = milliseconds; }

 private:
  orb::net::InternetRequest request_;
  std::uint32_t receiveTimeoutMs_ = kReceiveTimeoutMs;
};
