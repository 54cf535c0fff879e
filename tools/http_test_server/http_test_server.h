// http_test_server.h - scriptable HTTP servers on 127.0.0.1 for tests and
// benchmarks: any head, any body framing, delays, orderly or abrupt closes,
// a CONNECT-capable proxy, a listener that never accepts.
//
// Each server listens on 127.0.0.1 with a port the system chose (port()),
// accepts on its own thread and runs the script once per connection, each
// connection on a thread of its own. Everything stops in the destructor:
// waits, pauses and blocked sends of running scripts are cut short.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "platform/socket.h"

namespace orb::test {

class HttpTestServer;

// One accepted connection, as a script sees it.
class ServerConnection {
 public:
  ServerConnection(HttpTestServer* server, platform::SocketHandle socket);
  ~ServerConnection();
  ServerConnection(const ServerConnection&) = delete;
  ServerConnection& operator=(const ServerConnection&) = delete;

  // Reads a request head up to and including its blank line and records it
  // with the server; "" when the client closed or nothing came in time.
  std::string ReadHead(std::chrono::milliseconds wait = std::chrono::seconds(10));
  // Reads exactly n bytes (a request body); fewer when the client closed.
  std::string ReadBytes(std::size_t n, std::chrono::milliseconds wait = std::chrono::seconds(10));
  bool Send(std::string_view bytes);
  // Sends in pieces of `piece` bytes with `pause` before each piece after
  // the first.
  bool SendSlowly(std::string_view bytes, std::size_t piece, std::chrono::milliseconds pause);
  // Sleeps, but wakes when the server stops. False when it stopped.
  bool Pause(std::chrono::milliseconds how_long);
  // Holds the connection open until the client closes it, the server stops
  // or the time passes. True when the client closed.
  bool WaitClientClose(std::chrono::milliseconds wait = std::chrono::seconds(10));
  // Orderly end of the stream (the client reads end of data).
  void Close();
  // Abrupt end: the connection is reset.
  void Reset();

  // Bytes that arrived after the last head read and were not yet taken.
  std::string TakePending();

  platform::SocketHandle handle() const { return socket_; }
  HttpTestServer& server() { return *server_; }

 private:
  HttpTestServer* server_;
  platform::SocketHandle socket_;
  std::string pending_;  // bytes received past the last head
};

using Script = std::function<void(ServerConnection&)>;

class HttpTestServer {
 public:
  explicit HttpTestServer(Script script);
  ~HttpTestServer();
  HttpTestServer(const HttpTestServer&) = delete;
  HttpTestServer& operator=(const HttpTestServer&) = delete;

  bool ok() const { return listener_ != platform::kInvalidSocket; }
  std::uint16_t port() const { return port_; }
  // "127.0.0.1:PORT", the form the HTTP library connects to.
  std::wstring HostPort() const;
  // "http://127.0.0.1:PORT" + path.
  std::wstring Url(const std::wstring& path = L"/") const;

  // Stops accepting: from its return on, connects to the port are refused
  // (a script may call it, e.g. after answering a pre-flight).
  void StopListening();

  // Every head that scripts read, in arrival order.
  std::vector<std::string> Requests() const;
  int Connections() const { return connections_.load(); }
  // Waits until `count` connections have been accepted and every script
  // has returned. False after the time-out.
  bool WaitScriptsDone(int count, std::chrono::milliseconds wait = std::chrono::seconds(10));
  bool stopping() const { return stop_.load(); }

  // Sockets that a script opens itself (a proxy's upstream) are tracked so
  // that stopping the server wakes their blocked calls; CloseTracked closes
  // and forgets one.
  void TrackSocket(platform::SocketHandle socket);
  void CloseTracked(platform::SocketHandle socket);

  // A request as a Serve handler sees it.
  struct Request {
    std::string method;  // "GET", "HEAD", ...
    std::string target;  // as the request line writes it ("/a?b", or an absolute URI)
    std::string head;    // the whole head
  };
  // The whole response to a request, head and body; "" closes the connection
  // without an answer.
  using Handler = std::function<std::string(const Request&)>;

  // --- Ready-made scripts.
  // Answers every request on a connection with `handler` until the client
  // closes it. A HEAD request gets only the head of the answer. An answer
  // framed by neither Content-Length nor chunked encoding (its body ends
  // with the connection), or one with "Connection: close", is the last on
  // its connection.
  static Script Serve(Handler handler);
  // Reads the request head, sends `response` as it stands, closes.
  static Script Respond(std::string response);
  // Reads the request head and answers 200 with a body of `size` bytes
  // (Content-Length framing), sent in large blocks: for benchmarks. Serves
  // requests on the connection until the client closes it; a HEAD request
  // gets the head alone.
  static Script ServeBytes(std::uint64_t size);
  // The byte at `offset` of every body that ServeBytes sends.
  static char PatternByte(std::uint64_t offset) { return static_cast<char>('a' + offset % 26); }

 private:
  friend class ServerConnection;
  void AcceptLoop();
  void RecordRequest(const std::string& head);
  bool SleepFor(std::chrono::milliseconds how_long);

  Script script_;
  platform::SocketHandle listener_ = platform::kInvalidSocket;
  std::uint16_t port_ = 0;
  std::atomic<bool> stop_{false};
  std::atomic<int> connections_{0};
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  int finished_ = 0;
  std::vector<std::string> requests_;
  std::set<platform::SocketHandle> open_;
  std::vector<std::thread> workers_;
  std::thread acceptor_;
  bool started_;
  bool stopListening_ = false;  // asked for; the acceptor closes the listener
  bool listenerClosed_ = false;
};

// An HTTP proxy: answers CONNECT with `connectAnswer` (a whole head) and, when
// that answer is a 200, relays bytes between the client and the named
// target; other requests must carry an absolute URI and are forwarded to its
// host and port as they stand. Only targets on 127.0.0.1 are reached.
class TunnelProxy {
 public:
  explicit TunnelProxy(std::string connectAnswer = "HTTP/1.0 200 Connection established\r\n\r\n");
  HttpTestServer& server() { return server_; }
  std::uint16_t port() const { return server_.port(); }
  std::wstring HostPort() const { return server_.HostPort(); }
  std::vector<std::string> Requests() const { return server_.Requests(); }

 private:
  HttpTestServer server_;
};

// A listener whose backlog is full: connects to it neither succeed nor fail
// until they time out.
class SilentListener {
 public:
  SilentListener();
  ~SilentListener();
  SilentListener(const SilentListener&) = delete;
  SilentListener& operator=(const SilentListener&) = delete;
  std::uint16_t port() const { return port_; }
  std::wstring HostPort() const;

 private:
  platform::SocketHandle listener_;
  std::uint16_t port_ = 0;
  std::vector<platform::SocketHandle> fillers_;
};

// A port on 127.0.0.1 where nothing listens (it was bound, read back and
// closed again).
std::uint16_t UnusedPort();

// A connected socket to 127.0.0.1:port (blocking); kInvalidSocket on failure.
platform::SocketHandle ConnectLoopback(std::uint16_t port);

}  // namespace orb::test
