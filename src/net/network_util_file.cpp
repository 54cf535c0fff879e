// network_util_file.cpp - local files as a transport.
#include "net/network_util_file.h"

#include "platform/url.h"

namespace {

// The buffers WinINet's callers hand to its cracker, NUL included.
constexpr std::size_t kHostCapacity = 257;
constexpr std::size_t kPathCapacity = 2085;

bool CrackFileUrl(const wchar_t* url, orb::platform::CrackedUrl* cracked) {
  return url != nullptr && orb::platform::CrackUrl(url, kHostCapacity, kPathCapacity, cracked) == 0 &&
         cracked->scheme == orb::platform::UrlScheme::kFile;
}

}  // namespace

CNetworkUtilFILE::~CNetworkUtilFILE() { Close(); }

HRESULT CNetworkUtilFILE::Open(const wchar_t* url) {
  if (url == nullptr) return E_POINTER;
  Close();
  orb::platform::CrackedUrl cracked;
  if (!CrackFileUrl(url, &cracked)) return ORB_E_URL_NOT_SUPPORTED;
  namespace p = orb::platform;
  if (file_.Open(cracked.path, p::file_access::kRead, p::file_share::kNone, p::file_disposition::kOpenExisting, 0) !=
      orb::win32_error::kSuccess) {
    return ORB_E_LOCAL_FILE_OPEN;
  }
  return S_OK;
}

HRESULT CNetworkUtilFILE::GetContentLength(std::uint64_t* length) {
  if (length == nullptr) return E_POINTER;
  if (!file_.IsOpen()) return E_INVALIDARG;
  if (file_.Size(length) != orb::win32_error::kSuccess) return ORB_E_LOCAL_FILE_READ;
  return S_OK;
}

HRESULT CNetworkUtilFILE::GetContentType(wchar_t* /*buffer*/, std::uint32_t* /*length*/) {
  return ORB_E_NO_CONTENT_TYPE;
}

HRESULT CNetworkUtilFILE::Read(void* buffer, std::uint32_t wanted, std::uint32_t* got) {
  if (buffer == nullptr || got == nullptr) return E_POINTER;
  *got = 0;
  if (!file_.IsOpen()) return E_INVALIDARG;
  if (file_.Read(buffer, wanted, got) != orb::win32_error::kSuccess) return ORB_E_LOCAL_FILE_READ;
  return S_OK;
}

HRESULT CNetworkUtilFILE::Close() {
  file_.Close();
  return S_OK;
}

HRESULT CNetworkUtilFILE::GetMaxContentLength(std::uint64_t* limit) {
  if (limit == nullptr) return E_POINTER;
  *limit = kMaxContentLength;
  return S_OK;
}

bool CNetworkUtilFILE::IsSupportedUrl(const wchar_t* url) {
  orb::platform::CrackedUrl cracked;
  return CrackFileUrl(url, &cracked);
}

bool CNetworkUtilFILE::IsOpen() { return file_.IsOpen(); }
