// lmq_http_download.cpp - whole response to a file or a string.
#include "lmq/lmq_http_download.h"

#include <new>

LmqHTTPDownload::LmqHTTPDownload() { SetMaxBodySize(kDefaultMaxBodySize); }

LmqHTTPDownload::~LmqHTTPDownload() {
  if (file_ != nullptr) CloseFile();
}

void LmqHTTPDownload::SetTargetFile(const char* path) {
  kind_ = kFile;
  path_ = path != nullptr ? path : "";
  completed_ = false;
}

void LmqHTTPDownload::SetTargetString(std::string* target) {
  kind_ = kString;
  string_ = target;
  completed_ = false;
}

LmqResult LmqHTTPDownload::Transact(LmqTCPConnection* connection) {
  AttachConnection(connection);
  if (Method() == nullptr) return LMQ_E_INVALID_ARG;
  ResetResponse();
  const LmqResult result = ConnectAndSend(GetConnection());
  // A caller's connection stays open and is only forgotten; an own one is
  // closed with the request.
  DetachConnection(IsOwnConnection());
  return result;
}

LmqResult LmqHTTPDownload::ReadHead(LmqTCPConnection* connection) {
  if (connection == nullptr) return LMQ_E_INVALID_ARG;
  ResetResponse();
  // Each response is a fresh one for the target, even with the same target.
  completed_ = false;
  fileFailed_ = false;
  if (kind_ == kString && string_ != nullptr) string_->clear();
  if (kind_ == kFile) {
    if (file_ != nullptr) CloseFile();
    file_ = std::fopen(path_.c_str(), "wb");
    if (file_ == nullptr) return LMQ_E_FILE;
  }
  StartDeadline();
  std::uint32_t delivered = 0;
  LmqResult result = ReadResponse(connection, nullptr, false, 0, &delivered);
  if (result == LMQ_OK && fileFailed_) result = LMQ_E_FILE;
  if (result != LMQ_OK && kind_ == kFile) {
    // No partial file is left behind for a response that failed.
    if (file_ != nullptr) CloseFile();
    std::remove(path_.c_str());
  }
  return result;
}

LmqResult LmqHTTPDownload::OnBodyData(const char* bytes, std::uint32_t count) {
  if (kind_ == kString && string_ != nullptr) {
    try {
      string_->append(bytes, count);
    } catch (const std::bad_alloc&) {
      return LMQ_E_BODY_TOO_LARGE;
    }
  } else if (kind_ == kFile && file_ != nullptr) {
    // A short write (disk full) must not pass as a complete download.
    if (std::fwrite(bytes, 1, count, file_) != count) {
      fileFailed_ = true;
      return LMQ_E_FILE;
    }
  }
  return LMQ_OK;
}

void LmqHTTPDownload::OnComplete() {
  if (completed_) return;
  if (kind_ == kFile && file_ != nullptr && !CloseFile()) fileFailed_ = true;
  completed_ = true;
}

bool LmqHTTPDownload::CloseFile() {
  const bool closed = std::fclose(file_) == 0;
  file_ = nullptr;
  return closed;
}
