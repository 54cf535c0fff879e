// lmq_http_stream.cpp - head now, body on demand.
#include "lmq/lmq_http_stream.h"

LmqHTTPStream::~LmqHTTPStream() = default;

LmqResult LmqHTTPStream::Transact(LmqTCPConnection* connection) {
  AttachConnection(connection);
  if (Method() == nullptr) return LMQ_E_INVALID_ARG;
  ResetResponse();
  return ConnectAndSend(GetConnection());
}

LmqResult LmqHTTPStream::ReadHead(LmqTCPConnection* connection) {
  if (connection == nullptr) return LMQ_E_INVALID_ARG;
  ResetResponse();
  // A destination without room: the pump stops where the body begins.
  char none = 0;
  std::uint32_t delivered = 0;
  return ReadResponse(connection, &none, true, 0, &delivered);
}
