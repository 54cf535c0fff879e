#include "lmq/lmq_http_stream.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <string>
#include <thread>

#include "base/wide_text.h"
#include "http_test_server.h"

namespace {

using orb::test::HttpTestServer;
using orb::test::ServerConnection;
using namespace std::chrono_literals;

// The header block that the socket transport sends.
const char kHeaderBlock[] =
    "User-Agent: ORBContentDownloaderLib/1.1\r\nCache-Control: no-cache\r\nConnection: Keep-Alive\r\n\r\n";

struct Exchange {
  LmqResult executed = -1;
  int status = -1;
  std::string body;
  LmqResult last = -1;  // result of the last ReadBody
  std::string reason;
};

// One request through LmqHTTPStream, then ReadBody until it delivers nothing
// or fails.
Exchange Fetch(HttpTestServer& server, const char* method, std::uint32_t capacity = 4096,
             LmqTCPConnection* connection = nullptr, LmqHTTPStream* given = nullptr) {
  LmqURL url;
  EXPECT_TRUE(url.Parse(server.Url(L"/x").c_str(), false));
  // Declared before the request: a request touches its connection when it
  // is destroyed.
  LmqTCPConnection ownConnection;
  LmqHTTPStream own;
  LmqHTTPStream& stream = given != nullptr ? *given : own;
  stream.SetTimeout(5, 0);
  EXPECT_TRUE(stream.SetRequest(method, "HTTP/1.1", &url, kHeaderBlock, nullptr, 0));
  Exchange e;
  e.executed = stream.Execute(&e.status, connection != nullptr ? connection : &ownConnection);
  e.reason = stream.GetReasonText();
  std::string buffer(capacity, '\0');
  for (int i = 0; i < 100000; ++i) {
    std::uint32_t got = 0;
    e.last = stream.ReadBody(buffer.data(), capacity, &got);
    e.body.append(buffer.data(), got);
    if (got == 0 || e.last != LMQ_OK) break;
  }
  if (connection == nullptr) stream.DetachConnection(false);
  return e;
}

Exchange RunResponse(const std::string& response, const char* method = "GET", std::uint32_t capacity = 4096) {
  HttpTestServer server(HttpTestServer::Respond(response));
  return Fetch(server, method, capacity);
}

TEST(LmqHTTPStream, ResponseFramings) {
  const std::string alphabet = "abcdefghijklmnopqrstuvwxyz";
  const struct Case {
    const char* name;
    const char* method;
    std::string response;
    LmqResult executed;
    int status;
    std::string body;
    LmqResult last;
  } cases[] = {
      {"fixed length", "GET", "HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\nhello", LMQ_OK, 200, "hello", LMQ_OK},
      {"100 then 200", "GET",
       "HTTP/1.1 100 Continue\r\n\r\nHTTP/1.1 200 OK\r\nContent-Length: 3\r\n\r\nabc", LMQ_OK, 200, "abc", LMQ_OK},
      {"HEAD with a length", "HEAD", "HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\n", LMQ_OK, 200, "", LMQ_OK},
      {"204 with a length", "GET", "HTTP/1.1 204 No Content\r\nContent-Length: 5\r\n\r\nhello", LMQ_OK, 204, "",
       LMQ_OK},
      {"205 with a length", "GET", "HTTP/1.1 205 Reset\r\nContent-Length: 5\r\n\r\nhello", LMQ_OK, 205, "", LMQ_OK},
      {"304 with a length", "GET", "HTTP/1.1 304 Not Modified\r\nContent-Length: 5\r\n\r\nhello", LMQ_OK, 304, "",
       LMQ_OK},
      {"no header lines", "GET", "HTTP/1.1 200 OK\r\n\r\nbody", LMQ_OK, 200, "", LMQ_OK},
      {"length 0", "GET", "HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\nbody", LMQ_OK, 200, "", LMQ_OK},
      {"chunked 4", "GET", "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n4\r\nWiki\r\n0\r\n\r\n", LMQ_OK, 200,
       "Wiki", LMQ_OK},
      {"chunked 1A with extension", "GET",
       "HTTP/1.1 200 OK\r\nTransfer-Encoding: gzip, Chunked\r\n\r\n1A;x=y\r\n" + alphabet + "\r\n3\r\nABC\r\n0\r\n\r\n",
       LMQ_OK, 200, alphabet + "ABC", LMQ_OK},
      {"chunk without CR LF after it", "GET",
       "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n4\r\nWikiXY0\r\n\r\n", LMQ_OK, 200, "Wiki",
       LMQ_E_CHUNK_FRAMING},
      {"trailer after the zero chunk", "GET",
       "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n4\r\nWiki\r\n0\r\nX-Sum: 1\r\n\r\n", LMQ_OK, 200, "Wiki",
       LMQ_E_CHUNK_FRAMING},
      {"chunk size over 32 bits", "GET",
       "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n100000004\r\nWiki\r\n0\r\n\r\n", LMQ_OK, 200, "",
       LMQ_E_CHUNK_FRAMING},
      {"chunked cut short", "GET", "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n8\r\nWiki", LMQ_OK, 200,
       "Wiki", LMQ_E_NOT_CONNECTED},
      {"until close", "GET", "HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\n\r\n" + alphabet, LMQ_OK, 200, alphabet,
       LMQ_E_NOT_CONNECTED},
      {"fixed length cut short", "GET", "HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\nhello", LMQ_OK, 200, "hello",
       LMQ_E_NOT_CONNECTED},
      {"length over 32 bits", "GET", "HTTP/1.1 200 OK\r\nContent-Length: 4294967301\r\n\r\nhello",
       LMQ_E_BODY_TOO_LARGE, 200, "", LMQ_OK},
      {"SUBSCRIBE without a length", "SUBSCRIBE", "HTTP/1.1 200 OK\r\nSID: 1\r\n\r\nhello", LMQ_OK, 200, "", LMQ_OK},
      {"closed before any head", "GET", "", LMQ_E_NOT_CONNECTED, 0, "", LMQ_OK},
      {"closed inside the head", "GET", "HTTP/1.1 200 OK\r\nContent-", LMQ_E_NOT_CONNECTED, 0, "", LMQ_OK},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Exchange e = RunResponse(c.response, c.method);
    EXPECT_EQ(e.executed, c.executed);
    EXPECT_EQ(e.status, c.status);
    EXPECT_EQ(e.body, c.body);
    EXPECT_EQ(e.last, c.last);
  }
}

TEST(LmqHTTPStream, RequestTextOnTheWire) {
  HttpTestServer server(HttpTestServer::Respond("HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\n"));
  const std::string hostPort = orb::WideToUtf8(server.HostPort());
  ASSERT_EQ(sizeof kHeaderBlock - 1, 92u);

  LmqURL url;
  ASSERT_TRUE(url.Parse((server.Url(L"/a/./b/../c?q=1&r=/../s")).c_str(), false));
  LmqTCPConnection connection;
  for (const bool absolute : {false, true}) {
    LmqHTTPStream stream;
    stream.SetAbsoluteUri(absolute);
    ASSERT_TRUE(stream.SetRequest("GET", "HTTP/1.1", &url, kHeaderBlock, nullptr, 0));
    int status = 0;
    ASSERT_EQ(stream.Execute(&status, &connection), LMQ_OK);
    EXPECT_EQ(status, 200);
    connection.Disconnect();
  }
  const auto requests = server.Requests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[0], "GET /a/c?q=1&r=/../s HTTP/1.1\r\nHost: " + hostPort + "\r\n" + kHeaderBlock);
  EXPECT_EQ(requests[1],
            "GET http://" + hostPort + "/a/c?q=1&r=/../s HTTP/1.1\r\nHost: " + hostPort + "\r\n" + kHeaderBlock);

  // The Host line always names the port; no header text gives the empty line;
  // a body follows as it stands.
  LmqURL plain;
  ASSERT_TRUE(plain.Parse(L"http://example.org/", false));
  LmqHTTPStream stream;
  ASSERT_TRUE(stream.SetRequest("POST", "HTTP/1.0", &plain, nullptr, "a=1", 3));
  EXPECT_EQ(stream.GetRequestText(), "POST / HTTP/1.0\r\nHost: example.org:80\r\n\r\na=1");
  EXPECT_FALSE(stream.SetRequest(nullptr, "HTTP/1.0", &plain, nullptr, nullptr, 0));
  EXPECT_FALSE(stream.SetRequest("GET", nullptr, &plain, nullptr, nullptr, 0));
  EXPECT_FALSE(stream.SetRequest("GET", "HTTP/1.0", nullptr, nullptr, nullptr, 0));
  EXPECT_EQ(stream.GetRequestText(), "POST / HTTP/1.0\r\nHost: example.org:80\r\n\r\na=1");
}

TEST(LmqHTTPStream, HeadersAndReasonPhrase) {
  HttpTestServer server(HttpTestServer::Respond(
      "HTTP/1.1 200 Fine Thanks\r\nContent-Type: text/a\r\nCONTENT-TYPE: text/b\r\nContent-Length: 0\r\n\r\n"));
  LmqHTTPStream stream;
  const Exchange e = Fetch(server, "GET", 4096, nullptr, &stream);
  EXPECT_EQ(e.reason, "Fine Thanks");
  std::string value;
  EXPECT_TRUE(stream.GetHeader("content-type", &value));
  EXPECT_EQ(value, "text/b");
  std::wstring wide;
  EXPECT_TRUE(stream.GetHeader(L"Content-Length", &wide));
  EXPECT_EQ(wide, L"0");
  EXPECT_FALSE(stream.GetHeader("Location", &value));
  EXPECT_STREQ(stream.GetStatusText(), "200");

  // A space after the code: the next line is the reason, not a header.
  HttpTestServer quirk(HttpTestServer::Respond("HTTP/1.1 200 \r\nContent-Type: text/c\r\n\r\nbody"));
  LmqHTTPStream quirkStream;
  const Exchange q = Fetch(quirk, "GET", 4096, nullptr, &quirkStream);
  EXPECT_EQ(q.reason, "Content-Type: text/c");
  EXPECT_FALSE(quirkStream.GetHeader("Content-Type", &value));
  EXPECT_EQ(q.body, "");
}

TEST(LmqHTTPStream, ReadBodyKeepsWhatDoesNotFit) {
  const Exchange e = RunResponse("HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\n0123456789", "GET", 3);
  EXPECT_EQ(e.body, "0123456789");
  EXPECT_EQ(e.last, LMQ_OK);

  HttpTestServer server(HttpTestServer::Respond(
      "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n5\r\n01234\r\n5\r\n56789\r\n0\r\n\r\n"));
  LmqURL url;
  ASSERT_TRUE(url.Parse(server.Url().c_str(), false));
  LmqTCPConnection connection;  // outlives the request
  LmqHTTPStream stream;
  ASSERT_TRUE(stream.SetRequest("GET", "HTTP/1.1", &url, nullptr, nullptr, 0));
  int status = 0;
  ASSERT_EQ(stream.Execute(&status, &connection), LMQ_OK);
  char buffer[8];
  std::uint32_t got = 0;
  for (const char* want : {"0123", "4567", "89", ""}) {
    ASSERT_EQ(stream.ReadBody(buffer, 4, &got), LMQ_OK);
    EXPECT_EQ(std::string(buffer, got), want);
  }
  EXPECT_EQ(LmqHTTPStream().ReadBody(buffer, 4, &got), LMQ_E_INVALID_ARG);  // nothing attached
}

TEST(LmqHTTPStream, MaximumBodySize) {
  for (const bool over : {false, true}) {
    SCOPED_TRACE(over ? "11 bytes" : "10 bytes");
    HttpTestServer server(HttpTestServer::Respond(over ? "HTTP/1.1 200 OK\r\nX: 1\r\n\r\n0123456789A"
                                                       : "HTTP/1.1 200 OK\r\nX: 1\r\n\r\n0123456789"));
    LmqHTTPStream stream;
    stream.SetMaxBodySize(10);
    const Exchange e = Fetch(server, "GET", 4096, nullptr, &stream);
    EXPECT_EQ(e.last, over ? LMQ_E_BODY_TOO_LARGE : LMQ_E_NOT_CONNECTED);
  }
}

TEST(LmqHTTPStream, TimeOuts) {
  // A head that never completes.
  HttpTestServer silentHead([](ServerConnection& s) {
    s.ReadHead();
    s.Send("HTTP/1.1 200 OK\r\n");
    s.Pause(10s);
  });
  LmqURL url;
  ASSERT_TRUE(url.Parse(silentHead.Url().c_str(), false));
  LmqTCPConnection connection;  // outlives the request
  LmqHTTPStream stream;
  stream.SetTimeout(0, 200000);
  ASSERT_TRUE(stream.SetRequest("GET", "HTTP/1.1", &url, nullptr, nullptr, 0));
  int status = -1;
  EXPECT_EQ(stream.Execute(&status, &connection), LMQ_E_HEAD_TIMEOUT);
  EXPECT_EQ(status, 0);

  // A body that stops coming.
  HttpTestServer silentBody([](ServerConnection& s) {
    s.ReadHead();
    s.Send("HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\nabc");
    s.Pause(10s);
  });
  ASSERT_TRUE(url.Parse(silentBody.Url().c_str(), false));
  ASSERT_TRUE(stream.SetRequest("GET", "HTTP/1.1", &url, nullptr, nullptr, 0));
  connection.Disconnect();
  ASSERT_EQ(stream.Execute(&status, &connection), LMQ_OK);
  char buffer[16];
  std::uint32_t got = 0;
  EXPECT_EQ(stream.ReadBody(buffer, sizeof buffer, &got), LMQ_E_TIMEOUT);
  EXPECT_EQ(std::string(buffer, got), "abc");
}

TEST(LmqHTTPStream, EndlessHeadIsRefused) {
  HttpTestServer server([](ServerConnection& s) {
    s.ReadHead();
    s.Send("HTTP/1.1 200 OK\r\n");
    const std::string line = "X-Filler: " + std::string(100, 'y') + "\r\n";
    for (int i = 0; i < 2000 && s.Send(line);) ++i;
  });
  LmqHTTPStream stream;
  const Exchange e = Fetch(server, "GET", 4096, nullptr, &stream);
  EXPECT_EQ(e.executed, LMQ_E_HEAD_TOO_LARGE);
}

TEST(LmqHTTPStream, KeepAliveAndTheRetryRule) {
  // One connection serves two requests when it stays open. (Destroying a
  // request disconnects the connection it used last, so the request object
  // lives as long as the connection is to be reused.)
  HttpTestServer keepAlive([](ServerConnection& s) {
    while (!s.ReadHead().empty()) s.Send("HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok");
  });
  LmqTCPConnection connection;
  LmqHTTPStream stream;
  EXPECT_EQ(Fetch(keepAlive, "GET", 4096, &connection, &stream).body, "ok");
  EXPECT_EQ(Fetch(keepAlive, "GET", 4096, &connection, &stream).body, "ok");
  EXPECT_EQ(keepAlive.Connections(), 1);

  // A first connection that closes without answering: retried once, and only
  // for a connection that carries an https request.
  for (const bool https : {false, true}) {
    SCOPED_TRACE(https ? "https flag" : "no https flag");
    HttpTestServer flaky([](ServerConnection& s) {
      if (s.ReadHead().empty() || s.server().Connections() == 1) return;
      s.Send("HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok");
    });
    LmqTCPConnection c;
    c.SetHttps(https);
    const Exchange e = Fetch(flaky, "GET", 4096, &c);
    EXPECT_EQ(e.executed, https ? LMQ_OK : LMQ_E_NOT_CONNECTED);
    EXPECT_EQ(flaky.Connections(), https ? 2 : 1);
  }

  // A CONNECT request that finds the connection closed.
  HttpTestServer closes([](ServerConnection& s) { s.ReadHead(); });
  LmqTCPConnection c;
  c.SetHttps(true);
  EXPECT_EQ(Fetch(closes, "CONNECT", 4096, &c).executed, LMQ_E_CONNECT_CLOSED);
  EXPECT_EQ(closes.Connections(), 1);
}

TEST(LmqHTTPStream, AnotherThreadCanAbortABlockedRead) {
  HttpTestServer server([](ServerConnection& s) {
    s.ReadHead();
    s.Send("HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\nab");
    s.Pause(10s);
  });
  LmqURL url;
  ASSERT_TRUE(url.Parse(server.Url().c_str(), false));
  LmqTCPConnection connection;  // outlives the request
  LmqHTTPStream stream;
  stream.SetTimeout(8, 0);
  ASSERT_TRUE(stream.SetRequest("GET", "HTTP/1.1", &url, nullptr, nullptr, 0));
  int status = 0;
  ASSERT_EQ(stream.Execute(&status, &connection), LMQ_OK);
  char buffer[100];
  std::uint32_t got = 0;
  ASSERT_EQ(stream.ReadBody(buffer, 2, &got), LMQ_OK);
  std::thread closer([&] {
    std::this_thread::sleep_for(100ms);
    stream.CloseConnection();
  });
  const auto started = std::chrono::steady_clock::now();
  const LmqResult result = stream.ReadBody(buffer, sizeof buffer, &got);
  closer.join();
  EXPECT_NE(result, LMQ_OK);
  EXPECT_LT(std::chrono::steady_clock::now() - started, 5s);
  EXPECT_FALSE(connection.IsConnected());
}

}  // namespace
