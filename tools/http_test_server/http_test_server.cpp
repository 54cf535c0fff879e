// http_test_server.cpp - scriptable loopback HTTP servers for tests and
// benchmarks.
#include "http_test_server.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace orb::test {

namespace {

using platform::kInvalidSocket;
using platform::SocketHandle;
using platform::SocketWait;
using platform::SocketWaitResult;
using Clock = std::chrono::steady_clock;

constexpr auto kSlice = std::chrono::milliseconds(20);

SocketWait WaitOf(std::chrono::milliseconds ms) {
  return SocketWait{static_cast<long>(ms.count() / 1000), static_cast<long>((ms.count() % 1000) * 1000)};
}

platform::Ipv4SocketAddress LoopbackAddress(std::uint16_t port) {
  platform::Ipv4SocketAddress a;
  a.family = platform::kAddressFamilyIpv4;
  const unsigned char portBytes[2] = {static_cast<unsigned char>(port >> 8), static_cast<unsigned char>(port)};
  std::memcpy(&a.port, portBytes, sizeof a.port);
  const unsigned char host[4] = {127, 0, 0, 1};
  std::memcpy(&a.address, host, sizeof a.address);
  return a;
}

bool SendAll(SocketHandle socket, std::string_view bytes) {
  while (!bytes.empty()) {
    const long sent = platform::SendSome(socket, bytes.data(), bytes.size());
    if (sent <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(sent));
  }
  return true;
}

// "host:port" of a proxy request's target; only the loopback host.
bool LoopbackTarget(std::string_view hostPort, std::uint16_t* port) {
  const std::size_t colon = hostPort.rfind(':');
  const std::string_view host = hostPort.substr(0, colon);
  if (colon == std::string_view::npos || (host != "127.0.0.1" && host != "localhost")) return false;
  unsigned value = 0;
  for (char c : hostPort.substr(colon + 1)) {
    if (c < '0' || c > '9') break;
    value = value * 10 + static_cast<unsigned>(c - '0');
    if (value > 65535) return false;
  }
  *port = static_cast<std::uint16_t>(value);
  return value != 0;
}

// Copies one direction until it ends, then passes the end on.
void Pump(SocketHandle from, SocketHandle to) {
  char buffer[16384];
  for (;;) {
    const long got = platform::Receive(from, buffer, sizeof buffer);
    if (got <= 0 || !SendAll(to, std::string_view(buffer, static_cast<std::size_t>(got)))) break;
  }
  platform::ShutdownSend(to);
}

void Relay(ServerConnection& client, SocketHandle upstream, const std::string& first) {
  const std::string early = client.TakePending();
  if (SendAll(upstream, first) && SendAll(upstream, early)) {
    std::thread back(Pump, upstream, client.handle());
    Pump(client.handle(), upstream);
    back.join();
  }
  client.server().CloseTracked(upstream);
}

}  // namespace

// --- ServerConnection

ServerConnection::ServerConnection(HttpTestServer* server, SocketHandle socket) : server_(server), socket_(socket) {}

ServerConnection::~ServerConnection() { Close(); }

std::string ServerConnection::ReadHead(std::chrono::milliseconds wait) {
  const auto until = Clock::now() + wait;
  for (;;) {
    const std::size_t end = pending_.find("\r\n\r\n");
    if (end != std::string::npos) {
      std::string head = pending_.substr(0, end + 4);
      pending_.erase(0, end + 4);
      server_->RecordRequest(head);
      return head;
    }
    if (socket_ == kInvalidSocket || server_->stopping() || Clock::now() >= until) return "";
    if (platform::WaitReadable(socket_, WaitOf(kSlice)) != SocketWaitResult::kReady) continue;
    char buffer[4096];
    const long got = platform::Receive(socket_, buffer, sizeof buffer);
    if (got <= 0) return "";
    pending_.append(buffer, static_cast<std::size_t>(got));
  }
}

std::string ServerConnection::ReadBytes(std::size_t n, std::chrono::milliseconds wait) {
  const auto until = Clock::now() + wait;
  while (pending_.size() < n && socket_ != kInvalidSocket && !server_->stopping() && Clock::now() < until) {
    if (platform::WaitReadable(socket_, WaitOf(kSlice)) != SocketWaitResult::kReady) continue;
    char buffer[4096];
    const long got = platform::Receive(socket_, buffer, std::min(sizeof buffer, n - pending_.size()));
    if (got <= 0) break;
    pending_.append(buffer, static_cast<std::size_t>(got));
  }
  std::string bytes = pending_.substr(0, std::min(n, pending_.size()));
  pending_.erase(0, bytes.size());
  return bytes;
}

std::string ServerConnection::TakePending() {
  std::string bytes;
  bytes.swap(pending_);
  return bytes;
}

bool ServerConnection::Send(std::string_view bytes) {
  return socket_ != kInvalidSocket && SendAll(socket_, bytes);
}

bool ServerConnection::SendSlowly(std::string_view bytes, std::size_t piece, std::chrono::milliseconds pause) {
  piece = std::max<std::size_t>(piece, 1);
  for (std::size_t at = 0; at < bytes.size(); at += piece) {
    if (at != 0 && !Pause(pause)) return false;
    if (!Send(bytes.substr(at, piece))) return false;
  }
  return true;
}

bool ServerConnection::Pause(std::chrono::milliseconds how_long) { return server_->SleepFor(how_long); }

bool ServerConnection::WaitClientClose(std::chrono::milliseconds wait) {
  const auto until = Clock::now() + wait;
  while (socket_ != kInvalidSocket && !server_->stopping() && Clock::now() < until) {
    if (platform::WaitReadable(socket_, WaitOf(kSlice)) != SocketWaitResult::kReady) continue;
    char buffer[4096];
    if (platform::Receive(socket_, buffer, sizeof buffer) <= 0) return true;
  }
  return false;
}

void ServerConnection::Close() {
  if (socket_ == kInvalidSocket) return;
  platform::ShutdownSend(socket_);
  // Unread request bytes would turn the close into a reset, and a reset can
  // destroy response bytes that the client has not read yet.
  char buffer[4096];
  while (platform::WaitReadable(socket_, SocketWait{}) == SocketWaitResult::kReady &&
         platform::Receive(socket_, buffer, sizeof buffer) > 0) {
  }
  server_->CloseTracked(socket_);
  socket_ = kInvalidSocket;
}

void ServerConnection::Reset() {
  if (socket_ == kInvalidSocket) return;
  platform::SetResetOnClose(socket_);
  server_->CloseTracked(socket_);
  socket_ = kInvalidSocket;
}

// --- HttpTestServer

HttpTestServer::HttpTestServer(Script script) : script_(std::move(script)), started_(platform::SocketStartup()) {
  listener_ = platform::ListenLoopback(64, &port_);
  if (listener_ != kInvalidSocket) acceptor_ = std::thread(&HttpTestServer::AcceptLoop, this);
}

HttpTestServer::~HttpTestServer() {
  stop_ = true;
  changed_.notify_all();
  if (acceptor_.joinable()) acceptor_.join();
  if (listener_ != kInvalidSocket) platform::CloseSocket(listener_);
  {
    std::lock_guard<std::mutex> lock(mutex_);
    for (SocketHandle s : open_) platform::ShutdownBoth(s);
  }
  for (std::thread& t : workers_) t.join();
  if (started_) platform::SocketCleanup();
}

std::wstring HttpTestServer::HostPort() const { return L"127.0.0.1:" + std::to_wstring(port_); }

std::wstring HttpTestServer::Url(const std::wstring& path) const { return L"http://" + HostPort() + path; }

std::vector<std::string> HttpTestServer::Requests() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return requests_;
}

bool HttpTestServer::WaitScriptsDone(int count, std::chrono::milliseconds wait) {
  std::unique_lock<std::mutex> lock(mutex_);
  return changed_.wait_for(lock, wait, [&] { return finished_ >= count; });
}

void HttpTestServer::RecordRequest(const std::string& head) {
  std::lock_guard<std::mutex> lock(mutex_);
  requests_.push_back(head);
}

void HttpTestServer::TrackSocket(SocketHandle socket) {
  std::lock_guard<std::mutex> lock(mutex_);
  open_.insert(socket);
  // Stopping may have begun before this socket was known.
  if (stop_) platform::ShutdownBoth(socket);
}

void HttpTestServer::CloseTracked(SocketHandle socket) {
  std::lock_guard<std::mutex> lock(mutex_);
  open_.erase(socket);
  platform::CloseSocket(socket);
}

bool HttpTestServer::SleepFor(std::chrono::milliseconds how_long) {
  std::unique_lock<std::mutex> lock(mutex_);
  return !changed_.wait_for(lock, how_long, [&] { return stop_.load(); });
}

void HttpTestServer::StopListening() {
  std::unique_lock<std::mutex> lock(mutex_);
  stopListening_ = true;
  changed_.wait(lock, [&] { return listenerClosed_ || stop_.load(); });
}

void HttpTestServer::AcceptLoop() {
  while (!stop_) {
    {
      // Only this thread uses the listener, so only it may close it.
      std::unique_lock<std::mutex> lock(mutex_);
      if (stopListening_ && !listenerClosed_) {
        platform::CloseSocket(listener_);
        listener_ = kInvalidSocket;
        listenerClosed_ = true;
        changed_.notify_all();
      }
      if (listenerClosed_) {
        changed_.wait_for(lock, kSlice, [&] { return stop_.load(); });
        continue;
      }
    }
    const SocketHandle socket = platform::Accept(listener_, WaitOf(kSlice));
    if (socket == kInvalidSocket) continue;
    TrackSocket(socket);
    ++connections_;
    workers_.emplace_back([this, socket] {
      {
        ServerConnection connection(this, socket);
        if (script_) script_(connection);
      }
      std::lock_guard<std::mutex> lock(mutex_);
      ++finished_;
      changed_.notify_all();
    });
  }
}

Script HttpTestServer::Respond(std::string response) {
  return [response](ServerConnection& c) {
    if (c.ReadHead().empty()) return;
    c.Send(response);
  };
}

Script HttpTestServer::Serve(Handler handler) {
  return [handler](ServerConnection& c) {
    for (;;) {
      const std::string head = c.ReadHead();
      if (head.empty()) return;
      Request request;
      const std::size_t methodEnd = head.find(' ');
      const std::size_t targetEnd = head.find(' ', methodEnd + 1);
      if (methodEnd == std::string::npos || targetEnd == std::string::npos) return;
      request.method = head.substr(0, methodEnd);
      request.target = head.substr(methodEnd + 1, targetEnd - methodEnd - 1);
      request.head = head;
      std::string answer = handler(request);
      if (answer.empty()) return;
      const std::size_t headEnd = answer.find("\r\n\r\n");
      std::string answerHead = answer.substr(0, headEnd == std::string::npos ? answer.size() : headEnd + 4);
      if (request.method == "HEAD") answer = answerHead;
      if (!c.Send(answer)) return;
      std::transform(answerHead.begin(), answerHead.end(), answerHead.begin(),
                     [](char ch) { return static_cast<char>(std::tolower(static_cast<unsigned char>(ch))); });
      const bool framed = answerHead.find("\r\ncontent-length:") != std::string::npos ||
                          answerHead.find("\r\ntransfer-encoding: chunked") != std::string::npos;
      if ((!framed && request.method != "HEAD") || answerHead.find("\r\nconnection: close") != std::string::npos) {
        return;
      }
    }
  };
}

Script HttpTestServer::ServeBytes(std::uint64_t size) {
  return [size](ServerConnection& c) {
    platform::SetSocketBufferSizes(c.handle(), 1 << 20);
    std::string block(256 * 1024, '\0');
    for (std::size_t i = 0; i < block.size(); ++i) block[i] = PatternByte(i);
    for (std::string head = c.ReadHead(); !head.empty(); head = c.ReadHead()) {
      if (!c.Send("HTTP/1.1 200 OK\r\nContent-Type: application/octet-stream\r\nContent-Length: " +
                  std::to_string(size) + "\r\n\r\n")) {
        return;
      }
      if (head.compare(0, 5, "HEAD ") == 0) continue;  // the head alone
      // The block is a whole number of pattern periods, so every block
      // continues the pattern where the last one ended.
      const std::size_t period = block.size() - block.size() % 26;
      for (std::uint64_t left = size; left > 0;) {
        const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(left, period));
        if (!c.Send(std::string_view(block.data(), n))) return;
        left -= n;
      }
    }
  };
}

// --- TunnelProxy

TunnelProxy::TunnelProxy(std::string connectAnswer)
    : server_([answer = std::move(connectAnswer)](ServerConnection& c) {
        const std::string head = c.ReadHead();
        const std::size_t methodEnd = head.find(' ');
        const std::size_t targetEnd = head.find(' ', methodEnd + 1);
        if (head.empty() || methodEnd == std::string::npos || targetEnd == std::string::npos) return;
        const std::string method = head.substr(0, methodEnd);
        std::string target = head.substr(methodEnd + 1, targetEnd - methodEnd - 1);
        if (method == "CONNECT") {
          c.Send(answer);
          if (answer.compare(0, 12, "HTTP/1.0 200") != 0 && answer.compare(0, 12, "HTTP/1.1 200") != 0) return;
        } else {
          if (target.compare(0, 7, "http://") != 0) {
            c.Send("HTTP/1.1 400 Bad Request\r\nContent-Length: 0\r\n\r\n");
            return;
          }
          target = target.substr(7, target.find('/', 7) - 7);
        }
        std::uint16_t port = 0;
        SocketHandle upstream = LoopbackTarget(target, &port) ? ConnectLoopback(port) : kInvalidSocket;
        if (upstream == kInvalidSocket) {
          if (method != "CONNECT") c.Send("HTTP/1.1 502 Bad Gateway\r\nContent-Length: 0\r\n\r\n");
          return;
        }
        c.server().TrackSocket(upstream);
        Relay(c, upstream, method == "CONNECT" ? std::string() : head);
      }) {}

// --- SilentListener

SilentListener::SilentListener() {
  platform::SocketStartup();
  listener_ = platform::ListenLoopback(0, &port_);
  if (listener_ == kInvalidSocket) return;
  // Connect until one does not complete: from then on the backlog is full
  // and further connects hang until their time-out.
  for (int i = 0; i < 64; ++i) {
    const SocketHandle s = platform::CreateTcpSocket();
    if (s == kInvalidSocket) break;
    fillers_.push_back(s);
    platform::SetSocketBlocking(s, false);
    const auto started = platform::StartConnect(s, LoopbackAddress(port_));
    if (started == platform::ConnectStartResult::kConnected) continue;
    if (started == platform::ConnectStartResult::kFailed) break;
    bool connected = false;
    if (platform::WaitConnected(s, SocketWait{0, 200000}, &connected) != SocketWaitResult::kReady) break;
  }
}

SilentListener::~SilentListener() {
  for (SocketHandle s : fillers_) platform::CloseSocket(s);
  if (listener_ != kInvalidSocket) platform::CloseSocket(listener_);
  platform::SocketCleanup();
}

std::wstring SilentListener::HostPort() const { return L"127.0.0.1:" + std::to_wstring(port_); }

// --- Helpers

std::uint16_t UnusedPort() {
  platform::SocketStartup();
  std::uint16_t port = 0;
  const SocketHandle s = platform::ListenLoopback(1, &port);
  if (s != kInvalidSocket) platform::CloseSocket(s);
  platform::SocketCleanup();
  return port;
}

SocketHandle ConnectLoopback(std::uint16_t port) {
  const SocketHandle s = platform::CreateTcpSocket();
  if (s == kInvalidSocket) return kInvalidSocket;
  if (platform::StartConnect(s, LoopbackAddress(port)) != platform::ConnectStartResult::kConnected) {
    platform::CloseSocket(s);
    return kInvalidSocket;
  }
  return s;
}

}  // namespace orb::test
