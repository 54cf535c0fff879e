#include "lmq/lmq_tcp_connection.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <future>
#include <string>

#include "base/wide_text.h"
#include "http_test_server.h"

namespace {

using orb::test::HttpTestServer;
using orb::test::ServerConnection;
using namespace std::chrono_literals;

const LmqTimeout kShort{0, 300000};
const LmqTimeout kWaitLong{5, 0};

std::string Take(LmqTCPConnection& c, std::uint32_t wanted) {
  const char* p = nullptr;
  std::uint32_t n = 0;
  EXPECT_EQ(c.NextBytes(&p, wanted, &n), LMQ_OK);
  return std::string(p, n);
}

TEST(LmqTCPConnection, ConnectFailures) {
  LmqTCPConnection c;
  const std::wstring refused = L"127.0.0.1:" + std::to_wstring(orb::test::UnusedPort());
  EXPECT_EQ(c.Connect(refused.c_str(), &kShort), LMQ_E_CONNECT);
  EXPECT_FALSE(c.IsConnected());

  orb::test::SilentListener silent;
  const auto started = std::chrono::steady_clock::now();
  EXPECT_EQ(c.Connect(silent.HostPort().c_str(), &kShort), LMQ_E_CONNECT_TIMEOUT);
  EXPECT_GE(std::chrono::steady_clock::now() - started, 250ms);
  EXPECT_FALSE(c.IsConnected());

  EXPECT_EQ(c.Connect(L"no-such-host.invalid:80", &kShort), LMQ_E_ADDRESS);
  EXPECT_EQ(c.Connect(L"127.0.0.1:0", &kShort), LMQ_E_ADDRESS);
  EXPECT_EQ(c.Connect(nullptr), LMQ_E_INVALID_ARG);
  EXPECT_EQ(c.CheckConnection(), LMQ_E_NOT_CONNECTED);
}

TEST(LmqTCPConnection, ConnectsAndReadsTheLocalAddress) {
  HttpTestServer server([](ServerConnection& s) { s.WaitClientClose(); });
  LmqTCPConnection c;
  ASSERT_EQ(c.Connect(server.HostPort().c_str()), LMQ_OK);
  orb::platform::Ipv4SocketAddress local;
  c.GetLocalAddress(&local);
  EXPECT_EQ(local.family, 2);
  const unsigned char loopback[4] = {127, 0, 0, 1};
  EXPECT_EQ(std::memcmp(&local.address, loopback, 4), 0);
  EXPECT_NE(local.port, 0);
}

TEST(LmqTCPConnection, CheckConnectionOnClosedAndIdlePeers) {
  std::promise<void> sendNow;
  auto sendSignal = sendNow.get_future().share();
  HttpTestServer server([&](ServerConnection& s) {
    if (s.server().Connections() == 1) return;  // the first peer closes at once
    sendSignal.wait();
    s.Send("abc");
    s.WaitClientClose();
  });

  LmqTCPConnection closed;
  ASSERT_EQ(closed.Connect(server.HostPort().c_str()), LMQ_OK);
  ASSERT_TRUE(server.WaitScriptsDone(1));
  ASSERT_EQ(closed.WaitReadable(kWaitLong), LMQ_OK);
  EXPECT_EQ(closed.CheckConnection(), LMQ_E_NOT_CONNECTED);
  EXPECT_FALSE(closed.IsConnected());

  LmqTCPConnection idle;
  ASSERT_EQ(idle.Connect(server.HostPort().c_str()), LMQ_OK);
  EXPECT_EQ(idle.CheckConnection(), LMQ_OK);  // nothing to read: still usable
  sendNow.set_value();
  ASSERT_EQ(idle.WaitReadable(kWaitLong), LMQ_OK);
  EXPECT_EQ(idle.CheckConnection(), LMQ_OK);  // data waiting: usable, not consumed
  EXPECT_EQ(Take(idle, 10), "abc");
  EXPECT_EQ(idle.WaitReadable({0, 50000}), LMQ_E_TIMEOUT);
}

TEST(LmqTCPConnection, NextBytesHandsOutOnlyWhatIsBuffered) {
  std::promise<void> second;
  auto secondSignal = second.get_future().share();
  HttpTestServer server([&](ServerConnection& s) {
    s.Send("hello");
    secondSignal.wait();
    s.Send("world!");
    s.WaitClientClose();
  });
  LmqTCPConnection c;
  ASSERT_EQ(c.Connect(server.HostPort().c_str()), LMQ_OK);
  ASSERT_EQ(c.WaitReadable(kWaitLong), LMQ_OK);
  EXPECT_EQ(Take(c, 3), "hel");
  EXPECT_EQ(c.WaitReadable({0, 0}), LMQ_OK);  // buffered bytes count as readable
  EXPECT_EQ(Take(c, 100), "lo");              // no second receive in the same call
  second.set_value();
  c.SetReceiveBufferSize(65536 + 4);          // taken modulo 65,536: 4 bytes
  EXPECT_EQ(c.GetReceiveBufferSize(), 4u);
  ASSERT_EQ(c.WaitReadable(kWaitLong), LMQ_OK);
  EXPECT_EQ(Take(c, 100), "worl");

  const char* p = nullptr;
  std::uint32_t n = 0;
  EXPECT_EQ(c.NextBytes(nullptr, 1, &n), LMQ_E_INVALID_ARG);
  EXPECT_EQ(c.NextBytes(&p, 1, nullptr), LMQ_E_INVALID_ARG);
}

TEST(LmqTCPConnection, ReconnectDropsUnreadBytesAndPeerCloseReadsAsZero) {
  HttpTestServer server([](ServerConnection& s) {
    s.Send(s.server().Connections() == 1 ? "stale" : "fresh");
  });
  LmqTCPConnection c;
  ASSERT_EQ(c.Connect(server.HostPort().c_str()), LMQ_OK);
  ASSERT_EQ(c.WaitReadable(kWaitLong), LMQ_OK);
  EXPECT_EQ(Take(c, 1), "s");
  ASSERT_EQ(c.Connect(server.HostPort().c_str()), LMQ_OK);
  ASSERT_EQ(c.WaitReadable(kWaitLong), LMQ_OK);
  EXPECT_EQ(Take(c, 100), "fresh");
  ASSERT_EQ(c.WaitReadable(kWaitLong), LMQ_OK);
  EXPECT_EQ(Take(c, 100), "");  // the peer closed: count 0, result 0
}

TEST(LmqTCPConnection, SendToAResetPeerFailsWithoutEndingTheProcess) {
  // The peer resets only after the client has connected and spoken, so the
  // reset cannot race the connect itself.
  HttpTestServer server([](ServerConnection& s) {
    s.ReadBytes(1);
    s.Reset();
  });
  LmqTCPConnection c;
  ASSERT_EQ(c.Connect(server.HostPort().c_str()), LMQ_OK);
  ASSERT_EQ(c.Send("x", 1), LMQ_OK);
  ASSERT_TRUE(server.WaitScriptsDone(1));
  const std::string block(64 * 1024, 'x');
  LmqResult result = LMQ_OK;
  for (int i = 0; i < 200 && result == LMQ_OK; ++i) result = c.Send(block.data(), block.size());
  EXPECT_EQ(result, LMQ_E_SEND);
}

TEST(LmqTCPConnection, ProxyWithoutTunnelConnectsToTheProxy) {
  HttpTestServer target(HttpTestServer::Respond("HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nhi"));
  orb::test::TunnelProxy proxy;
  LmqTCPConnection c;
  c.SetProxy(proxy.HostPort().c_str());
  ASSERT_EQ(c.Connect(L"unused.invalid:1"), LMQ_OK);  // the target is not even resolved
  const std::string request = "GET http://" + orb::WideToUtf8(target.HostPort()) + "/ HTTP/1.1\r\n\r\n";
  ASSERT_EQ(c.Send(request.data(), request.size()), LMQ_OK);
  ASSERT_TRUE(target.WaitScriptsDone(1));
  EXPECT_EQ(proxy.Requests().size(), 1u);
  EXPECT_EQ(target.Requests().size(), 1u);

  LmqTCPConnection noPort;
  noPort.SetProxy(L"proxy.example");
  EXPECT_STREQ(noPort.GetProxyUrl().GetPort(), L"80");
  noPort.SetProxy(nullptr);
  EXPECT_FALSE(noPort.HasProxy());
}

TEST(LmqTCPConnection, TunnelAnswers) {
  HttpTestServer target(HttpTestServer::Respond("HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nhi"));
  const std::string hostPort = orb::WideToUtf8(target.HostPort());
  const struct {
    const char* answer;
    const char* extraHeaders;
    LmqResult want;
  } cases[] = {
      {"HTTP/1.0 200 Connection established\r\n\r\n", nullptr, LMQ_OK},
      {"HTTP/1.1 200 OK\r\nProxy-Agent: test\r\n\r\n", "Proxy-Authorization: Basic eA==\r\n\r\n", LMQ_OK},
      {"HTTP/1.1 403 Forbidden\r\nContent-Length: 0\r\n\r\n", nullptr, LMQ_E_PROXY_403},
      {"HTTP/1.1 405 Method Not Allowed\r\n\r\n", nullptr, LMQ_E_PROXY_405},
      {"HTTP/1.1 407 Proxy Authentication Required\r\nProxy-Authenticate: Basic\r\n\r\n", nullptr,
       LMQ_E_PROXY_407},
      {"HTTP/1.1 502 Bad Gateway\r\n\r\n", nullptr, LMQ_E_TUNNEL_REFUSED},
      {"", nullptr, LMQ_E_TUNNEL_REFUSED},  // the proxy closes without an answer
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.answer);
    orb::test::TunnelProxy proxy(c.answer);
    LmqTCPConnection connection;
    connection.SetProxy(proxy.HostPort().c_str());
    connection.SetTunnel(true);
    connection.SetTunnelHeaders(c.extraHeaders);
    EXPECT_EQ(connection.Connect(target.HostPort().c_str(), &kWaitLong), c.want);
    ASSERT_EQ(proxy.Requests().size(), 1u);
    EXPECT_EQ(proxy.Requests()[0], "CONNECT " + hostPort + " HTTP/1.0\r\nHost: " + hostPort + "\r\n" +
                                       (c.extraHeaders ? c.extraHeaders : "\r\n"));
    EXPECT_EQ(connection.IsConnected(), c.want == LMQ_OK);
    if (c.want != LMQ_OK) continue;
    // Through the tunnel to the target.
    const std::string request = "GET / HTTP/1.1\r\n\r\n";
    ASSERT_EQ(connection.Send(request.data(), request.size()), LMQ_OK);
    std::string answer;
    while (answer.size() < 40 && connection.WaitReadable(kWaitLong) == LMQ_OK) {
      const std::string piece = Take(connection, 100);
      if (piece.empty()) break;
      answer += piece;
    }
    EXPECT_EQ(answer, "HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nhi");
  }
}

}  // namespace
