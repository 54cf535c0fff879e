// flow_fakes.h - the handheld, the operations and the clock of the
// operation flow's tests.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "flow/device_questions.h"
#include "flow/downloader_base.h"
#include "flow/operation_factory.h"
#include "support/fake_storage.h"
#include "ui/download_progress_dialog.h"

namespace orb::test {

// Every refresh is due and nobody sleeps.
class InstantClock : public CProgressClock {
 public:
  std::uint32_t Now() override { return now_ += 1000; }
  void Sleep(std::uint32_t) override {}

 private:
  std::uint32_t now_ = 0;
};

// Answers the device questions from lists; records every question.
class FakeDevices : public IDeviceQuestions {
 public:
  // ScanConsoleDrives answers in order; the last one repeats.
  std::deque<std::uint32_t> masks{0};
  HRESULT scanResult = S_OK;
  std::set<wchar_t> systemStorage;
  std::set<wchar_t> singleDriveModel;
  std::set<wchar_t> olderSoftware;
  bool sameDevice = true;
  HRESULT versionResult = S_OK;
  HRESULT mediaResult = S_OK;
  struct Selection {
    HRESULT result;
    IDeviceStorage* storage;
    std::uint32_t flags;
    std::int32_t kind;
  };
  // SelectStorage answers in order; the last one repeats. Without any, the
  // handheld's card drive F is chosen.
  std::deque<Selection> selections;
  HRESULT findResult = S_OK;
  IDeviceStorage* found = nullptr;  // null: the card drive F
  FakeStorage cardDrive{L'F'};
  std::vector<std::string> calls;

  HRESULT ScanConsoleDrives(std::uint32_t* mask) override {
    calls.push_back("scan");
    *mask = Next(masks);
    return scanResult;
  }
  bool IsSameUsbDevice(wchar_t, wchar_t) override { return sameDevice; }
  bool IsSystemStorageDrive(wchar_t drive) override { return systemStorage.count(drive) != 0; }
  bool IsSingleDriveModel(wchar_t drive) override { return singleDriveModel.count(drive) != 0; }
  HRESULT IsSystemVersionOlder(wchar_t drive, const char* minimum, bool* older) override {
    calls.push_back(std::string("version ") + static_cast<char>(drive) + " " + minimum);
    *older = olderSoftware.count(drive) != 0;
    return versionResult;
  }
  HRESULT CheckMedia(wchar_t drive) override {
    calls.push_back(std::string("media ") + static_cast<char>(drive));
    return mediaResult;
  }
  HRESULT SelectStorage(int policy, IDeviceStorage** storage, std::uint32_t* flags, std::int32_t* kind) override {
    calls.push_back("select " + std::to_string(policy));
    const Selection s = selections.empty() ? Selection{S_OK, &cardDrive, 1, 1} : Next(selections);
    *storage = s.storage;
    *flags = s.flags;
    if (kind != nullptr) *kind = s.kind;
    return s.result;
  }
  HRESULT FindByDriveLetter(wchar_t letter, IDeviceStorage** storage) override {
    calls.push_back(std::string("find ") + static_cast<char>(letter));
    *storage = found != nullptr ? found : &cardDrive;
    return findResult;
  }

 private:
  template <class T>
  static T Next(std::deque<T>& list) {
    const T value = list.front();
    if (list.size() > 1) list.pop_front();
    return value;
  }
};

// One poll of an operation: what GetProgress reports.
struct Step {
  std::int32_t progress;
  std::int32_t bytes;
  HRESULT state;
};

// What the fake operations saw, kept after the flow has destroyed them.
struct OperationRecord {
  std::vector<OperationType> created;
  // The settings of the last Configure, texts copied.
  bool configured = false;
  std::wstring url, country, name;
  bool hasCountry = false;
  IDeviceStorage* storage = nullptr;
  std::int32_t kind = 0;
  std::uint32_t selectionFlags = 0;
  bool internalStorageTarget = false;
  int starts = 0;
  int stops = 0;
  int polls = 0;
};

// An operation that reports a scripted timeline, one step per position poll
// (the last step repeats), and answers Stop as told.
class FakeOperation : public CDownloaderBase {
 public:
  explicit FakeOperation(OperationRecord* record) : record_(record) {}
  std::vector<Step> steps{{CDownloaderBase::kProgressMax, 100, ORB_STATE_FINISHED}};
  std::int64_t size = 100;
  HRESULT contentInfoResult = S_OK;
  HRESULT startResult = S_OK;
  HRESULT stopResult = S_OK;

  HRESULT GetProgress(int kind, std::int32_t* value, std::int32_t* chunks, HRESULT* status) override {
    if (kind == kProgressPosition) {
      ++record_->polls;
      if (next_ < steps.size()) current_ = steps[next_++];
    }
    *value = kind == kProgressPosition ? current_.progress : current_.bytes;
    *chunks = 0;
    *status = current_.state;
    return S_OK;
  }
  HRESULT Start() override {
    ++record_->starts;
    return startResult;
  }
  HRESULT Stop() override {
    ++record_->stops;
    return stopResult;
  }
  HRESULT GetContentInfo(std::int64_t* outSize, std::int32_t* extra) override {
    *outSize = size;
    *extra = 0;
    return contentInfoResult;
  }

 private:
  OperationRecord* record_;
  std::size_t next_ = 0;
  Step current_{-1, -1, ORB_STATE_STARTING};
};

class FakeFlowOperation : public IFlowOperation {
 public:
  FakeFlowOperation(OperationRecord* record, HRESULT configureResult)
      : record_(record), configureResult_(configureResult), operation_(record) {}
  CDownloaderBase& Operation() override { return operation_; }
  HRESULT Configure(const OperationSettings& s) override {
    record_->configured = true;
    record_->storage = s.storage;
    record_->url = s.contentUrl != nullptr ? s.contentUrl : L"(null)";
    record_->hasCountry = s.country != nullptr;
    record_->country = s.country != nullptr ? s.country : L"";
    record_->name = s.contentName != nullptr ? s.contentName : L"";
    record_->kind = s.kind;
    record_->selectionFlags = s.selectionFlags;
    record_->internalStorageTarget = s.internalStorageTarget;
    return configureResult_;
  }
  FakeOperation& Fake() { return operation_; }

 private:
  OperationRecord* record_;
  HRESULT configureResult_;
  FakeOperation operation_;
};

// Creates fake operations of the available types; E_NOTIMPL for the others,
// as the program does for operations it does not have.
class FakeOperations : public IOperationFactory {
 public:
  std::set<OperationType> available;
  HRESULT configureResult = S_OK;
  // Shapes each new operation (timeline, answers).
  std::vector<Step> steps{{CDownloaderBase::kProgressMax, 100, ORB_STATE_FINISHED}};
  std::int64_t size = 100;
  HRESULT contentInfoResult = S_OK;
  HRESULT startResult = S_OK;
  HRESULT stopResult = S_OK;
  OperationRecord record;

  HRESULT Create(OperationType type, std::unique_ptr<IFlowOperation>* operation) override {
    record.created.push_back(type);
    if (available.count(type) == 0) return E_NOTIMPL;
    auto made = std::make_unique<FakeFlowOperation>(&record, configureResult);
    FakeOperation& fake = made->Fake();
    fake.steps = steps;
    fake.size = size;
    fake.contentInfoResult = contentInfoResult;
    fake.startResult = startResult;
    fake.stopResult = stopResult;
    *operation = std::move(made);
    return S_OK;
  }
};

}  // namespace orb::test
