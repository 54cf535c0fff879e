// network_util_file.h - CNetworkUtilFILE, the transport of local files named
// by file:// URLs.
#pragma once

#include "net/network_util_base.h"
#include "platform/file.h"

class CNetworkUtilFILE : public CNetworkUtilBase {
 public:
  ~CNetworkUtilFILE() override;
  // The file is opened without sharing: while the transport holds it, no
  // other open of the file succeeds on Windows (POSIX has no such lock).
  HRESULT Open(const wchar_t* url) override;
  HRESULT GetContentLength(std::uint64_t* length) override;
  // A local file has no content type: always ORB_E_NO_CONTENT_TYPE.
  HRESULT GetContentType(wchar_t* buffer, std::uint32_t* length) override;
  HRESULT Read(void* buffer, std::uint32_t wanted, std::uint32_t* got) override;
  HRESULT Close() override;
  HRESULT GetMaxContentLength(std::uint64_t* limit) override;
  bool IsSupportedUrl(const wchar_t* url) override;
  bool IsOpen() override;

  static constexpr std::uint64_t kMaxContentLength = 0xFFFFFFFFu;

 private:
  orb::platform::File file_;
};
