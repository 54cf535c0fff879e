// lmq_http_stream.h - a request whose Execute reads only the response head;
// the caller then reads the body with ReadBody until it delivers 0 bytes.
#pragma once

#include "lmq/lmq_http_base.h"

class LmqHTTPStream : public LmqHTTPBase {
 public:
  LmqHTTPStream() = default;
  ~LmqHTTPStream() override;

  LmqResult Transact(LmqTCPConnection* connection) override;
  LmqResult ReadHead(LmqTCPConnection* connection) override;
};
