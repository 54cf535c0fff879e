// downloader_base.h - CDownloaderBase, the base of every operation the
// program runs (game package, plain media, comic/video download).
//
// It fixes the contract between the operation flow, which configures,
// starts, polls and stops an operation on the UI thread, and the
// operation's one worker thread, which does the work:
//   - configuration (SetStorage, SetCountry and the operation's own setters)
//     is refused with ORB_E_RUNNING while the worker runs;
//   - the worker publishes progress (0..10000), a byte counter, a chunk
//     counter and a state code (ORB_STATE_...) or failure code as single
//     32-bit values; the UI thread reads them with GetProgress, without a
//     lock (they are atomics);
//   - the UI thread asks the worker to stop through one cancel flag; Stop
//     and the destructor wait for the worker without time-out.
//
// How an operation uses the base:
//   HRESULT Start() override {
//     HRESULT hr = BeginStart();              // running? earlier worker, Reset
//     if (FAILED(hr)) return hr;
//     if (url_.empty() || Storage() == nullptr) return E_INVALIDARG;
//     hr = CheckFreeSpace();
//     if (FAILED(hr)) return hr;
//     return LaunchWorker(ORB_STATE_TRANSFERRING, [this] { FinishWork(Work()); });
//   }
//   HRESULT Stop() override { return StopWorker(); }
//   ~CMyOperation() override { JoinWorker(); }  // before the members go
// Work() looks at IsCancelRequested() between steps and publishes with
// PublishProgress / PublishBytes / PublishState.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <thread>

#include "base/status.h"

class IDeviceStorage;

class CDownloaderBase {
 public:
  // Progress is published in hundredths of a percent.
  static constexpr std::int32_t kProgressMax = 10000;
  // The content size while it is not known.
  static constexpr std::int64_t kSizeUnknown = -1;

  // GetProgress kinds.
  enum ProgressKind : int { kProgressPosition = 1, kProgressBytes = 2 };

  CDownloaderBase();
  CDownloaderBase(const CDownloaderBase&) = delete;
  CDownloaderBase& operator=(const CDownloaderBase&) = delete;

  // Virtual operations, in their fixed order.
  // Stops a running worker and waits for it: S_OK, or ORB_E_NOT_RUNNING when
  // it was not running. The base has no worker: E_NOINTERFACE.
  virtual HRESULT Stop();
  // kind 1: progress (0..10000, -1 before the worker published any); kind 2:
  // the byte counter (-1 before). Always also the chunk counter and the
  // status (a state code, or the failure code of a failed run). E_POINTER
  // for a null output, E_NOTIMPL for another kind.
  virtual HRESULT GetProgress(int kind, std::int32_t* value, std::int32_t* chunks, HRESULT* status);
  // Checks the configuration and the free space, then starts the worker and
  // returns at once.
  virtual HRESULT Start() = 0;
  // The content size (kSizeUnknown when it cannot be known) and the bytes
  // needed on the target beyond it. E_POINTER, ORB_E_RUNNING. The base
  // answers 0 and 0.
  virtual HRESULT GetContentInfo(std::int64_t* size, std::int32_t* extraBytes);
  // Derived destructors call JoinWorker() first: the worker runs the derived
  // object's code.
  virtual ~CDownloaderBase();
  // Idle: not running, progress and byte counter -1, cancel cleared, status
  // ORB_STATE_FINISHED. The chunk counter is kept.
  virtual void Reset();

  // Setters, refused with ORB_E_RUNNING while running.
  HRESULT SetStorage(IDeviceStorage* storage);
  HRESULT SetCountry(const wchar_t* country);
  // Forgets the configuration: no storage, size unknown, no extra bytes, no
  // country; then Reset.
  void Clear();

  // Passes when the content (plus its extra bytes) is strictly smaller than
  // the storage's free space, or its size is unknown; otherwise
  // ORB_E_NOT_ENOUGH_SPACE. E_INVALIDARG without a storage; failures of
  // GetContentInfo and of the storage are returned.
  HRESULT CheckFreeSpace();

  IDeviceStorage* Storage() const { return storage_; }
  const std::wstring& Country() const { return country_; }
  bool IsRunning() const { return running_.load(); }

 protected:
  // Steps of Start that every operation shares: ORB_E_RUNNING while
  // running; an earlier worker is asked to stop and joined; Reset.
  HRESULT BeginStart();
  // Marks the operation running in `firstState` and starts the worker,
  // which runs `body` (with COM initialised for the thread where the
  // platform has COM). ORB_E_UNEXPECTED when no thread could be started.
  HRESULT LaunchWorker(HRESULT firstState, std::function<void()> body);
  // The Stop of an operation with a worker.
  HRESULT StopWorker();
  // Asks a worker to stop if it runs and waits for it. Safe to call twice.
  void JoinWorker();
  // The worker's last step: success publishes progress 10000, one more
  // chunk and ORB_STATE_FINISHED; a failure publishes its code. Either way
  // the operation stops running.
  void FinishWork(HRESULT result);

  bool IsCancelRequested() const { return cancel_.load(); }
  void PublishProgress(std::int32_t progress) { progress_.store(progress); }
  void PublishBytes(std::uint32_t bytes) { bytes_.store(bytes); }
  void PublishState(HRESULT state) { status_.store(state); }
  void AddChunk() { chunks_.fetch_add(1); }

  // The worker's counters for code that updates them in place: the file
  // downloader takes them with SetProgress, SetByteCounter, SetChunkCounter
  // and SetCancelFlag.
  std::atomic<std::int32_t>* ProgressValue() { return &progress_; }
  std::atomic<std::uint32_t>* ByteCounter() { return &bytes_; }
  std::atomic<std::uint32_t>* ChunkCounter() { return &chunks_; }
  const std::atomic<bool>* CancelFlag() const { return &cancel_; }

  // The content size an operation found out (kept by GetContentInfo).
  std::int64_t contentSize_ = kSizeUnknown;
  std::int32_t extraBytes_ = 0;

 private:
  IDeviceStorage* storage_ = nullptr;
  std::atomic<std::int32_t> progress_{-1};
  // Read out as signed: all bits set (-1) = not started yet.
  std::atomic<std::uint32_t> bytes_{~std::uint32_t{0}};
  std::atomic<std::uint32_t> chunks_{0};
  std::atomic<bool> running_{false};
  std::atomic<bool> cancel_{false};
  std::atomic<HRESULT> status_{ORB_STATE_FINISHED};
  std::wstring country_;
  std::thread worker_;
};
