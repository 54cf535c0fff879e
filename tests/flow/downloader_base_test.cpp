#include "flow/downloader_base.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <thread>

#include "support/fake_storage.h"

namespace {

using orb::test::FakeStorage;

// An operation whose worker publishes a step, then waits until the test
// lets it finish (with `result`) or it is cancelled.
class WaitingOperation : public CDownloaderBase {
 public:
  std::int64_t size = 0;
  std::int32_t extra = 0;
  HRESULT contentInfoResult = S_OK;
  std::atomic<bool> finish{false};
  std::atomic<bool> started{false};
  HRESULT result = S_OK;

  ~WaitingOperation() override { JoinWorker(); }

  HRESULT GetContentInfo(std::int64_t* outSize, std::int32_t* outExtra) override {
    if (outSize == nullptr || outExtra == nullptr) return E_POINTER;
    if (IsRunning()) return ORB_E_RUNNING;
    *outSize = size;
    *outExtra = extra;
    return contentInfoResult;
  }

  HRESULT Start() override {
    HRESULT hr = BeginStart();
    if (FAILED(hr)) return hr;
    if (Storage() == nullptr) return E_INVALIDARG;
    hr = CheckFreeSpace();
    if (FAILED(hr)) return hr;
    return LaunchWorker(ORB_STATE_STARTING, [this] {
      PublishProgress(500);
      PublishBytes(1234);
      PublishState(ORB_STATE_TRANSFERRING);
      started = true;
      while (!finish.load() && !IsCancelRequested()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
      FinishWork(IsCancelRequested() ? ORB_E_TRANSFER_CANCELLED : result);
    });
  }

  HRESULT Stop() override { return StopWorker(); }

  void WaitStarted() {
    while (!started.load()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  void WaitStopped() {
    while (IsRunning()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
};

struct Progress {
  HRESULT result;
  std::int32_t value;
  std::int32_t chunks;
  HRESULT status;
};

Progress Read(CDownloaderBase& op, int kind) {
  Progress p{E_FAIL, 0, 0, S_OK};
  p.result = op.GetProgress(kind, &p.value, &p.chunks, &p.status);
  return p;
}

TEST(DownloaderBaseTest, FreeSpaceMustExceedTheContentStrictly) {
  const std::int64_t kUnknown = CDownloaderBase::kSizeUnknown;
  struct Case {
    const char* what;
    std::int64_t size;
    std::int32_t extra;
    std::uint64_t free;
    HRESULT want;
  } cases[] = {
      {"1000 + 24 into 1024 free: no byte would be left", 1000, 24, 1024, ORB_E_NOT_ENOUGH_SPACE},
      {"1000 + 24 into 1025 free", 1000, 24, 1025, S_OK},
      {"unknown size passes even on a full storage", kUnknown, 24, 0, S_OK},
      {"extra all bits set: the content alone counts", 1000, -1, 1001, S_OK},
      {"extra all bits set, equal to the free space", 1000, -1, 1000, ORB_E_NOT_ENOUGH_SPACE},
      {"an empty content still needs a free byte", 0, 0, 0, ORB_E_NOT_ENOUGH_SPACE},
      {"beyond 4 GiB", (std::int64_t{5} << 30), 0, (std::uint64_t{5} << 30) + 1, S_OK},
      {"beyond 4 GiB, one byte short", (std::int64_t{5} << 30), 1, (std::uint64_t{5} << 30) + 1,
       ORB_E_NOT_ENOUGH_SPACE},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    FakeStorage storage;
    storage.freeBytes = c.free;
    WaitingOperation op;
    op.size = c.size;
    op.extra = c.extra;
    ASSERT_EQ(op.SetStorage(&storage), S_OK);
    EXPECT_EQ(op.CheckFreeSpace(), c.want);
    EXPECT_EQ(storage.freeSpaceQuestions, 1);
  }
}

TEST(DownloaderBaseTest, FreeSpaceCheckPassesFailuresOn) {
  WaitingOperation op;
  EXPECT_EQ(op.CheckFreeSpace(), E_INVALIDARG);  // no storage

  FakeStorage storage;
  storage.freeBytes = 1u << 20;
  ASSERT_EQ(op.SetStorage(&storage), S_OK);
  op.contentInfoResult = ORB_E_HTTP_NOT_FOUND;
  EXPECT_EQ(op.CheckFreeSpace(), ORB_E_HTTP_NOT_FOUND);
  EXPECT_EQ(storage.freeSpaceQuestions, 0);

  op.contentInfoResult = S_OK;
  storage.freeSpaceResult = orb::StatusFromWin32(orb::win32_error::kNotReady);
  EXPECT_EQ(op.CheckFreeSpace(), orb::StatusFromWin32(orb::win32_error::kNotReady));
}

TEST(DownloaderBaseTest, IdleOperation) {
  WaitingOperation op;
  EXPECT_EQ(op.Stop(), ORB_E_NOT_RUNNING);

  const Progress position = Read(op, CDownloaderBase::kProgressPosition);
  EXPECT_EQ(position.result, S_OK);
  EXPECT_EQ(position.value, -1);
  EXPECT_EQ(position.status, ORB_STATE_FINISHED);
  EXPECT_EQ(Read(op, CDownloaderBase::kProgressBytes).value, -1);
  EXPECT_EQ(Read(op, 3).result, E_NOTIMPL);
  std::int32_t value = 0;
  HRESULT status = S_OK;
  EXPECT_EQ(op.GetProgress(1, &value, nullptr, &status), E_POINTER);

  EXPECT_EQ(op.SetStorage(nullptr), E_POINTER);
  EXPECT_EQ(op.SetCountry(nullptr), E_POINTER);
  EXPECT_EQ(op.SetCountry(L"JP"), S_OK);
  EXPECT_EQ(op.Country(), L"JP");
  EXPECT_EQ(op.Start(), E_INVALIDARG);  // no storage

  // The base itself has no worker to stop, and knows no size.
  class Bare : public CDownloaderBase {
   public:
    HRESULT Start() override { return E_NOTIMPL; }
  } bare;
  EXPECT_EQ(bare.Stop(), E_NOINTERFACE);
  std::int64_t size = -5;
  std::int32_t extra = -5;
  EXPECT_EQ(bare.GetContentInfo(&size, &extra), S_OK);
  EXPECT_EQ(size, 0);
  EXPECT_EQ(extra, 0);
  EXPECT_EQ(bare.GetContentInfo(nullptr, &extra), E_POINTER);
}

TEST(DownloaderBaseTest, RunningOperationRefusesChangesAndStopsOnRequest) {
  FakeStorage storage(L'F');
  FakeStorage other(L'G');
  storage.freeBytes = 1u << 20;
  WaitingOperation op;
  op.size = 100;
  ASSERT_EQ(op.SetStorage(&storage), S_OK);
  ASSERT_EQ(op.SetCountry(L"JP"), S_OK);
  ASSERT_EQ(op.Start(), S_OK);
  op.WaitStarted();

  EXPECT_TRUE(op.IsRunning());
  EXPECT_EQ(op.SetStorage(&other), ORB_E_RUNNING);
  EXPECT_EQ(op.Storage(), &storage);
  EXPECT_EQ(op.SetCountry(L"FR"), ORB_E_RUNNING);
  EXPECT_EQ(op.Country(), L"JP");
  EXPECT_EQ(op.Start(), ORB_E_RUNNING);
  std::int64_t size = 0;
  std::int32_t extra = 0;
  EXPECT_EQ(op.GetContentInfo(&size, &extra), ORB_E_RUNNING);

  const Progress running = Read(op, CDownloaderBase::kProgressPosition);
  EXPECT_EQ(running.value, 500);
  EXPECT_EQ(running.status, ORB_STATE_TRANSFERRING);
  EXPECT_EQ(Read(op, CDownloaderBase::kProgressBytes).value, 1234);

  EXPECT_EQ(op.Stop(), S_OK);  // joins the worker
  EXPECT_FALSE(op.IsRunning());
  EXPECT_EQ(Read(op, 1).status, ORB_E_TRANSFER_CANCELLED);  // the stopped worker's last word
  EXPECT_EQ(op.Stop(), ORB_E_NOT_RUNNING);
  EXPECT_EQ(op.SetStorage(&other), S_OK);
}

TEST(DownloaderBaseTest, FinishedRunPublishesItsOutcomeAndCanStartAgain) {
  FakeStorage storage;
  storage.freeBytes = 1u << 20;
  WaitingOperation op;
  ASSERT_EQ(op.SetStorage(&storage), S_OK);
  ASSERT_EQ(op.Start(), S_OK);
  op.WaitStarted();
  op.finish = true;
  op.WaitStopped();
  const Progress done = Read(op, 1);
  EXPECT_EQ(done.value, CDownloaderBase::kProgressMax);
  EXPECT_EQ(done.status, ORB_STATE_FINISHED);
  EXPECT_EQ(done.chunks, 1);
  // Ended on its own: there is nothing to stop.
  EXPECT_EQ(op.Stop(), ORB_E_NOT_RUNNING);

  // Again, failing this time: the earlier worker is joined first, the
  // chunk counter survives Reset.
  op.finish = false;
  op.started = false;
  op.result = ORB_E_WRITE_FAILED;
  ASSERT_EQ(op.Start(), S_OK);
  op.WaitStarted();
  op.finish = true;
  op.WaitStopped();
  const Progress failed = Read(op, 1);
  EXPECT_EQ(failed.status, ORB_E_WRITE_FAILED);
  EXPECT_EQ(failed.chunks, 1);
  op.Reset();
  EXPECT_EQ(Read(op, 1).status, ORB_STATE_FINISHED);
  EXPECT_EQ(Read(op, 1).chunks, 1);
}

TEST(DownloaderBaseTest, NotEnoughSpaceStartsNoWorker) {
  FakeStorage storage;
  storage.freeBytes = 100;
  WaitingOperation op;
  op.size = 100;
  ASSERT_EQ(op.SetStorage(&storage), S_OK);
  EXPECT_EQ(op.Start(), ORB_E_NOT_ENOUGH_SPACE);
  EXPECT_FALSE(op.IsRunning());
  EXPECT_EQ(Read(op, 1).status, ORB_STATE_FINISHED);
}

TEST(DownloaderBaseTest, DestroyingARunningOperationStopsItsWorker) {
  FakeStorage storage;
  storage.freeBytes = 1u << 20;
  auto op = std::make_unique<WaitingOperation>();
  ASSERT_EQ(op->SetStorage(&storage), S_OK);
  ASSERT_EQ(op->Start(), S_OK);
  op->WaitStarted();
  op.reset();  // must not hang or leave the worker behind (sanitizers watch)
  SUCCEED();
}

}  // namespace
