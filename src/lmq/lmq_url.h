// lmq_url.h - an HTTP URL split into its parts, with the path normalised and
// the host optionally resolved into an IPv4 socket address.
#pragma once

#include <string>

#include "lmq/lmq_string.h"
#include "lmq/lmq_winsock_util.h"
#include "platform/socket.h"

class LmqURL {
 public:
  LmqURL();
  LmqURL(const LmqURL& other);
  LmqURL& operator=(const LmqURL& other);
  virtual ~LmqURL();

  // "http://" or "https://" (any case) + authority + path; anything else is
  // a path without host. False when the port or the host is unusable.
  bool Parse(const wchar_t* text, bool resolve);

  bool SetHost(const wchar_t* text, bool resolve);
  bool SetHost(const char* text, bool resolve);
  // The leading decimal number must not be 0; larger numbers wrap to 16 bits.
  bool SetPort(const wchar_t* text);
  bool SetPort(const char* text);
  // Normalises the path; the query (from the first "?") is kept as it is.
  bool SetPath(const wchar_t* text);
  bool SetPath(const char* text);

  void Reset();

  const wchar_t* GetURL() const { return url_.Get(); }
  const wchar_t* GetScheme() const { return scheme_.Get(); }
  const wchar_t* GetHost() const { return host_.Get(); }
  const wchar_t* GetPort() const { return port_.Get(); }
  const wchar_t* GetPath() const { return path_.Get(); }
  const wchar_t* GetQuery() const { return query_.Get(); }
  bool HasScheme() const { return scheme_.IsSet(); }
  const orb::platform::Ipv4SocketAddress& GetSocketAddress() const { return address_; }

  // Narrow (ANSI) copies, valid until the same getter is called again or the
  // URL changes.
  const char* GetURLA() { return Narrow(url_, &narrowUrl_); }
  const char* GetSchemeA() { return Narrow(scheme_, &narrowScheme_); }
  const char* GetHostA() { return Narrow(host_, &narrowHost_); }
  const char* GetPortA() { return Narrow(port_, &narrowPort_); }
  const char* GetPathA() { return Narrow(path_, &narrowPath_); }
  const char* GetQueryA() { return Narrow(query_, &narrowQuery_); }

  // The path normalisation on its own: "/./" and "/x/../" folded, a final
  // "/." or "/x/.." cut, the query left alone; a leading "/../" stays.
  static std::wstring NormalisePath(const std::wstring& text);

 private:
  void Rebuild();
  static const char* Narrow(const LmqString& part, std::string* cache);
  void FreeCaches();

  LmqString url_;
  LmqString scheme_;
  LmqString host_;
  LmqString port_;
  LmqString path_;
  LmqString query_;
  orb::platform::Ipv4SocketAddress address_;
  LmqWinsockUtil winsock_;
  std::string narrowUrl_, narrowScheme_, narrowHost_, narrowPort_, narrowPath_, narrowQuery_;
};
