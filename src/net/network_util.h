// network_util.h - CNetworkUtil, the transport front: given a URL it picks
// the transport by scheme and forwards every call to it.
//
// Transports are asked in a fixed order (socket HTTP, WinINet HTTP/HTTPS,
// local files); the first whose IsSupportedUrl accepts the URL serves it.
// A front and its transport belong to one thread at a time.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "net/network_util_base.h"

class CNetworkUtil {
 public:
  // Makes one transport; null when out of memory. An empty factory is a
  // slot whose transport does not exist in this build: it accepts no URL.
  using TransportFactory = std::function<std::unique_ptr<CNetworkUtilBase>()>;

  // The program's transports in their order of asking:
  //   1. CNetworkUtilHTTP2, exactly "http://" (lower case), over sockets,
  //   2. CNetworkUtilHTTP, HTTP and HTTPS in any other spelling, through the
  //      system's HTTP client,
  //   3. CNetworkUtilFILE, file:// URLs.
  static std::vector<TransportFactory> DefaultTransports();

  CNetworkUtil();
  // Tests put transports of their own in place of the program's.
  explicit CNetworkUtil(std::vector<TransportFactory> transports);
  virtual ~CNetworkUtil();
  CNetworkUtil(const CNetworkUtil&) = delete;
  CNetworkUtil& operator=(const CNetworkUtil&) = delete;

  // A URL other than the one the current transport was chosen for (exact,
  // case-sensitive comparison) chooses anew. A transport that is already
  // open for the URL is reused without any further work.
  HRESULT Open(const wchar_t* url);
  HRESULT QueryContentLength(const wchar_t* url, std::uint64_t* length);
  HRESULT GetContentLength(std::uint64_t* length);
  HRESULT GetContentType(wchar_t* buffer, std::uint32_t* length);
  HRESULT Read(void* buffer, std::uint32_t wanted, std::uint32_t* got);
  HRESULT GetMaxContentLength(std::uint64_t* limit);
  HRESULT OpenAndGetContentType(const wchar_t* url, wchar_t* buffer, std::uint32_t* length);
  bool IsOpen();
  // Closes and destroys the transport and forgets its URL, so that a later
  // Open of the same URL opens it afresh. Always succeeds.
  HRESULT Close();

 private:
  HRESULT SelectIfNew(const wchar_t* url);

  std::vector<TransportFactory> transports_;
  std::unique_ptr<CNetworkUtilBase> transport_;
  std::wstring url_;
};
