#include "support/fake_transport.h"

#include <algorithm>
#include <cstring>

namespace orb::test {

FakeTransport::FakeTransport(std::wstring name, std::wstring prefix, const FakeResource* resource,
                             FakeTransportLog* log)
    : prefix_(std::move(prefix)), resource_(resource), log_(log) {
  ++log_->created;
  log_->names.push_back(std::move(name));
}

FakeTransport::~FakeTransport() { ++log_->destroyed; }

HRESULT FakeTransport::Open(const wchar_t* url) {
  if (url == nullptr) return E_POINTER;
  Close();
  ++log_->opens;
  if (!IsSupportedUrl(url)) return ORB_E_URL_NOT_SUPPORTED;
  if (FAILED(resource_->openResult)) return resource_->openResult;
  open_ = true;
  offset_ = 0;
  readIndex_ = 0;
  return S_OK;
}

HRESULT FakeTransport::GetContentLength(std::uint64_t* length) {
  if (!open_) return E_INVALIDARG;
  if (FAILED(resource_->lengthResult)) return resource_->lengthResult;
  *length = resource_->announced >= 0 ? static_cast<std::uint64_t>(resource_->announced) : Size();
  return S_OK;
}

HRESULT FakeTransport::GetContentType(wchar_t* buffer, std::uint32_t* length) {
  ++log_->contentTypeQuestions;
  if (buffer == nullptr || length == nullptr) return E_POINTER;
  if (!open_) return E_INVALIDARG;
  if (resource_->contentType.empty()) return ORB_E_NO_CONTENT_TYPE;
  if (*length < resource_->contentType.size() + 1) return ORB_E_NO_CONTENT_TYPE;
  std::copy(resource_->contentType.begin(), resource_->contentType.end(), buffer);
  buffer[resource_->contentType.size()] = L'\0';
  *length = static_cast<std::uint32_t>(resource_->contentType.size());
  return S_OK;
}

HRESULT FakeTransport::Read(void* buffer, std::uint32_t wanted, std::uint32_t* got) {
  *got = 0;
  if (!open_) return E_INVALIDARG;
  ++log_->reads;
  const int index = readIndex_++;
  if (resource_->onRead) resource_->onRead(index);
  if (index == resource_->failAtRead) return resource_->readFailure;
  const std::uint64_t n = std::min<std::uint64_t>(wanted, Size() - offset_);
  if (resource_->generatedSize == 0) std::memcpy(buffer, resource_->body.data() + offset_, n);
  offset_ += n;
  *got = static_cast<std::uint32_t>(n);
  return S_OK;
}

HRESULT FakeTransport::Close() {
  if (open_) ++log_->closes;
  open_ = false;
  return S_OK;
}

HRESULT FakeTransport::GetMaxContentLength(std::uint64_t* limit) {
  *limit = resource_->maxLength;
  return S_OK;
}

std::uint64_t FakeTransport::Size() const {
  return resource_->generatedSize != 0 ? resource_->generatedSize : resource_->body.size();
}

bool FakeTransport::IsSupportedUrl(const wchar_t* url) {
  return url != nullptr && std::wstring(url).compare(0, prefix_.size(), prefix_) == 0;
}

CNetworkUtil::TransportFactory FakeTransportSlot(std::wstring name, std::wstring prefix, const FakeResource* resource,
                                                 FakeTransportLog* log) {
  return [=]() -> std::unique_ptr<CNetworkUtilBase> {
    return std::make_unique<FakeTransport>(name, prefix, resource, log);
  };
}

}  // namespace orb::test
