// socket.cpp (POSIX) - BSD sockets. Waits use poll, so descriptors above
// FD_SETSIZE work too.
#include "platform/socket.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>

namespace orb::platform {

namespace {

int Fd(SocketHandle socket) { return static_cast<int>(socket); }

int TimeoutMs(SocketWait wait) {
  const long long seconds = wait.seconds < 0 ? 0 : wait.seconds;
  const long long micro = wait.microseconds < 0 ? 0 : wait.microseconds;
  const long long ms = seconds * 1000 + (micro + 999) / 1000;
  return ms > INT_MAX ? INT_MAX : static_cast<int>(ms);
}

// poll, restarted after a signal with the same time-out.
int PollOne(int fd, short events, SocketWait wait, short* revents) {
  pollfd p{fd, events, 0};
  int rc;
  do {
    rc = ::poll(&p, 1, TimeoutMs(wait));
  } while (rc < 0 && errno == EINTR);
  *revents = p.revents;
  return rc;
}

sockaddr_in ToSystem(const Ipv4SocketAddress& a) {
  sockaddr_in s{};
  s.sin_family = AF_INET;
  s.sin_port = a.port;
  s.sin_addr.s_addr = a.address;
  return s;
}

}  // namespace

bool SocketStartup() { return true; }
void SocketCleanup() {}

SocketHandle CreateTcpSocket() {
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, IPPROTO_TCP);
  return fd < 0 ? kInvalidSocket : static_cast<SocketHandle>(fd);
}

bool CloseSocket(SocketHandle socket) {
  if (socket == kInvalidSocket) return false;
  return ::close(Fd(socket)) == 0;
}

bool BindAnyLocal(SocketHandle socket) {
  sockaddr_in any{};
  any.sin_family = AF_INET;
  any.sin_addr.s_addr = htonl(INADDR_ANY);
  return ::bind(Fd(socket), reinterpret_cast<sockaddr*>(&any), sizeof any) == 0;
}

bool SetSocketBlocking(SocketHandle socket, bool blocking) {
  const int flags = ::fcntl(Fd(socket), F_GETFL);
  if (flags < 0) return false;
  const int wanted = blocking ? (flags & ~O_NONBLOCK) : (flags | O_NONBLOCK);
  return ::fcntl(Fd(socket), F_SETFL, wanted) == 0;
}

ConnectStartResult StartConnect(SocketHandle socket, const Ipv4SocketAddress& to) {
  const sockaddr_in address = ToSystem(to);
  if (::connect(Fd(socket), reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0) {
    return ConnectStartResult::kConnected;
  }
  return errno == EINPROGRESS || errno == EAGAIN || errno == EINTR ? ConnectStartResult::kPending
                                                                   : ConnectStartResult::kFailed;
}

SocketWaitResult WaitConnected(SocketHandle socket, SocketWait wait, bool* connected) {
  *connected = false;
  short revents = 0;
  const int rc = PollOne(Fd(socket), POLLIN | POLLOUT, wait, &revents);
  if (rc < 0) return SocketWaitResult::kFailed;
  if (rc == 0) return SocketWaitResult::kTimedOut;
  int error = 0;
  socklen_t length = sizeof error;
  const bool clean = ::getsockopt(Fd(socket), SOL_SOCKET, SO_ERROR, &error, &length) == 0 && error == 0;
  *connected = clean && (revents & (POLLERR | POLLNVAL)) == 0 && (revents & (POLLIN | POLLOUT)) != 0;
  return SocketWaitResult::kReady;
}

SocketWaitResult WaitReadable(SocketHandle socket, SocketWait wait) {
  short revents = 0;
  const int rc = PollOne(Fd(socket), POLLIN, wait, &revents);
  if (rc < 0 || (revents & POLLNVAL) != 0) return SocketWaitResult::kFailed;
  // A reset or a hang-up reads as "readable": the next receive tells which.
  return rc == 0 ? SocketWaitResult::kTimedOut : SocketWaitResult::kReady;
}

bool GetLocalAddress(SocketHandle socket, Ipv4SocketAddress* out) {
  sockaddr_in address{};
  socklen_t length = sizeof address;
  if (::getsockname(Fd(socket), reinterpret_cast<sockaddr*>(&address), &length) != 0) return false;
  *out = Ipv4SocketAddress{};
  out->family = kAddressFamilyIpv4;
  out->port = address.sin_port;
  out->address = address.sin_addr.s_addr;
  return true;
}

long Receive(SocketHandle socket, void* buffer, std::size_t capacity) {
  ssize_t got;
  do {
    got = ::recv(Fd(socket), buffer, capacity, 0);
  } while (got < 0 && errno == EINTR);
  return got < 0 ? -1 : static_cast<long>(got);
}

long PeekOneByte(SocketHandle socket) {
  char byte;
  ssize_t got;
  do {
    got = ::recv(Fd(socket), &byte, 1, MSG_PEEK | MSG_DONTWAIT);
  } while (got < 0 && errno == EINTR);
  return got < 0 ? -1 : static_cast<long>(got);
}

long SendSome(SocketHandle socket, const void* data, std::size_t length) {
  ssize_t sent;
  do {
    sent = ::send(Fd(socket), data, length, MSG_NOSIGNAL);
  } while (sent < 0 && errno == EINTR);
  return sent < 0 ? -1 : static_cast<long>(sent);
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
  socklen_t length = sizeof address;
  if (::bind(Fd(listener), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      ::listen(Fd(listener), backlog) != 0 ||
      ::getsockname(Fd(listener), reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    CloseSocket(listener);
    return kInvalidSocket;
  }
  if (port != nullptr) *port = ntohs(address.sin_port);
  return listener;
}

SocketHandle Accept(SocketHandle listener, SocketWait wait) {
  if (WaitReadable(listener, wait) != SocketWaitResult::kReady) return kInvalidSocket;
  int fd;
  do {
    fd = ::accept4(Fd(listener), nullptr, nullptr, SOCK_CLOEXEC);
  } while (fd < 0 && errno == EINTR);
  return fd < 0 ? kInvalidSocket : static_cast<SocketHandle>(fd);
}

bool ShutdownSend(SocketHandle socket) { return ::shutdown(Fd(socket), SHUT_WR) == 0; }

bool ShutdownBoth(SocketHandle socket) { return ::shutdown(Fd(socket), SHUT_RDWR) == 0; }

bool SetResetOnClose(SocketHandle socket) {
  linger l{};
  l.l_onoff = 1;
  l.l_linger = 0;
  return ::setsockopt(Fd(socket), SOL_SOCKET, SO_LINGER, &l, sizeof l) == 0;
}

bool SetSocketBufferSizes(SocketHandle socket, int bytes) {
  return ::setsockopt(Fd(socket), SOL_SOCKET, SO_SNDBUF, &bytes, sizeof bytes) == 0 &&
         ::setsockopt(Fd(socket), SOL_SOCKET, SO_RCVBUF, &bytes, sizeof bytes) == 0;
}

}  // namespace orb::platform
