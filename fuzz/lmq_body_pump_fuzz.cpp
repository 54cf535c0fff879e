// lmq_body_pump_fuzz.cpp - the response pump over a real loopback socket:
// any server bytes (chunked, fixed-length or a whole response of their own)
// must end in a result, never a crash, a hang or more body than was sent.
//
// Input: byte 0 picks the framing, byte 1 the ReadBody capacity, the rest is
// what the server sends after the head (or instead of one).
#include <cstdlib>
#include <string>
#include <vector>

#include "lmq/lmq_http_stream.h"
#include "platform/socket.h"

namespace {

namespace socket_api = orb::platform;

struct Listener {
  Listener() {
    socket_api::SocketStartup();
    handle = socket_api::ListenLoopback(16, &port);
    if (handle == socket_api::kInvalidSocket) std::abort();
    target = L"127.0.0.1:" + std::to_wstring(port);
    url.Parse((L"http://" + target + L"/fuzz").c_str(), false);
  }
  socket_api::SocketHandle handle;
  std::uint16_t port = 0;
  std::wstring target;
  LmqURL url;
};

bool SendAll(socket_api::SocketHandle s, const std::string& bytes) {
  std::size_t at = 0;
  while (at < bytes.size()) {
    const long sent = socket_api::SendSome(s, bytes.data() + at, bytes.size() - at);
    if (sent <= 0) return false;
    at += static_cast<std::size_t>(sent);
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
  static Listener listener;
  if (size < 2) return 0;
  static const char* const kHeads[] = {
      "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n",
      "HTTP/1.1 200 OK\r\nContent-Length: 64\r\n\r\n",
      "",
  };
  const std::string head = kHeads[data[0] % 3];
  // Small reads copy from the connection's 1 KiB buffer; reads of a buffer's
  // worth or more receive straight into the caller's memory.
  const std::uint32_t capacity = 1 + data[1] * 20u;
  const std::string body(reinterpret_cast<const char*>(data) + 2, size - 2);
  // With nothing at all to read, the stream would already be over when the
  // request checks its connection, and it would connect anew.
  if (head.empty() && body.empty()) return 0;

  LmqTCPConnection connection;
  const LmqTimeout wait{2, 0};
  if (connection.Connect(listener.target.c_str(), &wait) != LMQ_OK) std::abort();
  const socket_api::SocketHandle server = socket_api::Accept(listener.handle, {2, 0});
  if (server == socket_api::kInvalidSocket) std::abort();
  // Everything is sent and the stream ended before the client reads, so no
  // read ever waits.
  SendAll(server, head + body);
  socket_api::ShutdownSend(server);

  std::uint64_t delivered = 0;
  {
    LmqHTTPStream stream;
    stream.SetTimeout(2, 0);
    stream.SetRequest("GET", "HTTP/1.1", &listener.url, nullptr, nullptr, 0);
    int status = 0;
    if (stream.Execute(&status, &connection) == LMQ_OK) {
      std::vector<char> buffer(capacity);
      for (;;) {
        std::uint32_t got = 0;
        const LmqResult result = stream.ReadBody(buffer.data(), capacity, &got);
        if (got > capacity) std::abort();
        delivered += got;
        if (got == 0 || result != LMQ_OK) break;
      }
    }
    if (delivered > body.size()) std::abort();
    stream.DetachConnection(false);
  }
  // A reset leaves no TIME_WAIT behind, so long runs do not run out of ports.
  socket_api::SetResetOnClose(server);
  socket_api::CloseSocket(server);
  return 0;
}
