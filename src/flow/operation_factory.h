// operation_factory.h - how the operation flow gets its operation objects.
//
// Each flow creates one operation, configures it with what the control file
// and the storage selection gave, then starts and polls it through
// CDownloaderBase. The flow does not know the operation classes: it asks an
// IOperationFactory for a new operation of a type and receives it wrapped in
// an IFlowOperation, which knows that class's setters.
//
// Plugging an operation in (COperationFactory::Create in
// operation_factory.cpp) is one line per type, with the adapter of its flow:
//   case OperationType::kPlainMedia:
//     return MakeFlowOperation<CPlainMediaOperation<CNonSecureContentDownloader>>(operation);
// A type without an operation fails with E_NOTIMPL, which the flow reports
// like any failure (one message with its code), never as a success.
#pragma once

#include <cstdint>
#include <memory>
#include <new>

#include "base/status.h"
#include "flow/downloader_base.h"

class IDeviceStorage;

// The operations the flows run.
enum class OperationType {
  kGamePackage,  // "pngc": COrbGameDownloader
  kComicVideo,   // "pnvm", "pncm": CComicVideoDownloader
  kPlainMedia,   // "pnv#": CNonSecureContentDownloader
};

// Everything a flow hands its operation.
struct OperationSettings {
  IDeviceStorage* storage = nullptr;
  const wchar_t* contentUrl = nullptr;
  const wchar_t* country = nullptr;      // null when the control file has none
  const wchar_t* contentName = nullptr;  // comic/video: base name of the files
  std::int32_t kind = 0;                 // comic/video: 1 video, 2 comic
  std::uint32_t selectionFlags = 0;      // comic/video: as the selection gave them
  bool internalStorageTarget = false;    // game: the target is the system storage
};

// One operation object as a flow holds it.
class IFlowOperation {
 public:
  virtual ~IFlowOperation() = default;
  virtual CDownloaderBase& Operation() = 0;
  // Calls the operation's setters in its flow's order; the first failure is
  // returned.
  virtual HRESULT Configure(const OperationSettings& settings) = 0;
};

class IOperationFactory {
 public:
  virtual ~IOperationFactory() = default;
  // A new, unconfigured operation of the type. E_NOTIMPL when this build has
  // no such operation, E_OUTOFMEMORY.
  virtual HRESULT Create(OperationType type, std::unique_ptr<IFlowOperation>* operation) = 0;
};

// The program's own operations.
class COperationFactory : public IOperationFactory {
 public:
  HRESULT Create(OperationType type, std::unique_ptr<IFlowOperation>* operation) override;
};

// --- Adapters: one per flow, for any class with that flow's setters.

// SetStorage, SetContentUrl, then SetCountry when the control file has a
// country: the order of the game and plain-media flows.
template <class T>
HRESULT ConfigureStoreTarget(T& operation, const OperationSettings& s) {
  HRESULT hr = operation.SetStorage(s.storage);
  if (SUCCEEDED(hr)) hr = operation.SetContentUrl(s.contentUrl);
  if (SUCCEEDED(hr) && s.country != nullptr) hr = operation.SetCountry(s.country);
  return hr;
}

// "pngc": SetInternalStorageTarget, then the store target.
template <class T>
class CGamePackageOperation : public IFlowOperation {
 public:
  CDownloaderBase& Operation() override { return operation_; }
  HRESULT Configure(const OperationSettings& s) override {
    const HRESULT hr = operation_.SetInternalStorageTarget(s.internalStorageTarget);
    return FAILED(hr) ? hr : ConfigureStoreTarget(operation_, s);
  }
  T& Object() { return operation_; }

 private:
  T operation_;
};

// "pnvm", "pncm": SetKind, SetSelectionFlags, SetStorage, SetContentName,
// SetContentUrl, SetCountry.
template <class T>
class CComicVideoOperation : public IFlowOperation {
 public:
  CDownloaderBase& Operation() override { return operation_; }
  HRESULT Configure(const OperationSettings& s) override {
    operation_.SetKind(s.kind);
    operation_.SetSelectionFlags(s.selectionFlags);
    HRESULT hr = operation_.SetStorage(s.storage);
    if (SUCCEEDED(hr)) hr = operation_.SetContentName(s.contentName);
    if (SUCCEEDED(hr)) hr = operation_.SetContentUrl(s.contentUrl);
    if (SUCCEEDED(hr)) hr = operation_.SetCountry(s.country);
    return hr;
  }
  T& Object() { return operation_; }

 private:
  T operation_;
};

// "pnv#": the store target alone.
template <class T>
class CPlainMediaOperation : public IFlowOperation {
 public:
  CDownloaderBase& Operation() override { return operation_; }
  HRESULT Configure(const OperationSettings& s) override { return ConfigureStoreTarget(operation_, s); }
  T& Object() { return operation_; }

 private:
  T operation_;
};

// A new adapter (and with it the operation) for *operation.
template <class Adapter>
HRESULT MakeFlowOperation(std::unique_ptr<IFlowOperation>* operation) {
  if (operation == nullptr) return E_POINTER;
  operation->reset(new (std::nothrow) Adapter());
  return *operation ? S_OK : E_OUTOFMEMORY;
}
