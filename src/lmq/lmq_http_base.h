// lmq_http_base.h - the HTTP library's request/response engine: one request
// (method, version, URL, header text, optional body) carried out on an
// LmqTCPConnection, and a response pump that reads the head byte by byte
// and delivers the body in pieces (fixed length, until close, chunked).
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "lmq/http_parse.h"
#include "lmq/lmq_critical_section.h"
#include "lmq/lmq_result.h"
#include "lmq/lmq_tcp_connection.h"
#include "lmq/lmq_timeout.h"
#include "lmq/lmq_url.h"

class LmqHTTPBase {
 public:
  static constexpr long kDefaultReadSeconds = 30;
  // A head longer than this is refused (LMQ_E_HEAD_TOO_LARGE): without a
  // bound a server that never ends its head would grow memory forever.
  static constexpr std::size_t kMaxHeadBytes = 64 * 1024;
  // A chunk-size line longer than this is malformed framing.
  static constexpr std::size_t kMaxChunkLineBytes = 4096;

  // Response states.
  enum State : std::uint32_t {
    kDone = 0,
    kHead = 1,
    kPlainBody = 2,
    kChunkSize = 3,
    kChunkData = 4,
    kChunkEnd = 5,
  };

  // Seconds on a clock that only moves forward; replaceable for tests.
  using Clock = std::function<std::int64_t()>;

  LmqHTTPBase();
  LmqHTTPBase(const LmqHTTPBase&) = delete;
  LmqHTTPBase& operator=(const LmqHTTPBase&) = delete;
  virtual ~LmqHTTPBase();

  // Carries out the request on a connection (a null connection: the request
  // makes its own).
  virtual LmqResult Transact(LmqTCPConnection* connection) = 0;
  // Reads the response after the request was sent.
  virtual LmqResult ReadHead(LmqTCPConnection* connection) = 0;
  // Every piece of body as it arrives; a failure ends the response.
  virtual LmqResult OnBodyData(const char* bytes, std::uint32_t count);
  // When a pump ends with the response finished (or failed).
  virtual void OnComplete();

  // method and version must outlive the request (literals). headers, when
  // given, must end with their own empty line; body is a zero-terminated
  // text (bodyLength is not used).
  bool SetRequest(const char* method, const char* version, const LmqURL* url, const char* headers,
                  const char* body, std::uint32_t bodyLength);
  void SetAbsoluteUri(bool absolute) { absoluteUri_ = absolute; }
  void SetTimeout(long seconds, long microseconds) { readTimeout_ = {seconds, microseconds}; }
  void SetConnectTimeout(long seconds, long microseconds) { connectTimeout_ = {seconds, microseconds}; }
  void SetMaxBodySize(std::uint32_t bytes) { maxBodySize_ = bytes; }
  void SetClock(Clock clock);

  // Sends the request and reads the head (LmqHTTPStream) or the whole
  // response (LmqHTTPDownload); *status gets the numeric status code.
  LmqResult Execute(int* status, LmqTCPConnection* connection);
  // Up to `capacity` body bytes into buffer. *got 0 with LMQ_OK: the body
  // has ended. A body read until close ends with LMQ_E_NOT_CONNECTED.
  LmqResult ReadBody(char* buffer, std::uint32_t capacity, std::uint32_t* got);

  bool GetHeader(const char* name, std::string* value) const;
  bool GetHeader(const wchar_t* name, std::wstring* value) const;
  const char* GetStatusText() const { return head_.status.c_str(); }
  const char* GetReasonText() const { return head_.reason.c_str(); }
  const char* GetVersionText() const { return head_.version.c_str(); }
  const std::string& GetRequestText() const { return requestText_; }
  std::uint32_t GetState() const { return state_; }
  std::uint64_t GetBodyBytesReceived() const { return bodyReceived_; }

  // May be called from another thread to abort a blocked request.
  void CloseConnection();
  void AttachConnection(LmqTCPConnection* connection);
  void DetachConnection(bool close);
  LmqTCPConnection* GetConnection() const { return connection_; }

 protected:
  void ResetResponse();
  // Connects when needed, sends the request text, then ReadHead.
  LmqResult ConnectAndSend(LmqTCPConnection* connection);
  // The response pump. hasDestination with capacity 0 reads only the head.
  LmqResult ReadResponse(LmqTCPConnection* connection, char* destination, bool hasDestination,
                         std::uint32_t capacity, std::uint32_t* delivered);
  // From now on the read time-out is a deadline for the whole response.
  void StartDeadline() {
    startTime_ = clock_();
    deadline_ = true;
  }
  bool IsOwnConnection() const { return ownConnection_; }
  const char* Method() const { return method_; }

 private:
  // into: null to read from the connection's buffer, else the caller's
  // memory to receive into.
  LmqResult SingleRead(LmqTCPConnection* connection, std::uint32_t wanted, const char** bytes,
                       std::uint32_t* count, char* into = nullptr);
  LmqResult ReadHeadBytes(LmqTCPConnection* connection);
  LmqResult ReadLine(LmqTCPConnection* connection, std::string* line, std::size_t limit);
  LmqResult ReadBodyPieces(LmqTCPConnection* connection, std::uint64_t want, char** destination,
                           bool hasDestination, std::uint32_t* capacity, std::uint32_t* delivered,
                           std::uint32_t* chunkLeft);
  LmqResult ChooseFraming();

  const char* method_ = nullptr;
  const char* version_ = nullptr;
  LmqURL url_;
  std::string requestText_;
  LmqTimeout readTimeout_{kDefaultReadSeconds, 0};
  LmqTimeout connectTimeout_{0, 0};
  std::uint32_t maxBodySize_ = 0;
  LmqTCPConnection* connection_ = nullptr;
  bool ownConnection_ = false;

  std::uint32_t state_ = kHead;
  std::uint64_t bodyReceived_ = 0;
  std::uint64_t totalReceived_ = 0;
  std::uint32_t chunkSize_ = 0;
  std::uint32_t chunkLeft_ = 0;
  std::uint32_t contentLength_ = 0;
  bool untilClose_ = false;
  std::string headText_;
  orb::lmq::ResponseHead head_;

  LmqCriticalSection section_;
  bool absoluteUri_ = false;
  bool deadline_ = false;
  std::int64_t startTime_ = 0;
  Clock clock_;
};
