// lmq_tcp_connection.cpp - connect with a time-out, proxy tunnel, buffered
// receive.
#include "lmq/lmq_tcp_connection.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "lmq/lmq_http_download.h"

namespace socket_api = orb::platform;

LmqTCPConnection::LmqTCPConnection() { SetReceiveBufferSize(kDefaultReceiveBufferSize); }

LmqTCPConnection::~LmqTCPConnection() { Disconnect(); }

void LmqTCPConnection::Lock() { LmqSync::Lock(); }
void LmqTCPConnection::Unlock() { LmqSync::Unlock(); }

LmqResult LmqTCPConnection::Connect(const wchar_t* target, const LmqTimeout* timeout) {
  if (target == nullptr) return LMQ_E_INVALID_ARG;
  // A new connection never inherits the old one's socket or unread bytes.
  Disconnect();

  LmqURL address;
  const std::wstring url = std::wstring(L"http://") + (proxy_ ? proxyText_.c_str() : target) + L"/";
  if (!address.Parse(url.c_str(), true)) return LMQ_E_ADDRESS;

  socket_ = socket_api::CreateTcpSocket();
  if (socket_ == socket_api::kInvalidSocket) return LMQ_E_SOCKET_CREATE;

  LmqResult result = LMQ_OK;
  if (!socket_api::BindAnyLocal(socket_)) {
    result = LMQ_E_BIND;
  } else if (!winsock_.SetBlocking(socket_, false)) {
    result = LMQ_E_CONNECT;
  } else {
    const socket_api::ConnectStartResult started = socket_api::StartConnect(socket_, address.GetSocketAddress());
    if (started == socket_api::ConnectStartResult::kFailed) {
      result = LMQ_E_CONNECT;
    } else if (started == socket_api::ConnectStartResult::kPending) {
      const LmqTimeout wait = timeout != nullptr ? *timeout : defaultTimeout_;
      bool connected = false;
      switch (socket_api::WaitConnected(socket_, {wait.seconds, wait.microseconds}, &connected)) {
        case socket_api::SocketWaitResult::kFailed:
          result = LMQ_E_CONNECT_WAIT;
          break;
        case socket_api::SocketWaitResult::kTimedOut:
          result = LMQ_E_CONNECT_TIMEOUT;
          break;
        case socket_api::SocketWaitResult::kReady:
          if (!connected) result = LMQ_E_CONNECT;
          break;
      }
    }
    winsock_.SetBlocking(socket_, true);
  }
  if (result == LMQ_OK && !socket_api::GetLocalAddress(socket_, &localAddress_)) result = LMQ_E_LOCAL_ADDRESS;
  if (result == LMQ_OK && tunnel_ && proxy_) result = OpenTunnel(target);
  if (result != LMQ_OK) Disconnect();
  return result;
}

LmqResult LmqTCPConnection::OpenTunnel(const wchar_t* target) {
  LmqURL url;
  const std::wstring text = std::wstring(L"http://") + target + L"/";
  url.Parse(text.c_str(), false);
  // The request line names the target itself: "CONNECT host:port HTTP/1.0".
  url.SetPath(target);
  LmqHTTPDownload handshake;
  if (!handshake.SetRequest("CONNECT", "HTTP/1.0", &url, tunnelHeaders_.empty() ? nullptr : tunnelHeaders_.c_str(),
                            nullptr, 0)) {
    return LMQ_E_TUNNEL_REFUSED;
  }
  int status = 0;
  if (handshake.Execute(&status, this) != LMQ_OK) return LMQ_E_TUNNEL_REFUSED;
  const std::string statusText = handshake.GetStatusText();
  if (statusText == "200") return LMQ_OK;
  if (statusText == "403") return LMQ_E_PROXY_403;
  if (statusText == "405") return LMQ_E_PROXY_405;
  if (statusText == "407") return LMQ_E_PROXY_407;
  return LMQ_E_TUNNEL_REFUSED;
}

LmqResult LmqTCPConnection::CheckConnection() {
  if (socket_ == socket_api::kInvalidSocket) return LMQ_E_NOT_CONNECTED;
  switch (WaitReadable({0, 0})) {
    case LMQ_E_TIMEOUT:
      return LMQ_OK;
    case LMQ_OK:
      if (position_ < held_ || socket_api::PeekOneByte(socket_) == 1) return LMQ_OK;
      break;
    default:
      break;
  }
  Disconnect();
  return LMQ_E_NOT_CONNECTED;
}

void LmqTCPConnection::Disconnect() {
  if (socket_ != socket_api::kInvalidSocket) {
    // Wakes a thread that is blocked on this socket; closing alone does not
    // on every system.
    socket_api::ShutdownBoth(socket_);
    winsock_.CloseSocket(&socket_);
  }
  EmptyBuffer();
}

LmqResult LmqTCPConnection::Send(const void* data, std::size_t length) {
  if (data == nullptr && length != 0) return LMQ_E_INVALID_ARG;
  const char* p = static_cast<const char*>(data);
  while (length > 0) {
    if (socket_ == socket_api::kInvalidSocket) return LMQ_E_SEND;
    const long sent = socket_api::SendSome(socket_, p, length);
    if (sent <= 0) return LMQ_E_SEND;
    p += sent;
    length -= static_cast<std::size_t>(sent);
  }
  return LMQ_OK;
}

LmqResult LmqTCPConnection::NextBytes(const char** pointer, std::uint32_t wanted, std::uint32_t* count) {
  if (pointer == nullptr || count == nullptr) return LMQ_E_INVALID_ARG;
  *count = 0;
  if (position_ >= held_) {
    EmptyBuffer();
    if (socket_ == socket_api::kInvalidSocket) return LMQ_E_RECEIVE;
    const long got = socket_api::Receive(socket_, buffer_.data(), buffer_.size());
    if (got < 0) return LMQ_E_RECEIVE;
    held_ = static_cast<std::uint32_t>(got);
  }
  *count = std::min(held_ - position_, wanted);
  *pointer = buffer_.data() + position_;
  position_ += *count;
  if (position_ >= held_) EmptyBuffer();
  return LMQ_OK;
}

LmqResult LmqTCPConnection::ReceiveInto(char* destination, std::uint32_t wanted, std::uint32_t* count) {
  if (destination == nullptr || count == nullptr) return LMQ_E_INVALID_ARG;
  *count = 0;
  if (position_ < held_) {
    const char* buffered = nullptr;
    const LmqResult result = NextBytes(&buffered, wanted, count);
    if (result == LMQ_OK) std::memcpy(destination, buffered, *count);
    return result;
  }
  if (socket_ == socket_api::kInvalidSocket) return LMQ_E_RECEIVE;
  const long got = socket_api::Receive(socket_, destination, wanted);
  if (got < 0) return LMQ_E_RECEIVE;
  *count = static_cast<std::uint32_t>(got);
  return LMQ_OK;
}

LmqResult LmqTCPConnection::WaitReadable(LmqTimeout timeout) {
  if (position_ < held_) return LMQ_OK;
  if (socket_ == socket_api::kInvalidSocket) return LMQ_E_WAIT;
  switch (socket_api::WaitReadable(socket_, {timeout.seconds, timeout.microseconds})) {
    case socket_api::SocketWaitResult::kReady:
      return LMQ_OK;
    case socket_api::SocketWaitResult::kTimedOut:
      return LMQ_E_TIMEOUT;
    case socket_api::SocketWaitResult::kFailed:
      break;
  }
  return LMQ_E_WAIT;
}

void LmqTCPConnection::SetReceiveBufferSize(std::uint32_t size) {
  std::uint32_t capacity = size % 65536u;
  // A buffer of no bytes would read as "the peer closed" on every receive.
  if (capacity == 0) capacity = kDefaultReceiveBufferSize;
  try {
    std::vector<char>(capacity).swap(buffer_);
  } catch (const std::bad_alloc&) {
    // The old buffer stays; it is emptied all the same.
  }
  EmptyBuffer();
}

void LmqTCPConnection::SetProxy(const wchar_t* proxy) {
  if (proxy == nullptr) {
    proxy_ = false;
    proxyText_.clear();
    proxyUrl_.Reset();
    return;
  }
  proxy_ = true;
  proxyText_ = proxy;
  const std::wstring url = std::wstring(L"http://") + proxy + L"/";
  proxyUrl_.Parse(url.c_str(), false);
}

void LmqTCPConnection::GetLocalAddress(orb::platform::Ipv4SocketAddress* out) const {
  if (out != nullptr) *out = localAddress_;
}
