// lmq_http_download.h - a request whose Execute reads the whole response
// under one deadline and sends the body to a file, to a caller's string, or
// nowhere.
#pragma once

#include <cstdio>
#include <string>

#include "lmq/lmq_http_base.h"

class LmqHTTPDownload : public LmqHTTPBase {
 public:
  static constexpr std::uint32_t kDefaultMaxBodySize = 0x40000000u;  // 1 GiB

  enum TargetKind : std::uint32_t { kNone = 0, kFile = 1, kString = 2 };

  LmqHTTPDownload();
  ~LmqHTTPDownload() override;

  // The file is created or truncated when the response is read; a failed
  // download removes it again.
  void SetTargetFile(const char* path);
  // The string is replaced by the body; it must outlive the request.
  void SetTargetString(std::string* target);

  LmqResult Transact(LmqTCPConnection* connection) override;
  LmqResult ReadHead(LmqTCPConnection* connection) override;
  LmqResult OnBodyData(const char* bytes, std::uint32_t count) override;
  void OnComplete() override;

  bool IsCompleted() const { return completed_; }

 private:
  bool CloseFile();

  TargetKind kind_ = kNone;
  bool completed_ = false;
  std::FILE* file_ = nullptr;
  bool fileFailed_ = false;
  std::string path_;
  std::string* string_ = nullptr;
};
