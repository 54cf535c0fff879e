// downloader_base.cpp
#include "flow/downloader_base.h"

#include <system_error>
#include <utility>

#include "device/device_storage.h"
#include "platform/com_apartment.h"

CDownloaderBase::CDownloaderBase() { Clear(); }

CDownloaderBase::~CDownloaderBase() {
  JoinWorker();
  Clear();
}

HRESULT CDownloaderBase::Stop() { return E_NOINTERFACE; }

HRESULT CDownloaderBase::GetProgress(int kind, std::int32_t* value, std::int32_t* chunks, HRESULT* status) {
  if (value == nullptr || chunks == nullptr || status == nullptr) return E_POINTER;
  switch (kind) {
    case kProgressPosition:
      *value = progress_.load();
      break;
    case kProgressBytes:
      *value = static_cast<std::int32_t>(bytes_.load());
      break;
    default:
      return E_NOTIMPL;
  }
  *chunks = static_cast<std::int32_t>(chunks_.load());
  *status = status_.load();
  return S_OK;
}

HRESULT CDownloaderBase::GetContentInfo(std::int64_t* size, std::int32_t* extraBytes) {
  if (size == nullptr || extraBytes == nullptr) return E_POINTER;
  if (running_.load()) return ORB_E_RUNNING;
  *size = 0;
  *extraBytes = 0;
  return S_OK;
}

void CDownloaderBase::Reset() {
  running_.store(false);
  progress_.store(-1);
  bytes_.store(~std::uint32_t{0});
  cancel_.store(false);
  status_.store(ORB_STATE_FINISHED);
}

HRESULT CDownloaderBase::SetStorage(IDeviceStorage* storage) {
  if (storage == nullptr) return E_POINTER;
  if (running_.load()) return ORB_E_RUNNING;
  Reset();
  storage_ = storage;
  return S_OK;
}

HRESULT CDownloaderBase::SetCountry(const wchar_t* country) {
  if (country == nullptr) return E_POINTER;
  if (running_.load()) return ORB_E_RUNNING;
  country_ = country;
  Reset();
  return S_OK;
}

void CDownloaderBase::Clear() {
  storage_ = nullptr;
  contentSize_ = kSizeUnknown;
  extraBytes_ = 0;
  country_.clear();
  Reset();
}

HRESULT CDownloaderBase::CheckFreeSpace() {
  std::int64_t size = kSizeUnknown;
  std::int32_t extra = 0;
  HRESULT hr = GetContentInfo(&size, &extra);
  if (FAILED(hr)) return hr;
  if (storage_ == nullptr) return E_INVALIDARG;

  const bool sizeKnown = size != kSizeUnknown;
  // Extra bytes of all bits set mean "none known": the content alone counts.
  const std::int64_t needed = extra == -1 ? size : size + extra;

  std::uint64_t free = 0;
  hr = storage_->GetFreeSpace(&free);
  if (FAILED(hr)) return hr;
  // Strictly less: a target left with zero bytes free counts as full.
  if (!sizeKnown || needed < static_cast<std::int64_t>(free)) return S_OK;
  return ORB_E_NOT_ENOUGH_SPACE;
}

HRESULT CDownloaderBase::BeginStart() {
  if (running_.load()) return ORB_E_RUNNING;
  JoinWorker();
  Reset();
  return S_OK;
}

HRESULT CDownloaderBase::LaunchWorker(HRESULT firstState, std::function<void()> body) {
  running_.store(true);
  status_.store(firstState);
  try {
    worker_ = std::thread([body = std::move(body)] {
      orb::platform::ComApartment com;
      body();
    });
  } catch (const std::system_error&) {
    running_.store(false);
    status_.store(S_OK);
    return ORB_E_UNEXPECTED;
  }
  return S_OK;
}

HRESULT CDownloaderBase::StopWorker() {
  if (!running_.load()) return ORB_E_NOT_RUNNING;
  JoinWorker();
  running_.store(false);
  return S_OK;
}

void CDownloaderBase::JoinWorker() {
  if (!worker_.joinable()) return;
  cancel_.store(true);
  worker_.join();
}

void CDownloaderBase::FinishWork(HRESULT result) {
  if (SUCCEEDED(result)) {
    progress_.store(kProgressMax);
    chunks_.fetch_add(1);
    status_.store(ORB_STATE_FINISHED);
  } else {
    status_.store(result);
  }
  // Last, so that whoever sees the operation stopped also sees its outcome.
  running_.store(false);
}
