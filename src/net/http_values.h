// http_values.h - the small text rules that both HTTP transports share:
// status codes, Content-Length values and proxy settings. Pure functions,
// kept apart from the network so that they can be tested and fuzzed.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "base/status.h"

namespace orb::net {

// The transports' answer to an HTTP status: 200 success, 404 and 500 their
// own codes, anything else ORB_E_HTTP_STATUS.
HRESULT StatusFromHttpCode(long code);

// The status code of a response as the system's client reports it (decimal
// text): ORB_E_STATUS_UNREADABLE when it holds no number.
HRESULT StatusFromHttpCodeText(std::wstring_view text);

// A Content-Length value: the decimal digits after leading blanks, up to
// the first other character. False when there are none or the number does
// not fit in 63 bits (the length a signed 64-bit reader can hold).
bool ParseContentLength(std::wstring_view text, std::uint64_t* length);
bool ParseContentLength(std::string_view text, std::uint64_t* length);

// The proxy for plain HTTP from a proxy setting, as "host:port" (or "" when
// the setting names none for HTTP). Accepted forms, as the system's
// settings write them:
//   "host:port", "host", "http://host:port/", "http://user@host:port",
//   "http=host:port;https=host:port ftp=host" (WinINet's per-scheme list).
// The "http=" entry wins over an entry without a scheme; an entry of
// another scheme (https=, socks=, socks5://) never counts, since the socket
// transport speaks only plain HTTP to its proxy. A missing port is
// `defaultPort`; user information is dropped.
std::wstring HttpProxyFromList(std::wstring_view list, std::uint16_t defaultPort);

// Whether a no_proxy setting ("*", or host names and domain suffixes
// separated by commas or blanks, a leading "." optional) exempts `host`
// from the proxy. Names compare without regard to case.
bool ProxyBypassed(std::wstring_view noProxy, std::wstring_view host);

}  // namespace orb::net
