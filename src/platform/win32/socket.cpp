// socket.cpp (Windows) - Winsock. A failed non-blocking connect shows in the
// exception set of select, a finished one in the write set.
#include "platform/socket.h"

#include "platform/win32/windows_api.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <climits>

namespace orb::platform {

namespace {

SOCKET Sys(SocketHandle socket) { return static_cast<SOCKET>(socket); }

timeval ToTimeval(SocketWait wait) {
  timeval t{};
  t.tv_sec = wait.seconds < 0 ? 0 : wait.seconds;
  t.tv_usec = wait.microseconds < 0 ? 0 : wait.microseconds;
  // select refuses microsecond parts of a second or more.
  t.tv_sec += t.tv_usec / 1000000;
  t.tv_usec %= 1000000;
  return t;
}

sockaddr_in ToSystem(const Ipv4SocketAddress& a) {
  sockaddr_in s{};
  s.sin_family = AF_INET;
  s.sin_port = a.port;
  s.sin_addr.s_addr = a.address;
  return s;
}

int Clamp(std::size_t n) { return n > INT_MAX ? INT_MAX : static_cast<int>(n); }

}  // namespace

bool SocketStartup() {
  WSADATA data;
  return WSAStartup(MAKEWORD(1, 1), &data) == 0;
}

void SocketCleanup() { WSACleanup(); }

SocketHandle CreateTcpSocket() {
  const SOCKET s = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  return s == INVALID_SOCKET ? kInvalidSocket : static_cast<SocketHandle>(s);
}

bool CloseSocket(SocketHandle socket) {
  if (socket == kInvalidSocket) return false;
  return ::closesocket(Sys(socket)) == 0;
}

bool BindAnyLocal(SocketHandle socket) {
  sockaddr_in any{};
  any.sin_family = AF_INET;
  any.sin_addr.s_addr = htonl(INADDR_ANY);
  return ::bind(Sys(socket), reinterpret_cast<sockaddr*>(&any), sizeof any) == 0;
}

bool SetSocketBlocking(SocketHandle socket, bool blocking) {
  u_long nonBlocking = blocking ? 0 : 1;
  return ::ioctlsocket(Sys(socket), FIONBIO, &nonBlocking) == 0;
}

ConnectStartResult StartConnect(SocketHandle socket, const Ipv4SocketAddress& to) {
  const sockaddr_in address = ToSystem(to);
  if (::connect(Sys(socket), reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0) {
    return ConnectStartResult::kConnected;
  }
  return WSAGetLastError() == WSAEWOULDBLOCK ? ConnectStartResult::kPending : ConnectStartResult::kFailed;
}

SocketWaitResult WaitConnected(SocketHandle socket, SocketWait wait, bool* connected) {
  *connected = false;
  fd_set set;
  FD_ZERO(&set);
  FD_SET(Sys(socket), &set);
  fd_set readable = set, writable = set, failed = set;
  timeval t = ToTimeval(wait);
  const int rc = ::select(0, &readable, &writable, &failed, &t);
  if (rc == SOCKET_ERROR) return SocketWaitResult::kFailed;
  if (rc == 0) return SocketWaitResult::kTimedOut;
  *connected = !FD_ISSET(Sys(socket), &failed) &&
               (FD_ISSET(Sys(socket), &readable) || FD_ISSET(Sys(socket), &writable));
  return SocketWaitResult::kReady;
}

SocketWaitResult WaitReadable(SocketHandle socket, SocketWait wait) {
  fd_set readable;
  FD_ZERO(&readable);
  FD_SET(Sys(socket), &readable);
  timeval t = ToTimeval(wait);
  const int rc = ::select(0, &readable, nullptr, nullptr, &t);
  if (rc == SOCKET_ERROR) return SocketWaitResult::kFailed;
  return rc == 0 ? SocketWaitResult::kTimedOut : SocketWaitResult::kReady;
}

bool GetLocalAddress(SocketHandle socket, Ipv4SocketAddress* out) {
  sockaddr_in address{};
  int length = sizeof address;
  if (::getsockname(Sys(socket), reinterpret_cast<sockaddr*>(&address), &length) != 0) return false;
  *out = Ipv4SocketAddress{};
  out->family = kAddressFamilyIpv4;
  out->port = address.sin_port;
  out->address = address.sin_addr.s_addr;
  return true;
}

long Receive(SocketHandle socket, void* buffer, std::size_t capacity) {
  const int got = ::recv(Sys(socket), static_cast<char*>(buffer), Clamp(capacity), 0);
  return got == SOCKET_ERROR ? -1 : got;
}

long PeekOneByte(SocketHandle socket) {
  char byte;
  const int got = ::recv(Sys(socket), &byte, 1, MSG_PEEK);
  return got == SOCKET_ERROR ? -1 : got;
}

long SendSome(SocketHandle socket, const void* data, std::size_t length) {
  const int sent = ::send(Sys(socket), static_cast<const char*>(data), Clamp(length), 0);
  return sent == SOCKET_ERROR ? -1 : sent;
}

bool ResolveIpv4(const char* host, std::uint32_t* address) {
  if (host == nullptr || address == nullptr) return false;
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  if (::getaddrinfo(host, nullptr, &hints, &found) != 0 || found == nullptr) return false;
  bool ok = false;
  for (addrinfo* entry = found; entry != nullptr; entry = entry->ai_next) {
    if (entry->ai_family == AF_INET && entry->ai_addr != nullptr) {
      *address = reinterpret_cast<const sockaddr_in*>(entry->ai_addr)->sin_addr.s_addr;
      ok = true;
      break;
    }
  }
  ::freeaddrinfo(found);
  return ok;
}

SocketHandle ListenLoopback(int backlog, std::uint16_t* port) {
  const SocketHandle listener = CreateTcpSocket();
  if (listener == kInvalidSocket) return kInvalidSocket;
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  int length = sizeof address;
  if (::bind(Sys(listener), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      ::listen(Sys(listener), backlog) != 0 ||
      ::getsockname(Sys(listener), reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    CloseSocket(listener);
    return kInvalidSocket;
  }
  if (port != nullptr) *port = ntohs(address.sin_port);
  return listener;
}

SocketHandle Accept(SocketHandle listener, SocketWait wait) {
  if (WaitReadable(listener, wait) != SocketWaitResult::kReady) return kInvalidSocket;
  const SOCKET s = ::accept(Sys(listener), nullptr, nullptr);
  return s == INVALID_SOCKET ? kInvalidSocket : static_cast<SocketHandle>(s);
}

bool ShutdownSend(SocketHandle socket) { return ::shutdown(Sys(socket), SD_SEND) == 0; }

bool ShutdownBoth(SocketHandle socket) { return ::shutdown(Sys(socket), SD_BOTH) == 0; }

bool SetResetOnClose(SocketHandle socket) {
  linger l{};
  l.l_onoff = 1;
  l.l_linger = 0;
  return ::setsockopt(Sys(socket), SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&l), sizeof l) == 0;
}

bool SetSocketBufferSizes(SocketHandle socket, int bytes) {
  const char* value = reinterpret_cast<const char*>(&bytes);
  return ::setsockopt(Sys(socket), SOL_SOCKET, SO_SNDBUF, value, sizeof bytes) == 0 &&
         ::setsockopt(Sys(socket), SOL_SOCKET, SO_RCVBUF, value, sizeof bytes) == 0;
}

}  // namespace orb::platform
