// lmq_winsock_util.cpp - socket system lifetime and shared socket calls.
#include "lmq/lmq_winsock_util.h"

#include <cstdio>
#include <cstring>

#include "lmq/lmq_string_util.h"

LmqWinsockUtil::LmqWinsockUtil() : started_(orb::platform::SocketStartup()) {}

LmqWinsockUtil::~LmqWinsockUtil() {
  if (started_) orb::platform::SocketCleanup();
}

bool LmqWinsockUtil::Resolve(const wchar_t* host, std::wstring* address) const {
  if (host == nullptr || address == nullptr) return false;
  *address = host;
  std::string narrow;
  if (g_lmqStringUtil.WideToNarrow(host, &narrow) < 0) return false;
  if (g_lmqStringUtil.IsDottedIPv4(narrow.c_str())) return true;
  std::uint32_t network = 0;
  if (!orb::platform::ResolveIpv4(narrow.c_str(), &network)) return false;
  unsigned char b[4];
  std::memcpy(b, &network, sizeof b);
  char text[32];
  std::snprintf(text, sizeof text, "%u.%u.%u.%u", b[0], b[1], b[2], b[3]);
  return g_lmqStringUtil.NarrowToWide(text, address) >= 0;
}

bool LmqWinsockUtil::CloseSocket(orb::platform::SocketHandle* socket) const {
  if (socket == nullptr || *socket == orb::platform::kInvalidSocket) return false;
  // The handle is forgotten even when the system reports a failure: the
  // number may already name another socket, which a second close would hit.
  const bool closed = orb::platform::CloseSocket(*socket);
  *socket = orb::platform::kInvalidSocket;
  return closed;
}

bool LmqWinsockUtil::SetBlocking(orb::platform::SocketHandle socket, bool blocking) const {
  return orb::platform::SetSocketBlocking(socket, blocking);
}
