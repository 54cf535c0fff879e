// The two HTTP transports against loopback servers: the socket transport
// (pre-flight through the system's HTTP client, then the body over a socket)
// and the system-client transport, on the same responses.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/wide_text.h"
#include "http_test_server.h"
#include "net/network_util.h"
#include "net/network_util_http.h"
#include "net/network_util_http2.h"
#include "net/network_util_http2_wininet.h"
#include "support/environment.h"
#include "support/wine.h"

namespace {

using orb::test::HttpTestServer;
using orb::test::ServerConnection;
using Request = HttpTestServer::Request;
using namespace std::chrono_literals;

const std::string kSocketRequestHeaders = CNetworkUtilHTTP2::kRequestHeaders;

// The path of a request, also when a proxy passed on its absolute URI.
std::string PathOf(const Request& r) {
  if (r.target.compare(0, 7, "http://") != 0) return r.target;
  const std::size_t slash = r.target.find('/', 7);
  return slash == std::string::npos ? "/" : r.target.substr(slash);
}

std::string Answer(const std::string& status, const std::string& headers, const std::string& body) {
  return "HTTP/1.1 " + status + "\r\n" + headers + "\r\n" + body;
}

std::string WithLength(const std::string& status, const std::string& headers, const std::string& body) {
  return Answer(status, headers + "Content-Length: " + std::to_string(body.size()) + "\r\n", body);
}

// Methods and request lines of what a server received, in order.
std::vector<std::string> RequestLines(const HttpTestServer& server) {
  std::vector<std::string> lines;
  for (const std::string& head : server.Requests()) lines.push_back(head.substr(0, head.find("\r\n")));
  return lines;
}

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// What a caller sees of one resource: Open, length, type, then Read until
// the end or a failure.
struct Fetched {
  HRESULT open = E_FAIL;
  HRESULT length = E_FAIL;
  std::uint64_t lengthValue = 0;
  HRESULT type = E_FAIL;
  std::wstring typeValue;
  HRESULT read = E_FAIL;
  std::string body;
};

enum class Kind { kSocket, kSystem };

std::unique_ptr<CNetworkUtilBase> Make(Kind kind, std::uint32_t receiveTimeoutMs = 10000) {
  if (kind == Kind::kSocket) {
    auto t = std::make_unique<CNetworkUtilHTTP2>();
    t->SetReceiveTimeout(receiveTimeoutMs);
    return t;
  }
  auto t = std::make_unique<CNetworkUtilHTTP>();
  t->SetReceiveTimeout(receiveTimeoutMs);
  return t;
}

const char* Name(Kind kind) { return kind == Kind::kSocket ? "socket transport" : "system-client transport"; }

Fetched Fetch(CNetworkUtilBase& transport, Kind kind, const std::wstring& url, std::uint32_t chunk = 65536) {
  Fetched f;
  f.open = transport.Open(url.c_str());
  if (FAILED(f.open)) return f;
  f.length = transport.GetContentLength(&f.lengthValue);
  wchar_t type[256] = {};
  // The socket transport counts characters, the system-client one bytes.
  std::uint32_t capacity = kind == Kind::kSocket ? 256 : 256 * sizeof(wchar_t);
  f.type = transport.GetContentType(type, &capacity);
  if (SUCCEEDED(f.type)) f.typeValue = type;
  std::vector<char> buffer(chunk);
  for (;;) {
    std::uint32_t got = 0;
    f.read = transport.Read(buffer.data(), chunk, &got);
    if (FAILED(f.read) || got == 0) break;
    f.body.append(buffer.data(), got);
  }
  return f;
}

// The tests talk to 127.0.0.1 only: no proxy setting of the machine's
// environment may reach the system's HTTP client.
class HttpTransportTest : public ::testing::Test {
 protected:
  orb::test::ScopedEnvironmentVariable httpProxy_{"http_proxy"};
  orb::test::ScopedEnvironmentVariable httpsProxy_{"https_proxy"};
  orb::test::ScopedEnvironmentVariable upperHttpsProxy_{"HTTPS_PROXY"};
  orb::test::ScopedEnvironmentVariable noProxy_{"no_proxy"};
  orb::test::ScopedEnvironmentVariable upperNoProxy_{"NO_PROXY"};
};

TEST_F(HttpTransportTest, ResponsesAsEachTransportReportsThem) {
  std::string big(1 << 20, '\0');
  for (std::size_t i = 0; i < big.size(); ++i) big[i] = HttpTestServer::PatternByte(i);
  struct Expect {
    HRESULT open, length;
    std::uint64_t lengthValue;
    HRESULT type;
    const wchar_t* typeValue;
    std::string body;
  };
  const struct Case {
    const char* what;
    std::string answer;
    Expect socket, system;
    std::uint32_t chunk = 65536;  // bytes per read
  } cases[] = {
      {"200 with a length and a type", WithLength("200 OK", "Content-Type: video/mp4\r\n", "hello"),
       {S_OK, S_OK, 5, S_OK, L"video/mp4", "hello"},
       {S_OK, S_OK, 5, S_OK, L"video/mp4", "hello"}},
      {"a large body", WithLength("200 OK", "Content-Type: application/mp4\r\n", big),
       {S_OK, S_OK, big.size(), S_OK, L"application/mp4", big},
       {S_OK, S_OK, big.size(), S_OK, L"application/mp4", big}},
      // A reader slower than the network: what arrives waits for it.
      {"a large body in small reads", WithLength("200 OK", "", big),
       {S_OK, S_OK, big.size(), ORB_E_NO_CONTENT_TYPE, L"", big},
       {S_OK, S_OK, big.size(), ORB_E_NO_CONTENT_TYPE, L"", big}, 1000},
      {"no length: the body ends with the connection", Answer("200 OK", "Content-Type: image/png\r\n", "until close"),
       {S_OK, ORB_E_NO_CONTENT_LENGTH, 0, S_OK, L"image/png", "until close"},
       {S_OK, ORB_E_NO_CONTENT_LENGTH, 0, S_OK, L"image/png", "until close"}},
      {"chunked", Answer("200 OK", "Transfer-Encoding: chunked\r\n", "5\r\nhello\r\n6\r\n world\r\n0\r\n\r\n"),
       {S_OK, ORB_E_NO_CONTENT_LENGTH, 0, ORB_E_NO_CONTENT_TYPE, L"", "hello world"},
       {S_OK, ORB_E_NO_CONTENT_LENGTH, 0, ORB_E_NO_CONTENT_TYPE, L"", "hello world"}},
      // The socket transport learns the status from the pre-flight and
      // opens nothing; the system-client transport opens the error page
      // and reports the status when asked for length or type.
      {"404", WithLength("404 Not Found", "Content-Type: text/html\r\n", "missing"),
       {ORB_E_HTTP_NOT_FOUND, E_FAIL, 0, E_FAIL, L"", ""},
       {S_OK, ORB_E_HTTP_NOT_FOUND, 0, ORB_E_HTTP_NOT_FOUND, L"", "missing"}},
      {"500", WithLength("500 Internal Server Error", "", "oops"),
       {ORB_E_HTTP_SERVER_ERROR, E_FAIL, 0, E_FAIL, L"", ""},
       {S_OK, ORB_E_HTTP_SERVER_ERROR, 0, ORB_E_HTTP_SERVER_ERROR, L"", "oops"}},
      {"403", WithLength("403 Forbidden", "", "no"),
       {ORB_E_HTTP_STATUS, E_FAIL, 0, E_FAIL, L"", ""},
       {S_OK, ORB_E_HTTP_STATUS, 0, ORB_E_HTTP_STATUS, L"", "no"}},
  };
  for (const Case& c : cases) {
    for (const Kind kind : {Kind::kSocket, Kind::kSystem}) {
      SCOPED_TRACE(std::string(c.what) + ", " + Name(kind));
      HttpTestServer server(HttpTestServer::Serve([&](const Request&) { return c.answer; }));
      const auto transport = Make(kind);
      const Fetched f = Fetch(*transport, kind, server.Url(L"/media/clip"), c.chunk);
      const Expect& want = kind == Kind::kSocket ? c.socket : c.system;
      EXPECT_EQ(f.open, want.open);
      EXPECT_EQ(transport->IsOpen(), SUCCEEDED(want.open));
      if (FAILED(want.open)) continue;
      EXPECT_EQ(f.length, want.length);
      if (SUCCEEDED(want.length)) {
        EXPECT_EQ(f.lengthValue, want.lengthValue);
      }
      EXPECT_EQ(f.type, want.type);
      EXPECT_EQ(f.typeValue, want.typeValue);
      EXPECT_EQ(f.read, S_OK);
      EXPECT_TRUE(f.body == want.body) << f.body.size() << " bytes read";
      EXPECT_EQ(transport->Close(), S_OK);
      EXPECT_FALSE(transport->IsOpen());
    }
  }
}

TEST_F(HttpTransportTest, WhatGoesOnTheWire) {
  HttpTestServer server(HttpTestServer::Serve([](const Request&) { return WithLength("200 OK", "", "x"); }));
  const std::string hostPort = orb::WideToUtf8(server.HostPort());
  // Escapes stay as the URL writes them (%3F is no query); the fragment is
  // never sent.
  const std::wstring url = server.Url(L"/a/b%3Fc%20d.mp4?product=0A1B&country=JP#part");
  const std::string target = "/a/b%3Fc%20d.mp4?product=0A1B&country=JP";

  CNetworkUtilHTTP2 socket;
  ASSERT_EQ(Fetch(socket, Kind::kSocket, url).body, "x");
  auto requests = server.Requests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[0].substr(0, requests[0].find("\r\n")), "HEAD " + target + " HTTP/1.1");
  EXPECT_TRUE(Contains(requests[0], "\r\nUser-Agent: ORBContentDownloaderLib/1.1\r\n")) << requests[0];
  EXPECT_EQ(requests[1], "GET " + target + " HTTP/1.1\r\nHost: " + hostPort + "\r\n" + kSocketRequestHeaders);
  EXPECT_EQ(kSocketRequestHeaders.size(), 92u);

  CNetworkUtilHTTP system;
  ASSERT_EQ(Fetch(system, Kind::kSystem, url).body, "x");
  requests = server.Requests();
  ASSERT_EQ(requests.size(), 3u);
  EXPECT_EQ(requests[2].substr(0, requests[2].find("\r\n")), "GET " + target + " HTTP/1.1");
  EXPECT_TRUE(Contains(requests[2], "\r\nUser-Agent: ORBContentDownloaderLib/1.0\r\n")) << requests[2];
}

TEST_F(HttpTransportTest, RedirectsEndWhereThePreFlightEnded) {
  HttpTestServer final(HttpTestServer::Serve([](const Request& r) {
    return PathOf(r) == "/new" ? WithLength("200 OK", "", "moved here") : WithLength("404 Not Found", "", "");
  }));
  const std::string finalUrl = orb::WideToUtf8(final.Url(L"/new"));
  HttpTestServer first(HttpTestServer::Serve([&](const Request& r) {
    if (PathOf(r) == "/old") return WithLength("302 Found", "Location: " + finalUrl + "\r\n", "");
    if (PathOf(r) == "/relative") return WithLength("301 Moved Permanently", "Location: /old\r\n", "");
    return WithLength("404 Not Found", "", "");
  }));

  for (const Kind kind : {Kind::kSocket, Kind::kSystem}) {
    SCOPED_TRACE(Name(kind));
    const auto transport = Make(kind);
    const Fetched f = Fetch(*transport, kind, first.Url(L"/relative"));
    EXPECT_EQ(f.open, S_OK);
    EXPECT_EQ(f.body, "moved here");
  }
  // The socket transport asked the first server only with HEAD: the body
  // came over the socket from the final location.
  EXPECT_EQ(RequestLines(first), (std::vector<std::string>{"HEAD /relative HTTP/1.1", "HEAD /old HTTP/1.1",
                                                           "GET /relative HTTP/1.1", "GET /old HTTP/1.1"}));
  EXPECT_EQ(RequestLines(final), (std::vector<std::string>{"HEAD /new HTTP/1.1", "GET /new HTTP/1.1",
                                                           "GET /new HTTP/1.1"}));

  CNetworkUtilHTTP2_WININET preflight;
  std::uint64_t length = 0;
  EXPECT_EQ(preflight.GetContentLength(&length), E_POINTER) << "no pre-flight yet";
  ASSERT_EQ(preflight.Resolve(first.Url(L"/old").c_str()), S_OK);
  std::wstring text;
  EXPECT_EQ(preflight.GetEffectiveUrl(&text), S_OK);
  EXPECT_EQ(text, final.Url(L"/new"));
  EXPECT_EQ(preflight.GetProxy(&text), S_OK);
  EXPECT_EQ(text, L"");
  EXPECT_EQ(preflight.GetContentLength(&length), S_OK);
  EXPECT_EQ(length, 10u);
}

TEST_F(HttpTransportTest, ThePreFlightDecidesForTheSocketTransport) {
  // HEAD and GET may be answered differently; each case shows which answer
  // the socket transport goes by.
  const struct Case {
    const char* what;
    std::string head;  // answer to HEAD
    std::string get;   // answer to GET
    HRESULT open;
    std::vector<std::string> methods;
  } cases[] = {
      {"HEAD refused with 405: the GET is never sent", WithLength("405 Method Not Allowed", "", ""),
       WithLength("200 OK", "", "body"), ORB_E_HTTP_STATUS, {"HEAD"}},
      {"HEAD 404: no socket is opened", WithLength("404 Not Found", "", ""), WithLength("200 OK", "", "body"),
       ORB_E_HTTP_NOT_FOUND, {"HEAD"}},
      {"HEAD 200 but GET 404", WithLength("200 OK", "", ""), WithLength("404 Not Found", "", "gone"),
       ORB_E_HTTP_NOT_FOUND, {"HEAD", "GET"}},
      {"HEAD 200 but GET 500", WithLength("200 OK", "", ""), WithLength("500 Oops", "", ""), ORB_E_HTTP_SERVER_ERROR,
       {"HEAD", "GET"}},
      {"HEAD 200 but GET 302", WithLength("200 OK", "", ""), WithLength("302 Found", "Location: /x\r\n", ""),
       ORB_E_HTTP_STATUS, {"HEAD", "GET"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<std::string> methods;
    HttpTestServer server(HttpTestServer::Serve([&](const Request& r) { return r.method == "HEAD" ? c.head : c.get; }));
    CNetworkUtilHTTP2 transport;
    EXPECT_EQ(transport.Open(server.Url(L"/c").c_str()), c.open);
    EXPECT_FALSE(transport.IsOpen());
    char buffer[16];
    std::uint32_t got = 0;
    EXPECT_EQ(transport.Read(buffer, sizeof buffer, &got), E_INVALIDARG) << "nothing to read when not open";
    for (const std::string& line : RequestLines(server)) methods.push_back(line.substr(0, line.find(' ')));
    EXPECT_EQ(methods, c.methods);
  }
}

TEST_F(HttpTransportTest, SocketTransportLengthTypeAndOnePreFlight) {
  HttpTestServer server(HttpTestServer::Serve([](const Request& r) {
    // HEAD announces another length than GET sends: each question shows
    // which answer it read.
    return r.method == "HEAD" ? Answer("200 OK", "Content-Length: 12345\r\n", "")
                              : WithLength("200 OK", "Content-Type: application/x-kvx-theme\r\n", "theme");
  }));
  const std::wstring url = server.Url(L"/t.kxm");
  CNetworkUtilHTTP2 transport;
  std::uint64_t length = 0;
  ASSERT_EQ(transport.QueryContentLength(url.c_str(), &length), S_OK);
  EXPECT_EQ(length, 12345u) << "the pre-flight's length, without a socket";
  EXPECT_FALSE(transport.IsOpen());
  EXPECT_EQ(transport.GetContentLength(&length), E_INVALIDARG);

  ASSERT_EQ(transport.Open(url.c_str()), S_OK);
  ASSERT_EQ(transport.GetContentLength(&length), S_OK);
  EXPECT_EQ(length, 5u);
  // A type longer than the buffer is cut to capacity - 1 characters.
  wchar_t type[8];
  std::fill(std::begin(type), std::end(type), L'#');
  std::uint32_t capacity = 8;
  ASSERT_EQ(transport.GetContentType(type, &capacity), S_OK);
  EXPECT_EQ(capacity, 7u);
  EXPECT_EQ(std::wstring(type, 8), std::wstring(L"applica\0", 8));
  std::uint64_t limit = 0;
  EXPECT_EQ(transport.GetMaxContentLength(&limit), S_OK);
  EXPECT_EQ(limit, 0xFFFFFFFFu);

  // Open again on the same object: the same URL is not pre-flighted again,
  // and the unread body of the first GET does not confuse the second.
  ASSERT_EQ(transport.Open(url.c_str()), S_OK);
  char body[16];
  std::uint32_t got = 0;
  ASSERT_EQ(transport.Read(body, sizeof body, &got), S_OK);
  EXPECT_EQ(std::string(body, got), "theme");
  EXPECT_EQ(RequestLines(server), (std::vector<std::string>{"HEAD /t.kxm HTTP/1.1", "GET /t.kxm HTTP/1.1",
                                                            "GET /t.kxm HTTP/1.1"}));

  CNetworkUtilHTTP system;
  EXPECT_EQ(system.GetMaxContentLength(&limit), S_OK);
  EXPECT_EQ(limit, 0x7FFFFFFFu);
}

TEST_F(HttpTransportTest, BodiesThatStopEarlyAreFailures) {
  const struct Case {
    const char* what;
    std::string answer;  // to GET; the connection then closes
    HRESULT read;
    std::string body;
    bool chunked = false;
  } cases[] = {
      {"chunks cut inside a chunk", Answer("200 OK", "Transfer-Encoding: chunked\r\n", "5\r\nhello\r\n9\r\nwor"),
       ORB_E_READ_BODY, "hellowor", true},
      {"chunks cut before the last one", Answer("200 OK", "Transfer-Encoding: chunked\r\n", "5\r\nhello\r\n"),
       ORB_E_READ_BODY, "hello", true},
      {"a length not reached", Answer("200 OK", "Content-Length: 100\r\n", "only this"), ORB_E_READ_BODY,
       "only this"},
      {"no framing: the close is the end", Answer("200 OK", "Content-Type: text/plain\r\n", "all of it"), S_OK,
       "all of it"},
  };
  for (const Case& c : cases) {
    for (const Kind kind : {Kind::kSocket, Kind::kSystem}) {
      SCOPED_TRACE(std::string(c.what) + ", " + Name(kind));
      // WinINet hides the chunk framing from its callers, and Wine's ends a
      // cut chunked body as if it were whole: nothing above it can tell.
      if (c.chunked && kind == Kind::kSystem && orb::test::RunningUnderWine()) continue;
      HttpTestServer server([&](ServerConnection& conn) {
        // The pre-flight's HEAD is answered in full, the GET as the case says.
        for (std::string head = conn.ReadHead(); !head.empty(); head = conn.ReadHead()) {
          if (head.compare(0, 5, "HEAD ") == 0) {
            conn.Send(Answer("200 OK", "Content-Length: 0\r\n", ""));
            continue;
          }
          conn.Send(c.answer);
          return;
        }
      });
      const auto transport = Make(kind);
      const Fetched f = Fetch(*transport, kind, server.Url(L"/b"), 4);
      EXPECT_EQ(f.open, S_OK);
      EXPECT_EQ(f.read, c.read);
      EXPECT_EQ(f.body, c.body) << "every byte that came is delivered";
    }
  }
}

TEST_F(HttpTransportTest, ASilentServerEndsInATimeOut) {
  // The pre-flight is answered, the GET never.
  HttpTestServer stalls([](ServerConnection& c) {
    for (std::string head = c.ReadHead(); !head.empty(); head = c.ReadHead()) {
      if (head.compare(0, 5, "HEAD ") != 0) c.Pause(30s);
      c.Send(Answer("200 OK", "Content-Length: 0\r\n", ""));
    }
  });
  HttpTestServer silentBody([](ServerConnection& c) {
    for (std::string head = c.ReadHead(); !head.empty(); head = c.ReadHead()) {
      c.Send(Answer("200 OK", "Content-Length: 10\r\n", head.compare(0, 5, "HEAD ") == 0 ? "" : "part"));
      if (head.compare(0, 5, "HEAD ") != 0) c.Pause(30s);
    }
  });
  HttpTestServer silentHead([](ServerConnection& c) {
    c.ReadHead();
    c.Pause(30s);
  });
  // Wine's WinINet reports a receive time-out as "connection aborted".
  const HRESULT timedOut = orb::StatusFromInternetError(orb::test::RunningUnderWine()
                                                            ? orb::win32_error::kInternetConnectionAborted
                                                            : orb::win32_error::kInternetTimeout);
  for (const Kind kind : {Kind::kSocket, Kind::kSystem}) {
    SCOPED_TRACE(Name(kind));
    const auto started = std::chrono::steady_clock::now();
    auto transport = Make(kind, 1000);
    const Fetched f = Fetch(*transport, kind, silentBody.Url(L"/slow"));
    EXPECT_EQ(f.open, S_OK);
    EXPECT_EQ(f.read, ORB_E_READ_BODY);
    // (WinINet drops what a read got before it failed.)
    if (kind == Kind::kSocket) {
      EXPECT_EQ(f.body, "part");
    }

    transport = Make(kind, 1000);
    EXPECT_EQ(transport->Open(silentHead.Url(L"/slow").c_str()), timedOut)
        << "the system's client waits for the head (the socket transport's pre-flight too)";
    EXPECT_FALSE(transport->IsOpen());
    EXPECT_LT(std::chrono::steady_clock::now() - started, 20s);
  }
  // The socket's GET finds no head.
  CNetworkUtilHTTP2 transport;
  transport.SetReceiveTimeout(1000);
  EXPECT_EQ(transport.Open(stalls.Url(L"/slow").c_str()), ORB_E_REQUEST_FAILED);
}

TEST_F(HttpTransportTest, ConnectFailures) {
  const std::wstring closed = L"http://127.0.0.1:" + std::to_wstring(orb::test::UnusedPort()) + L"/x";
  const HRESULT cannotConnect = orb::StatusFromInternetError(orb::win32_error::kInternetCannotConnect);
  for (const Kind kind : {Kind::kSocket, Kind::kSystem}) {
    SCOPED_TRACE(Name(kind));
    const auto transport = Make(kind);
    EXPECT_EQ(transport->Open(closed.c_str()), cannotConnect);
    EXPECT_FALSE(transport->IsOpen());
  }
  // The pre-flight reached the server, which then stopped listening: the
  // socket's own connect is refused.
  HttpTestServer server([](ServerConnection& c) {
    if (c.ReadHead().empty()) return;
    c.server().StopListening();
    c.Send(Answer("200 OK", "Content-Length: 0\r\nConnection: close\r\n", ""));
  });
  CNetworkUtilHTTP2 transport;
  EXPECT_EQ(transport.Open(server.Url(L"/x").c_str()), ORB_E_SOCKET_CONNECT);
}

TEST_F(HttpTransportTest, TheEnvironmentsProxyCarriesBothRequests) {
  if (!orb::net::InternetRequest::ProxyFromEnvironment()) {
    // Windows takes the proxy from the user's Internet settings, which every
    // test of the Wine prefix shares; the end-to-end test gives the program
    // a proxy of its own instead.
    GTEST_SKIP() << "the system's proxy setting is not the environment's here";
  }
  HttpTestServer server(HttpTestServer::Serve([](const Request& r) {
    return PathOf(r) == "/p" ? WithLength("200 OK", "", "via proxy") : WithLength("404 Not Found", "", "");
  }));
  orb::test::TunnelProxy proxy;
  const std::string hostPort = orb::WideToUtf8(server.HostPort());
  const std::string absolute = "http://" + hostPort + "/p";
  {
    orb::test::ScopedEnvironmentVariable setting("http_proxy", "http://" + orb::WideToUtf8(proxy.HostPort()) + "/");
    CNetworkUtilHTTP2 transport;
    const Fetched f = Fetch(transport, Kind::kSocket, server.Url(L"/p"));
    ASSERT_EQ(f.open, S_OK);
    EXPECT_EQ(f.body, "via proxy");
    // Both went through the proxy; the socket's request line holds the
    // absolute URI.
    const auto requests = proxy.Requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].substr(0, requests[0].find("\r\n")), "HEAD " + absolute + " HTTP/1.1");
    EXPECT_EQ(requests[1], "GET " + absolute + " HTTP/1.1\r\nHost: " + hostPort + "\r\n" + kSocketRequestHeaders);

    CNetworkUtilHTTP2_WININET preflight;
    ASSERT_EQ(preflight.Resolve(server.Url(L"/p").c_str()), S_OK);
    std::wstring text;
    preflight.GetProxy(&text);
    EXPECT_EQ(text, proxy.HostPort());
  }
  {
    // Exempt from the proxy: everything goes directly.
    orb::test::ScopedEnvironmentVariable setting("http_proxy", orb::WideToUtf8(proxy.HostPort()));
    orb::test::ScopedEnvironmentVariable exempt("no_proxy", "localhost, 127.0.0.1");
    const std::size_t before = proxy.Requests().size();
    CNetworkUtilHTTP2 transport;
    EXPECT_EQ(Fetch(transport, Kind::kSocket, server.Url(L"/p")).body, "via proxy");
    EXPECT_EQ(proxy.Requests().size(), before);
  }
}

TEST_F(HttpTransportTest, TheProgramsTransportsByScheme) {
  HttpTestServer server(HttpTestServer::Serve([](const Request&) { return WithLength("200 OK", "", "ok"); }));
  // Whatever arrives first on a connection: an HTTP request line, or the
  // first byte of a TLS handshake (22).
  std::atomic<int> tlsHellos{0};
  HttpTestServer tls([&](ServerConnection& c) {
    const std::string first = c.ReadBytes(1, 5s);
    if (first == "\x16") ++tlsHellos;
  });
  const std::wstring port = std::to_wstring(server.port());
  struct Case {
    std::wstring url;
    HRESULT open;
    std::vector<std::string> requests;  // request line and user agent, as the server saw them
  };
  const Case cases[] = {
      {L"http://127.0.0.1:" + port + L"/x", S_OK, {"HEAD /x 1.1", "GET /x 1.1"}},
      {L"HTTP://127.0.0.1:" + port + L"/x", S_OK, {"GET /x 1.0"}},
      {L"Http://127.0.0.1:" + port + L"/x", S_OK, {"GET /x 1.0"}},
      {L"ftp://127.0.0.1:" + port + L"/x", ORB_E_URL_NOT_SUPPORTED, {}},
      {L"127.0.0.1:" + port + L"/x", ORB_E_URL_NOT_SUPPORTED, {}},
  };
  std::size_t seen = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(orb::WideToUtf8(c.url));
    CNetworkUtil front;
    EXPECT_EQ(front.Open(c.url.c_str()), c.open);
    std::vector<std::string> requests;
    const auto all = server.Requests();
    for (; seen < all.size(); ++seen) {
      const std::string& head = all[seen];
      const std::size_t agent = head.find("ORBContentDownloaderLib/");
      requests.push_back(head.substr(0, head.find(" HTTP/")) + " " +
                         (agent == std::string::npos ? "?" : head.substr(agent + 24, 3)));
    }
    EXPECT_EQ(requests, c.requests);
  }
  // https goes to the system's client, with TLS, to the port the URL names.
  CNetworkUtil front;
  EXPECT_TRUE(FAILED(front.Open(tls.Url(L"/x").replace(0, 4, L"https").c_str())));
  EXPECT_TRUE(tls.WaitScriptsDone(1));
  EXPECT_GE(tlsHellos.load(), 1) << "WinINet tries again with older protocol versions";
}

}  // namespace
