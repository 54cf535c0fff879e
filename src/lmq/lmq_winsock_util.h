// lmq_winsock_util.h - keeps the socket system started while it lives and
// wraps the few socket calls that the HTTP library shares.
#pragma once

#include <string>

#include "platform/socket.h"

class LmqWinsockUtil {
 public:
  LmqWinsockUtil();
  LmqWinsockUtil(const LmqWinsockUtil&) = delete;
  LmqWinsockUtil& operator=(const LmqWinsockUtil&) = delete;
  virtual ~LmqWinsockUtil();

  // *address starts as `host`; a dotted IPv4 host succeeds as it is, a name
  // is looked up and its first IPv4 address written as "a.b.c.d".
  bool Resolve(const wchar_t* host, std::wstring* address) const;
  // Does nothing for the invalid socket; sets it invalid once closed.
  bool CloseSocket(orb::platform::SocketHandle* socket) const;
  bool SetBlocking(orb::platform::SocketHandle socket, bool blocking) const;

 private:
  bool started_;
};
