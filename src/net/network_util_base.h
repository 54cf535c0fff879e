// network_util_base.h - CNetworkUtilBase, the interface of every transport
// (socket HTTP, WinINet HTTP/HTTPS, local files).
//
// The order of the virtual operations is fixed; the front CNetworkUtil and
// every transport rely on it. Results are status codes.
#pragma once

#include <cstdint>

#include "base/status.h"

class CNetworkUtilBase {
 public:
  virtual ~CNetworkUtilBase() = default;
  // Starts with Close; opens the resource that the URL names.
  virtual HRESULT Open(const wchar_t* url) = 0;
  // Open, GetContentLength, Close: the transport is closed afterwards.
  virtual HRESULT QueryContentLength(const wchar_t* url, std::uint64_t* length);
  // ORB_E_NO_CONTENT_LENGTH when the resource announces no length.
  virtual HRESULT GetContentLength(std::uint64_t* length) = 0;
  // length: the buffer's capacity in, what was written out (the unit is
  // the transport's).
  virtual HRESULT GetContentType(wchar_t* buffer, std::uint32_t* length) = 0;
  // Success with 0 bytes is the end of the content.
  virtual HRESULT Read(void* buffer, std::uint32_t wanted, std::uint32_t* got) = 0;
  // Always succeeds.
  virtual HRESULT Close() = 0;
  // The largest content the transport carries; always succeeds.
  virtual HRESULT GetMaxContentLength(std::uint64_t* limit) = 0;
  virtual bool IsSupportedUrl(const wchar_t* url) = 0;
  virtual bool IsOpen() = 0;
};
