// lmq_tcp_connection.h - the HTTP library's client socket: a bounded
// connect (directly or through an HTTP proxy, optionally with a CONNECT
// tunnel), blocking sends, and a receive buffer from which the engine reads
// the response head byte by byte without a system call per byte.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "lmq/lmq_result.h"
#include "lmq/lmq_sync.h"
#include "lmq/lmq_timeout.h"
#include "lmq/lmq_url.h"
#include "lmq/lmq_winsock_util.h"
#include "platform/socket.h"

class LmqTCPConnection : public LmqSync {
 public:
  static constexpr std::uint32_t kDefaultReceiveBufferSize = 1024;
  static constexpr long kDefaultConnectSeconds = 10;

  LmqTCPConnection();
  ~LmqTCPConnection() override;
  void Lock() override;
  void Unlock() override;

  // target: host ":" port. Without a time-out the default (10 s) applies.
  // Any failure leaves the socket closed.
  LmqResult Connect(const wchar_t* target, const LmqTimeout* timeout = nullptr);
  // LMQ_OK while usable; LMQ_E_NOT_CONNECTED (and the socket closed) once
  // the peer has gone. Consumes no data.
  LmqResult CheckConnection();
  void Disconnect();
  bool IsConnected() const { return socket_ != orb::platform::kInvalidSocket; }

  LmqResult Send(const void* data, std::size_t length);
  // Up to `wanted` buffered bytes; receives once when the buffer is empty.
  // A count of 0 with LMQ_OK: the peer closed. *pointer stays valid until
  // the next call.
  LmqResult NextBytes(const char** pointer, std::uint32_t wanted, std::uint32_t* count);
  // Like NextBytes, but into the caller's memory: buffered bytes first,
  // otherwise one receive straight into `destination`. Large body reads
  // skip the small receive buffer this way.
  LmqResult ReceiveInto(char* destination, std::uint32_t wanted, std::uint32_t* count);
  LmqResult WaitReadable(LmqTimeout timeout);

  // The size is taken modulo 65,536 (0 keeps the default); empties the buffer.
  void SetReceiveBufferSize(std::uint32_t size);
  std::uint32_t GetReceiveBufferSize() const { return static_cast<std::uint32_t>(buffer_.size()); }

  // "host" or "host:port" (port 80 by default); null: no proxy.
  void SetProxy(const wchar_t* proxy);
  bool HasProxy() const { return proxy_; }
  const LmqURL& GetProxyUrl() const { return proxyUrl_; }
  // Sent after the Host line of a CONNECT request in place of the empty
  // line, so it must end with an empty line of its own.
  void SetTunnelHeaders(const char* text) { tunnelHeaders_ = text != nullptr ? text : ""; }

  void SetHttps(bool https) { https_ = https; }
  bool IsHttps() const { return https_; }
  void SetTunnel(bool tunnel) { tunnel_ = tunnel; }
  bool IsTunnel() const { return tunnel_; }
  void SetTunnelAllowed(bool allowed) { tunnelAllowed_ = allowed; }
  bool IsTunnelAllowed() const { return tunnelAllowed_; }

  void SetDefaultTimeout(LmqTimeout timeout) { defaultTimeout_ = timeout; }
  void GetLocalAddress(orb::platform::Ipv4SocketAddress* out) const;

 private:
  LmqResult OpenTunnel(const wchar_t* target);
  void EmptyBuffer() { held_ = position_ = 0; }

  LmqWinsockUtil winsock_;
  orb::platform::SocketHandle socket_ = orb::platform::kInvalidSocket;
  orb::platform::Ipv4SocketAddress localAddress_;
  bool https_ = false;
  bool tunnel_ = false;
  bool tunnelAllowed_ = false;
  bool proxy_ = false;
  std::wstring proxyText_;
  LmqURL proxyUrl_;
  std::string tunnelHeaders_;
  LmqTimeout defaultTimeout_{kDefaultConnectSeconds, 0};
  std::vector<char> buffer_;
  std::uint32_t held_ = 0;
  std::uint32_t position_ = 0;
};
