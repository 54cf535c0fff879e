// lmq_http_base.cpp - request text, retry rule and the response pump.
#include "lmq/lmq_http_base.h"

#include <algorithm>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <new>

#include "lmq/lmq_lock.h"
#include "lmq/lmq_string_util.h"

namespace {

bool Is(const char* text, const char* literal) { return text != nullptr && std::strcmp(text, literal) == 0; }

std::int64_t SteadySeconds() {
  return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

bool EndsWith(const std::string& text, const char* tail) {
  const std::size_t n = std::strlen(tail);
  return text.size() >= n && text.compare(text.size() - n, n, tail) == 0;
}

}  // namespace

LmqHTTPBase::LmqHTTPBase() : clock_(SteadySeconds) {}

LmqHTTPBase::~LmqHTTPBase() { DetachConnection(true); }

LmqResult LmqHTTPBase::OnBodyData(const char*, std::uint32_t) { return LMQ_OK; }

void LmqHTTPBase::OnComplete() {}

void LmqHTTPBase::SetClock(Clock clock) { clock_ = clock ? std::move(clock) : Clock(SteadySeconds); }

bool LmqHTTPBase::SetRequest(const char* method, const char* version, const LmqURL* url, const char* headers,
                             const char* body, std::uint32_t) {
  if (method == nullptr || version == nullptr || url == nullptr) return false;
  try {
    LmqURL copy = *url;
    const std::string hostPort = std::string(copy.GetHostA()) + ":" + copy.GetPortA();
    std::string text = method;
    text += ' ';
    if (absoluteUri_) {
      text += copy.GetSchemeA();
      text += "://";
      text += hostPort;
    }
    text += copy.GetPathA();
    text += ' ';
    text += version;
    text += "\r\nHost: ";
    text += hostPort;
    text += "\r\n";
    text += headers != nullptr ? headers : "\r\n";
    if (body != nullptr) text += body;
    requestText_.swap(text);
    url_ = copy;
  } catch (const std::bad_alloc&) {
    return false;
  }
  method_ = method;
  version_ = version;
  return true;
}

LmqResult LmqHTTPBase::Execute(int* status, LmqTCPConnection* connection) {
  if (status == nullptr) return LMQ_E_INVALID_ARG;
  LmqResult result = LMQ_E_INVALID_ARG;
  for (int attempt = 0; attempt < 2; ++attempt) {
    result = Transact(connection);
    if (result == LMQ_OK || connection == nullptr || !connection->IsHttps()) break;
    connection->Disconnect();
    if (Is(method_, "CONNECT")) {
      if (result == LMQ_E_NOT_CONNECTED) result = LMQ_E_CONNECT_CLOSED;
      break;
    }
    // A kept-alive connection that the server had closed: one fresh try,
    // but only when nothing of the response has arrived.
    const bool retry = totalReceived_ == 0 && (result == LMQ_E_NOT_CONNECTED || result == LMQ_E_SEND);
    if (!retry) break;
  }
  const long number = std::strtol(head_.status.c_str(), nullptr, 10);
  *status = number > INT_MAX ? INT_MAX : number < INT_MIN ? INT_MIN : static_cast<int>(number);
  return result;
}

LmqResult LmqHTTPBase::ReadBody(char* buffer, std::uint32_t capacity, std::uint32_t* got) {
  if (connection_ == nullptr || buffer == nullptr || got == nullptr) return LMQ_E_INVALID_ARG;
  return ReadResponse(connection_, buffer, true, capacity, got);
}

bool LmqHTTPBase::GetHeader(const char* name, std::string* value) const {
  if (name == nullptr) return false;
  const auto found = head_.headers.find(g_lmqStringUtil.ToUpper(name));
  if (found == head_.headers.end()) return false;
  if (value != nullptr) *value = found->second;
  return true;
}

bool LmqHTTPBase::GetHeader(const wchar_t* name, std::wstring* value) const {
  std::string narrowName;
  std::string narrowValue;
  if (name == nullptr || g_lmqStringUtil.WideToNarrow(name, &narrowName) < 0) return false;
  if (!GetHeader(narrowName.c_str(), &narrowValue)) return false;
  if (value == nullptr) return true;
  return g_lmqStringUtil.NarrowToWide(narrowValue.c_str(), value) >= 0;
}

void LmqHTTPBase::CloseConnection() {
  LmqLock lock(section_);
  if (connection_ != nullptr) connection_->Disconnect();
}

void LmqHTTPBase::AttachConnection(LmqTCPConnection* connection) {
  LmqLock lock(section_);
  if (connection != nullptr) {
    if (ownConnection_ && connection_ != connection) delete connection_;
    connection_ = connection;
    ownConnection_ = false;
  } else if (!ownConnection_ || connection_ == nullptr) {
    connection_ = new (std::nothrow) LmqTCPConnection;
    ownConnection_ = connection_ != nullptr;
  }
  if (connection_ != nullptr && url_.GetScheme() == std::wstring(L"https")) {
    connection_->SetHttps(true);
    if (connection_->IsTunnelAllowed()) connection_->SetTunnel(true);
  }
}

void LmqHTTPBase::DetachConnection(bool close) {
  LmqLock lock(section_);
  if (connection_ == nullptr) return;
  if (close) connection_->Disconnect();
  // An own connection is never only forgotten: nobody else could free it.
  if (ownConnection_) delete connection_;
  connection_ = nullptr;
  ownConnection_ = false;
}

void LmqHTTPBase::ResetResponse() {
  state_ = kHead;
  bodyReceived_ = 0;
  totalReceived_ = 0;
  chunkSize_ = 0;
  chunkLeft_ = 0;
  contentLength_ = 0;
  untilClose_ = false;
  headText_.clear();
  head_.Clear();
}

LmqResult LmqHTTPBase::ConnectAndSend(LmqTCPConnection* connection) {
  if (connection == nullptr) return LMQ_E_INVALID_ARG;
  if (connection->CheckConnection() == LMQ_E_NOT_CONNECTED) {
    const std::wstring target = std::wstring(url_.GetHost()) + L":" + url_.GetPort();
    const bool timeoutSet = connectTimeout_.seconds != 0 || connectTimeout_.microseconds != 0;
    const LmqResult connected = connection->Connect(target.c_str(), timeoutSet ? &connectTimeout_ : nullptr);
    if (connected != LMQ_OK) return connected;
  }
  const LmqResult sent = connection->Send(requestText_.data(), requestText_.size());
  if (sent != LMQ_OK) return sent;
  return ReadHead(connection);
}

LmqResult LmqHTTPBase::SingleRead(LmqTCPConnection* connection, std::uint32_t wanted, const char** bytes,
                                  std::uint32_t* count, char* into) {
  *count = 0;
  LmqTimeout wait = readTimeout_;
  if (deadline_) {
    const std::int64_t left = readTimeout_.seconds - (clock_() - startTime_);
    // Once the deadline has passed nothing more is read, even when bytes
    // keep arriving: the whole response has to fit in the time.
    if (left < 0 || (left == 0 && readTimeout_.microseconds <= 0)) return LMQ_E_TIMEOUT;
    wait.seconds = left > LONG_MAX ? LONG_MAX : static_cast<long>(left);
  }
  if (wait.seconds < 0) wait.seconds = 0;
  if (wait.microseconds < 0) wait.microseconds = 0;
  const LmqResult ready = connection->WaitReadable(wait);
  if (ready != LMQ_OK) return ready;
  const LmqResult received =
      into != nullptr ? connection->ReceiveInto(into, wanted, count) : connection->NextBytes(bytes, wanted, count);
  if (received != LMQ_OK) *count = 0;
  if (into != nullptr) *bytes = into;
  totalReceived_ += *count;
  return *count == 0 ? LMQ_E_NOT_CONNECTED : LMQ_OK;
}

LmqResult LmqHTTPBase::ReadHeadBytes(LmqTCPConnection* connection) {
  for (;;) {
    const char* byte = nullptr;
    std::uint32_t count = 0;
    const LmqResult result = SingleRead(connection, 1, &byte, &count);
    if (result != LMQ_OK) return result == LMQ_E_TIMEOUT ? LMQ_E_HEAD_TIMEOUT : result;
    headText_.push_back(*byte);
    if (EndsWith(headText_, "\r\n\r\n")) return LMQ_OK;
    if (headText_.size() >= kMaxHeadBytes) return LMQ_E_HEAD_TOO_LARGE;
  }
}

LmqResult LmqHTTPBase::ReadLine(LmqTCPConnection* connection, std::string* line, std::size_t limit) {
  for (;;) {
    const char* byte = nullptr;
    std::uint32_t count = 0;
    const LmqResult result = SingleRead(connection, 1, &byte, &count);
    if (result != LMQ_OK) return result;
    line->push_back(*byte);
    if (EndsWith(*line, "\r\n")) return LMQ_OK;
    if (line->size() >= limit) return LMQ_E_CHUNK_FRAMING;
  }
}

LmqResult LmqHTTPBase::ReadBodyPieces(LmqTCPConnection* connection, std::uint64_t want, char** destination,
                                      bool hasDestination, std::uint32_t* capacity, std::uint32_t* delivered,
                                      std::uint32_t* chunkLeft) {
  if (hasDestination) want = std::min<std::uint64_t>(want, *capacity);
  // Reads of at least a buffer's worth go straight into the destination:
  // one receive per read instead of one per kilobyte, and no copy.
  const bool direct = hasDestination && want >= connection->GetReceiveBufferSize();
  while (want > 0) {
    const char* bytes = nullptr;
    std::uint32_t count = 0;
    const std::uint32_t ask = static_cast<std::uint32_t>(std::min<std::uint64_t>(want, UINT32_MAX));
    const LmqResult result = SingleRead(connection, ask, &bytes, &count, direct ? *destination : nullptr);
    if (result != LMQ_OK) return result;
    if (maxBodySize_ != 0 && bodyReceived_ + count > maxBodySize_) return LMQ_E_BODY_TOO_LARGE;
    const LmqResult taken = OnBodyData(bytes, count);
    if (taken != LMQ_OK) return taken;
    bodyReceived_ += count;
    if (chunkLeft != nullptr) *chunkLeft -= count;
    if (hasDestination) {
      if (!direct) std::memcpy(*destination, bytes, count);
      *destination += count;
      *capacity -= count;
      *delivered += count;
    }
    want -= count;
  }
  return LMQ_OK;
}

LmqResult LmqHTTPBase::ChooseFraming() {
  bodyReceived_ = 0;
  const std::string& status = head_.status;
  if (Is(method_, "HEAD") || status == "204" || status == "205" || status == "304" || head_.headers.empty()) {
    state_ = kDone;
    return LMQ_OK;
  }
  std::string value;
  if (GetHeader("Transfer-Encoding", &value) &&
      g_lmqStringUtil.ToUpper(value.c_str()).find("CHUNKED") != std::string::npos) {
    state_ = kChunkSize;
    return LMQ_OK;
  }
  if (GetHeader("Content-Length", &value)) {
    // A length that does not fit the engine's 32-bit framing is refused
    // rather than wrapped into a short body.
    if (!orb::lmq::ParseContentLength(value, &contentLength_)) {
      state_ = kDone;
      return LMQ_E_BODY_TOO_LARGE;
    }
    state_ = contentLength_ == 0 ? kDone : kPlainBody;
    return LMQ_OK;
  }
  if (Is(method_, "SUBSCRIBE") || Is(method_, "UNSUBSCRIBE") || Is(method_, "CONNECT")) {
    state_ = kDone;
    return LMQ_OK;
  }
  contentLength_ = 0xFFFFFFFFu;
  untilClose_ = true;
  state_ = kPlainBody;
  return LMQ_OK;
}

LmqResult LmqHTTPBase::ReadResponse(LmqTCPConnection* connection, char* destination, bool hasDestination,
                                    std::uint32_t capacity, std::uint32_t* delivered) {
  if (connection == nullptr || delivered == nullptr) return LMQ_E_INVALID_ARG;
  *delivered = 0;
  LmqResult result = LMQ_OK;
  while (state_ != kDone) {
    const bool inBody = state_ >= kPlainBody && state_ <= kChunkEnd;
    if (inBody && hasDestination && capacity == 0) break;
    switch (state_) {
      case kHead:
        result = ReadHeadBytes(connection);
        if (result != LMQ_OK) {
          state_ = kDone;
          break;
        }
        orb::lmq::ParseHead(headText_, &head_);
        headText_.clear();
        // An interim "100" head is followed by the real one.
        if (head_.status != "100") result = ChooseFraming();
        break;
      case kPlainBody: {
        const std::uint64_t want = untilClose_ ? UINT64_MAX : contentLength_ - bodyReceived_;
        result = ReadBodyPieces(connection, want, &destination, hasDestination, &capacity, delivered, nullptr);
        if (result != LMQ_OK || (!untilClose_ && bodyReceived_ >= contentLength_)) state_ = kDone;
        break;
      }
      case kChunkSize: {
        std::string line;
        result = ReadLine(connection, &line, kMaxChunkLineBytes);
        if (result == LMQ_OK && !orb::lmq::ParseChunkSize(line, &chunkSize_)) result = LMQ_E_CHUNK_FRAMING;
        if (result != LMQ_OK) {
          state_ = kDone;
          break;
        }
        chunkLeft_ = chunkSize_;
        state_ = kChunkData;
        break;
      }
      case kChunkData:
        result = ReadBodyPieces(connection, chunkLeft_, &destination, hasDestination, &capacity, delivered,
                                &chunkLeft_);
        if (result != LMQ_OK) {
          state_ = kDone;
        } else if (chunkLeft_ == 0) {
          state_ = kChunkEnd;
        }
        break;
      case kChunkEnd: {
        char end[2];
        for (char& c : end) {
          const char* byte = nullptr;
          std::uint32_t count = 0;
          result = SingleRead(connection, 1, &byte, &count);
          if (result != LMQ_OK) break;
          c = *byte;
        }
        if (result == LMQ_OK && (end[0] != '\r' || end[1] != '\n')) result = LMQ_E_CHUNK_FRAMING;
        // After the last (zero) chunk only CR LF may follow: no trailers.
        state_ = result == LMQ_OK && chunkSize_ != 0 ? kChunkSize : kDone;
        break;
      }
      default:
        result = LMQ_E_INVALID_STATE;
        state_ = kDone;
        break;
    }
  }
  if (state_ == kDone) OnComplete();
  return result;
}
