// storage_selection.cpp
#include "device/storage_selection.h"

#include <new>
#include <string>
#include <vector>

#include "device/drive_selection.h"
#include "device/storage_registry.h"

namespace dev = orb::device;

namespace {

struct Choice {
  std::wstring id;
  std::uint32_t flags = 0;
  std::int32_t kind = dev::kStorageKindNotSet;
};

Choice ConsoleDriveChoice(wchar_t target, wchar_t companion) {
  Choice c;
  c.id.assign(1, target);
  c.flags = dev::kSelectedConsoleDrive;
  c.kind = companion != 0 ? dev::kStorageKindSystemStorage : dev::kStorageKindMemoryCard;
  return c;
}

HRESULT PlainMediaPolicy(StorageRegistry& registry, const std::vector<std::wstring>& ids, Choice* choice) {
  int portable = 0;
  std::wstring firstPortable;
  for (const std::wstring& id : ids) {
    IDeviceStorage* storage = nullptr;
    HRESULT hr = registry.FindById(id, &storage);
    if (FAILED(hr)) return hr;
    if (hr != S_OK) return E_FAIL;
    bool isPortable = false;
    hr = storage->IsPortableDeviceStorage(&isPortable);
    if (FAILED(hr)) return hr;
    if (isPortable && portable++ == 0) firstPortable = id;
  }
  wchar_t target = 0;
  wchar_t companion = 0;
  const HRESULT r = SelectConsoleDrive(&target, &companion);
  if (FAILED(r) && r != ORB_E_NO_DEVICE) return r;
  if (r == S_OK && portable == 0) {
    *choice = ConsoleDriveChoice(target, companion);
    return S_OK;
  }
  if (r == S_OK || portable > 1) return ORB_E_SEVERAL_DEVICES;
  if (portable == 0) return ORB_E_NO_DEVICE;
  choice->id = firstPortable;
  choice->flags = dev::kSelectedPortableStorage;
  choice->kind = dev::kStorageKindNotSet;
  return S_OK;
}

HRESULT ComicVideoPolicy(StorageRegistry& registry, const std::vector<std::wstring>& ids, Choice* choice) {
  // One candidate per portable device, however many storages it has.
  std::vector<std::wstring> devices;
  Choice device;
  for (const std::wstring& id : ids) {
    IDeviceStorage* storage = nullptr;
    if (registry.FindById(id, &storage) != S_OK) continue;
    bool zelk = false;
    bool portable = false;
    if (FAILED(storage->IsZelkDevice(&zelk))) zelk = false;
    if (FAILED(storage->IsPortableDeviceStorage(&portable))) portable = false;
    if (!zelk && !portable) continue;
    const std::wstring deviceId = storage->GetDeviceId();
    bool known = false;
    for (const std::wstring& d : devices) known = known || d == deviceId;
    if (known) continue;
    devices.push_back(deviceId);
    if (devices.size() > 1) return ORB_E_SEVERAL_DEVICES;
    device.id = deviceId + dev::kPortableContentStorage;
    device.flags = zelk ? dev::kSelectedZelkDevice : dev::kSelectedPortableDevice;
    device.kind = zelk ? dev::kStorageKindSystemStorage : dev::kStorageKindSdCard;
  }
  // A ZELK device takes its content through its own channel, not here.
  const bool candidate = devices.size() == 1 && device.flags != dev::kSelectedZelkDevice;
  wchar_t target = 0;
  wchar_t companion = 0;
  HRESULT r = SelectConsoleDrive(&target, &companion);
  if (FAILED(r) && r != ORB_E_NO_DEVICE) return r;
  if (r == ORB_S_SINGLE_DRIVE_MODEL) r = ORB_E_NO_DEVICE;
  if (r == S_OK) {
    if (candidate) return ORB_E_SEVERAL_DEVICES;
    *choice = ConsoleDriveChoice(target, companion);
    return S_OK;
  }
  if (!candidate) return ORB_E_NO_DEVICE;
  *choice = device;
  return S_OK;
}

}  // namespace

HRESULT SelectStorage(int policy, IDeviceStorage** storage, std::uint32_t* flags, std::int32_t* kind) {
  if (storage == nullptr || flags == nullptr) return E_POINTER;
  if (policy < dev::kPolicyDefault || policy > dev::kPolicyPlainMedia) return E_INVALIDARG;
  try {
    StorageRegistry& registry = StorageRegistry::Instance();
    std::vector<std::wstring> ids;
    // A registry that cannot be listed has no storage to offer.
    if (FAILED(registry.Enumerate(&ids)) || ids.empty()) return ORB_E_NO_DEVICE;
    Choice choice;
    HRESULT hr = policy == dev::kPolicyPlainMedia ? PlainMediaPolicy(registry, ids, &choice)
                                                  : ComicVideoPolicy(registry, ids, &choice);
    if (FAILED(hr)) return hr;
    IDeviceStorage* chosen = nullptr;
    hr = registry.FindById(choice.id, &chosen);
    if (FAILED(hr)) return hr;
    if (hr != S_OK) return ORB_E_NO_DEVICE;
    *storage = chosen;
    *flags = choice.flags;
    if (kind != nullptr) *kind = choice.kind;
    return S_OK;
  } catch (...) {
    return E_FAIL;
  }
}
