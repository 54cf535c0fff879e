// portable_device_fakes.h - portable-device storages for the registry and
// the selection policies, until the portable-device back end exists.
#pragma once

#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "device/storage_registry.h"
#include "support/fake_storage.h"

namespace orb::test {

struct PortableStorageSpec {
  std::wstring deviceId;
  std::wstring objectId;
  bool zelk = false;
};

class FakePortableStorage : public FakeStorage {
 public:
  explicit FakePortableStorage(PortableStorageSpec spec) : spec_(std::move(spec)) {}
  HRESULT IsZelkDevice(bool* result) override {
    if (result == nullptr) return E_POINTER;
    *result = spec_.zelk;
    return S_OK;
  }
  std::wstring GetDeviceId() override { return spec_.deviceId; }
  std::wstring GetStorageObjectId() override { return spec_.objectId; }
  std::wstring GetStorageId() override { return spec_.deviceId + L"_" + spec_.objectId; }

 private:
  PortableStorageSpec spec_;
};

// Installed as the registry's portable devices for one test.
class ScopedPortableDevices : public IPortableDeviceSource {
 public:
  ScopedPortableDevices() : ScopedPortableDevices(std::vector<PortableStorageSpec>()) {}
  ScopedPortableDevices(std::initializer_list<PortableStorageSpec> list)
      : ScopedPortableDevices(std::vector<PortableStorageSpec>(list)) {}
  explicit ScopedPortableDevices(std::vector<PortableStorageSpec> list) : storages(std::move(list)) {
    StorageRegistry::Instance().SetPortableDeviceSource(this);
  }
  ScopedPortableDevices(const ScopedPortableDevices&) = delete;
  ScopedPortableDevices& operator=(const ScopedPortableDevices&) = delete;
  ~ScopedPortableDevices() override { StorageRegistry::Instance().SetPortableDeviceSource(nullptr); }

  HRESULT EnumerateStorages(std::vector<std::unique_ptr<IDeviceStorage>>* out) override {
    if (failure != S_OK) return failure;
    for (const PortableStorageSpec& spec : storages) out->push_back(std::make_unique<FakePortableStorage>(spec));
    return S_OK;
  }

  std::vector<PortableStorageSpec> storages;
  HRESULT failure = S_OK;
};

}  // namespace orb::test
