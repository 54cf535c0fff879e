// socket.h - IPv4 stream sockets: what the in-house HTTP library and the
// test servers ask of the operating system (Winsock on Windows, BSD sockets
// elsewhere).
//
// Handles are opaque numbers; kInvalidSocket is never a valid one. Calls do
// not raise signals: a send to a peer that has gone fails instead of ending
// the process.
#pragma once

#include <cstddef>
#include <cstdint>

namespace orb::platform {

using SocketHandle = std::uintptr_t;
inline constexpr SocketHandle kInvalidSocket = ~SocketHandle{0};

inline constexpr std::uint16_t kAddressFamilyIpv4 = 2;

// The 16-byte IPv4 socket address as both systems lay it out.
struct Ipv4SocketAddress {
  std::uint16_t family = 0;   // kAddressFamilyIpv4 when set
  std::uint16_t port = 0;     // network byte order
  std::uint32_t address = 0;  // network byte order
  std::uint8_t zero[8] = {};
};
static_assert(sizeof(Ipv4SocketAddress) == 16, "the system's IPv4 socket address is 16 bytes");

// A wait: seconds and microseconds; negative parts count as 0.
struct SocketWait {
  long seconds = 0;
  long microseconds = 0;
};

enum class SocketWaitResult { kReady, kTimedOut, kFailed };
enum class ConnectStartResult { kConnected, kPending, kFailed };

// Reference-counted start-up and clean-up of the socket system (Winsock 1.1
// on Windows; nothing to do elsewhere). Every user keeps one start-up alive.
bool SocketStartup();
void SocketCleanup();

SocketHandle CreateTcpSocket();
// Closes a valid handle; false when the system refused.
bool CloseSocket(SocketHandle socket);
// Ends both directions; a thread blocked on the socket wakes up. Closing
// alone does not wake it on every system.
bool ShutdownBoth(SocketHandle socket);
// Any local address, port 0.
bool BindAnyLocal(SocketHandle socket);
bool SetSocketBlocking(SocketHandle socket, bool blocking);

// Starts a connect. On a non-blocking socket kPending means "in progress"
// (the would-block condition); any other failure is kFailed.
ConnectStartResult StartConnect(SocketHandle socket, const Ipv4SocketAddress& to);
// Waits for a started connect. kReady with *connected false: the connect
// failed (refused, unreachable).
SocketWaitResult WaitConnected(SocketHandle socket, SocketWait wait, bool* connected);

SocketWaitResult WaitReadable(SocketHandle socket, SocketWait wait);

bool GetLocalAddress(SocketHandle socket, Ipv4SocketAddress* out);

// One receive: the count of bytes, 0 when the peer closed, -1 on failure.
long Receive(SocketHandle socket, void* buffer, std::size_t capacity);
// Looks at the next byte without removing it: 1, 0 when the peer closed,
// -1 on failure.
long PeekOneByte(SocketHandle socket);
// One send: the count of bytes sent, -1 on failure.
long SendSome(SocketHandle socket, const void* data, std::size_t length);

// Looks a host name up; the first IPv4 address, network byte order.
bool ResolveIpv4(const char* host, std::uint32_t* address);

// --- The server side, for test servers and tools.

// A listener on 127.0.0.1 with the port chosen by the system (read back into
// *port, host order).
SocketHandle ListenLoopback(int backlog, std::uint16_t* port);
// Waits up to `wait` for a connection; kInvalidSocket on time-out or failure.
SocketHandle Accept(SocketHandle listener, SocketWait wait);
// No more sends; the peer reads the end of the stream.
bool ShutdownSend(SocketHandle socket);
// The next close resets the connection instead of ending it in order.
bool SetResetOnClose(SocketHandle socket);
// Larger system buffers for bulk transfers (benchmarks).
bool SetSocketBufferSizes(SocketHandle socket, int bytes);

}  // namespace orb::platform
