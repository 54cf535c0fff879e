// url.h - splitting a URL into scheme, host, port and path, with
// percent-decoding.
//
// Windows uses WinINet's cracker (InternetCrackUrlW with decoding); Linux
// has a cracker of our own that gives the same results for the URLs the
// program meets:
// - http, https, ftp and other schemes: the scheme name is case-insensitive;
//   user name and password are dropped; the port is the one written or the
//   scheme's default (80, 443, 21; 0 for others); the path keeps query and
//   fragment ("extra information" is not split off) and is percent-decoded,
//   each %XX becoming the character XX; "http://host" has the path "/".
// - file: the path of the local file. On Windows WinINet turns
//   file:///C:/dir/a%20b.mp4 into C:\dir\a b.mp4; on Linux
//   file:///home/u/a%20b.mp4 (or file://localhost/...) becomes
//   /home/u/a b.mp4, the decoded bytes read as UTF-8 as Linux names are. A
//   file URL of another host names no local file: its path is empty.
// - Both refuse a URL whose decoding would hold a NUL character (%00): the
//   path would end there and name another file or resource than the URL.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/file.h"

namespace orb::platform {

enum class UrlScheme { kOther, kFtp, kHttp, kHttps, kFile };

struct CrackedUrl {
  UrlScheme scheme = UrlScheme::kOther;
  std::wstring host;
  std::uint16_t port = 0;
  std::wstring path;
};

// hostCapacity and pathCapacity are buffer sizes in characters including
// the terminating NUL, as WinINet's callers give them; a longer decoded
// component fails with win32_error::kInsufficientBuffer. Other failures:
// kInvalidParameter (null or empty URL), kInternetUnrecognizedScheme (no
// scheme), kInternetInvalidUrl (a decoded NUL).
SysError CrackUrl(const wchar_t* url, std::size_t hostCapacity, std::size_t pathCapacity, CrackedUrl* out);

}  // namespace orb::platform
