// The adapters through which the flow configures an operation class.
#include "flow/operation_factory.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/fake_storage.h"

namespace {

// Has every setter of every flow and notes the calls in order; one setter
// can be told to fail.
class SetterLog : public CDownloaderBase {
 public:
  std::vector<std::string> calls;
  std::string failing;

  HRESULT Start() override { return E_NOTIMPL; }
  HRESULT SetStorage(IDeviceStorage* storage) { return Note("storage", CDownloaderBase::SetStorage(storage)); }
  HRESULT SetCountry(const wchar_t* country) { return Note("country", CDownloaderBase::SetCountry(country)); }
  HRESULT SetContentUrl(const wchar_t* url) { return Note(url != nullptr ? "url" : "url(null)", S_OK); }
  HRESULT SetContentName(const wchar_t* name) { return Note(name != nullptr ? "name" : "name(null)", S_OK); }
  HRESULT SetInternalStorageTarget(bool internal) { return Note(internal ? "internal" : "card", S_OK); }
  void SetKind(std::int32_t kind) { Note("kind " + std::to_string(kind), S_OK); }
  void SetSelectionFlags(std::uint32_t flags) { Note("flags " + std::to_string(flags), S_OK); }

 private:
  HRESULT Note(const std::string& call, HRESULT result) {
    calls.push_back(call);
    return call == failing ? ORB_E_RUNNING : result;
  }
};

template <class Adapter>
std::vector<std::string> Configure(const OperationSettings& settings, const std::string& failing = "",
                                   HRESULT* result = nullptr) {
  std::unique_ptr<IFlowOperation> operation;
  EXPECT_EQ(MakeFlowOperation<Adapter>(&operation), S_OK);
  auto& log = static_cast<Adapter&>(*operation).Object();
  log.failing = failing;
  const HRESULT hr = operation->Configure(settings);
  if (result != nullptr) *result = hr;
  EXPECT_EQ(&operation->Operation(), static_cast<CDownloaderBase*>(&log));
  return log.calls;
}

TEST(OperationFactoryTest, AdaptersCallTheSettersInTheFlowsOrder) {
  orb::test::FakeStorage storage(L'F');
  OperationSettings s;
  s.storage = &storage;
  s.contentUrl = L"http://store.example/a";
  s.country = L"JP";
  s.contentName = L"CLIP0001";
  s.kind = 1;
  s.selectionFlags = 272;
  s.internalStorageTarget = true;
  using V = std::vector<std::string>;
  EXPECT_EQ(Configure<CGamePackageOperation<SetterLog>>(s), (V{"internal", "storage", "url", "country"}));
  EXPECT_EQ(Configure<CComicVideoOperation<SetterLog>>(s),
            (V{"kind 1", "flags 272", "storage", "name", "url", "country"}));
  EXPECT_EQ(Configure<CPlainMediaOperation<SetterLog>>(s), (V{"storage", "url", "country"}));

  // Without a country the game and plain media do not set one.
  s.country = nullptr;
  s.internalStorageTarget = false;
  EXPECT_EQ(Configure<CGamePackageOperation<SetterLog>>(s), (V{"card", "storage", "url"}));
  EXPECT_EQ(Configure<CPlainMediaOperation<SetterLog>>(s), (V{"storage", "url"}));

  // The first refusal ends the configuration with its code.
  HRESULT hr = S_OK;
  EXPECT_EQ(Configure<CComicVideoOperation<SetterLog>>(s, "name", &hr), (V{"kind 1", "flags 272", "storage", "name"}));
  EXPECT_EQ(hr, ORB_E_RUNNING);
  s.storage = nullptr;
  EXPECT_EQ(Configure<CPlainMediaOperation<SetterLog>>(s, "", &hr), (V{"storage"}));
  EXPECT_EQ(hr, E_POINTER);
}

}  // namespace
