#include "lmq/lmq_http_download.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "http_test_server.h"
#include "support/temp_dir.h"

namespace {

using orb::test::HttpTestServer;
using orb::test::ServerConnection;
using namespace std::chrono_literals;

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

LmqResult Download(HttpTestServer& server, LmqHTTPDownload& request, int* status,
                   LmqTCPConnection* connection = nullptr) {
  LmqURL url;
  EXPECT_TRUE(url.Parse(server.Url(L"/file").c_str(), false));
  EXPECT_TRUE(request.SetRequest("GET", "HTTP/1.1", &url, nullptr, nullptr, 0));
  return request.Execute(status, connection);
}

TEST(LmqHTTPDownload, ToAFile) {
  std::string body(1000, '\0');
  for (std::size_t i = 0; i < body.size(); ++i) body[i] = static_cast<char>(i * 7);
  HttpTestServer server(
      HttpTestServer::Respond("HTTP/1.1 200 OK\r\nContent-Length: 1000\r\nConnection: close\r\n\r\n" + body));
  orb::test::TempDir dir;
  const auto path = dir.path() / "out.bin";
  dir.Write("out.bin", "old content that is longer than nothing");

  LmqHTTPDownload request;
  request.SetTargetFile(path.string().c_str());
  int status = 0;
  ASSERT_EQ(Download(server, request, &status), LMQ_OK);
  EXPECT_EQ(status, 200);
  EXPECT_TRUE(request.IsCompleted());
  EXPECT_EQ(ReadFile(path), body);
  // Closed: it can be removed at once, also on Windows.
  EXPECT_TRUE(std::filesystem::remove(path));

  request.SetTargetFile((dir.path() / "no-such-dir" / "out.bin").string().c_str());
  EXPECT_EQ(Download(server, request, &status), LMQ_E_FILE);
}

TEST(LmqHTTPDownload, AFailedDownloadLeavesNoFile) {
  HttpTestServer server(HttpTestServer::Respond("HTTP/1.1 200 OK\r\nContent-Length: 1000\r\n\r\nonly this"));
  orb::test::TempDir dir;
  const auto path = dir.path() / "out.bin";
  LmqHTTPDownload request;
  request.SetTargetFile(path.string().c_str());
  int status = 0;
  EXPECT_EQ(Download(server, request, &status), LMQ_E_NOT_CONNECTED);
  EXPECT_FALSE(std::filesystem::exists(path));
}

TEST(LmqHTTPDownload, ToAStringOrNowhere) {
  HttpTestServer server(HttpTestServer::Respond(
      "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n3\r\nabc\r\n2\r\nde\r\n0\r\n\r\n"));
  std::string target = "previous content";
  LmqHTTPDownload request;
  request.SetTargetString(&target);
  int status = 0;
  ASSERT_EQ(Download(server, request, &status), LMQ_OK);
  EXPECT_EQ(target, "abcde");

  LmqHTTPDownload discard;
  ASSERT_EQ(Download(server, discard, &status), LMQ_OK);
  EXPECT_EQ(discard.GetBodyBytesReceived(), 5u);
  EXPECT_TRUE(discard.IsCompleted());
}

TEST(LmqHTTPDownload, KeepsAGivenConnectionOpenAndClosesItsOwn) {
  HttpTestServer server([](ServerConnection& s) {
    while (!s.ReadHead().empty()) s.Send("HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok");
  });
  LmqTCPConnection given;
  {
    LmqHTTPDownload request;
    int status = 0;
    ASSERT_EQ(Download(server, request, &status, &given), LMQ_OK);
    EXPECT_EQ(request.GetConnection(), nullptr);
  }
  EXPECT_TRUE(given.IsConnected());
  EXPECT_EQ(given.CheckConnection(), LMQ_OK);

  LmqHTTPDownload own;
  int status = 0;
  ASSERT_EQ(Download(server, own, &status), LMQ_OK);
  EXPECT_EQ(own.GetConnection(), nullptr);
  EXPECT_EQ(server.Connections(), 2);
}

TEST(LmqHTTPDownload, ConnectAnswerWithoutLengthEndsAfterTheHead) {
  HttpTestServer server([](ServerConnection& s) {
    s.ReadHead();
    s.Send("HTTP/1.0 200 Connection established\r\nProxy-Agent: test\r\n\r\n");
    s.WaitClientClose();
  });
  LmqURL url;
  ASSERT_TRUE(url.Parse(server.Url().c_str(), false));
  LmqHTTPDownload request;
  request.SetTimeout(5, 0);
  ASSERT_TRUE(request.SetRequest("CONNECT", "HTTP/1.0", &url, nullptr, nullptr, 0));
  LmqTCPConnection connection;
  int status = 0;
  EXPECT_EQ(request.Execute(&status, &connection), LMQ_OK);
  EXPECT_EQ(status, 200);
}

TEST(LmqHTTPDownload, TheDeadlineCoversTheWholeResponse) {
  // The server's clock: every piece it sends takes "one second". No pause is
  // long, so a time-out per read would never fire; 30 seconds after the head
  // began, the response is cut off all the same.
  std::atomic<std::int64_t> now{1000};
  HttpTestServer server([&](ServerConnection& s) {
    s.ReadHead();
    s.Send("HTTP/1.1 200 OK\r\nContent-Length: 1000\r\n\r\n");
    for (int i = 0; i < 1000 && s.Pause(2ms) && s.Send("x"); ++i) ++now;
  });
  LmqHTTPDownload request;
  request.SetClock([&] { return now.load(); });
  std::string body;
  request.SetTargetString(&body);
  int status = 0;
  EXPECT_EQ(Download(server, request, &status), LMQ_E_TIMEOUT);
  EXPECT_EQ(status, 200);
  EXPECT_GT(body.size(), 0u);
  // About 30 "seconds" of bytes: one receive may take a byte or two more.
  EXPECT_LE(body.size(), 32u);

  // Still inside the head when the deadline passes.
  HttpTestServer slowHead([&](ServerConnection& s) {
    s.ReadHead();
    const std::string head = "HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\n";
    for (std::size_t i = 0; i < head.size() && s.Pause(2ms) && s.Send(head.substr(i, 1)); ++i) ++now;
  });
  EXPECT_EQ(Download(slowHead, request, &status), LMQ_E_HEAD_TIMEOUT);
}

TEST(LmqHTTPDownload, AnOversizedBodyIsRefusedEarly) {
  HttpTestServer big([](ServerConnection& s) {
    s.ReadHead();
    s.Send("HTTP/1.1 200 OK\r\nContent-Length: 1073741825\r\n\r\n");
    const std::string block(1 << 16, 'z');
    for (int i = 0; i < 16385 && s.Send(block); ++i) {
    }
  });
  LmqHTTPDownload request;
  EXPECT_EQ(LmqHTTPDownload::kDefaultMaxBodySize, 0x40000000u);
  // The same rule as for the default gibibyte; a smaller limit keeps the
  // test quick. The body is refused as soon as it passes the limit.
  request.SetMaxBodySize(1 << 20);
  int status = 0;
  EXPECT_EQ(Download(big, request, &status), LMQ_E_BODY_TOO_LARGE);
  EXPECT_LE(request.GetBodyBytesReceived(), 1u << 20);
}

}  // namespace
