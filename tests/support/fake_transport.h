// fake_transport.h - a transport that serves a resource from memory, with
// faults on request, for tests of the front and of the file downloader.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "net/network_util.h"

namespace orb::test {

struct FakeResource {
  std::string body;
  // What GetContentLength answers: the body's size unless `announced` is
  // set; lengthResult ORB_E_NO_CONTENT_LENGTH for a resource without one.
  HRESULT lengthResult = S_OK;
  long long announced = -1;
  std::uint64_t maxLength = 0xFFFFFFFFu;
  HRESULT openResult = S_OK;
  // Read number failAtRead (0 = the first) fails with readFailure.
  int failAtRead = -1;
  HRESULT readFailure = ORB_E_READ_BODY;
  // Called at the start of every read with its number (a test's clock).
  std::function<void(int)> onRead;
  // When non-zero, the resource is this many bytes whose values do not
  // matter (nothing is kept in memory); body is not used.
  std::uint64_t generatedSize = 0;
  // What GetContentType answers (characters, NUL included, as the socket
  // transport counts); empty: ORB_E_NO_CONTENT_TYPE, as a local file.
  std::wstring contentType;
};

// What every fake transport of one test did, in order.
struct FakeTransportLog {
  int created = 0;
  int destroyed = 0;
  int opens = 0;
  int closes = 0;
  int reads = 0;
  int contentTypeQuestions = 0;
  std::vector<std::wstring> names;  // name of each transport created
};

class FakeTransport : public CNetworkUtilBase {
 public:
  FakeTransport(std::wstring name, std::wstring prefix, const FakeResource* resource, FakeTransportLog* log);
  ~FakeTransport() override;
  HRESULT Open(const wchar_t* url) override;
  HRESULT GetContentLength(std::uint64_t* length) override;
  HRESULT GetContentType(wchar_t* buffer, std::uint32_t* length) override;
  HRESULT Read(void* buffer, std::uint32_t wanted, std::uint32_t* got) override;
  HRESULT Close() override;
  HRESULT GetMaxContentLength(std::uint64_t* limit) override;
  bool IsSupportedUrl(const wchar_t* url) override;
  bool IsOpen() override { return open_; }

 private:
  std::uint64_t Size() const;

  std::wstring prefix_;
  const FakeResource* resource_;
  FakeTransportLog* log_;
  bool open_ = false;
  std::uint64_t offset_ = 0;
  int readIndex_ = 0;
};

// A transport slot for CNetworkUtil: a FakeTransport that accepts URLs that
// begin with `prefix` (case-sensitive).
CNetworkUtil::TransportFactory FakeTransportSlot(std::wstring name, std::wstring prefix, const FakeResource* resource,
                                                 FakeTransportLog* log);

}  // namespace orb::test
