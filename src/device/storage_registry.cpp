// storage_registry.cpp
#include "device/storage_registry.h"

#include <algorithm>
#include <cwctype>
#include <new>

#include "device/msc_storage.h"
#include "platform/drive_table.h"

namespace {

bool ContainsIgnoringCase(const std::wstring& text, const wchar_t* part) {
  std::wstring lower = text;
  for (wchar_t& c : lower) c = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
  return lower.find(part) != std::wstring::npos;
}

}  // namespace

StorageRegistry& StorageRegistry::Instance() {
  static StorageRegistry* const registry = new StorageRegistry();
  return *registry;
}

HRESULT StorageRegistry::Enumerate(std::vector<std::wstring>* ids) {
  if (ids == nullptr) return E_POINTER;
  try {
    std::vector<std::unique_ptr<IDeviceStorage>> portable;
    if (source_ != nullptr) {
      const HRESULT hr = source_->EnumerateStorages(&portable);
      if (FAILED(hr)) return hr;
    }
    std::vector<IDeviceStorage*> list;
    for (std::unique_ptr<IDeviceStorage>& storage : portable) {
      if (storage == nullptr) continue;
      list.push_back(storage.get());
      owned_.push_back(std::move(storage));
    }
    const std::uint32_t mask = orb::platform::GetLogicalDriveMask();
    for (int i = 2; i < 26; ++i) {
      const wchar_t letter = static_cast<wchar_t>(L'A' + i);
      if ((mask & (1u << i)) == 0 || orb::platform::GetDriveType(letter) != orb::platform::DriveType::kRemovable) {
        continue;
      }
      IDeviceStorage*& drive = drives_[letter];
      if (drive == nullptr) {
        owned_.push_back(std::make_unique<CMSCStorage>(letter));
        drive = owned_.back().get();
      }
      list.push_back(drive);
    }
    list_ = std::move(list);
    for (IDeviceStorage* storage : list_) ids->push_back(storage->GetStorageId());
  } catch (const std::bad_alloc&) {
    // The storages already handed out stay alive; only the list goes.
    list_.clear();
    return E_OUTOFMEMORY;
  }
  return S_OK;
}

HRESULT StorageRegistry::FindById(const std::wstring& id, IDeviceStorage** storage) {
  if (storage == nullptr) return E_POINTER;
  if (id.empty()) return E_INVALIDARG;
  if (ContainsIgnoringCase(id, kVolumePortableDeviceMark)) return E_NOTIMPL;
  for (IDeviceStorage* candidate : list_) {
    if (candidate->GetStorageId() == id) {
      *storage = candidate;
      return S_OK;
    }
  }
  return S_FALSE;
}

HRESULT StorageRegistry::FindByDriveLetter(wchar_t letter, IDeviceStorage** storage) {
  if (storage == nullptr || letter == 0) return E_POINTER;
  std::vector<std::wstring> ids;
  HRESULT hr = Enumerate(&ids);
  if (FAILED(hr)) return hr;
  for (const std::wstring& id : ids) {
    IDeviceStorage* candidate = nullptr;
    hr = FindById(id, &candidate);
    if (FAILED(hr)) return hr;
    if (hr != S_OK) continue;
    bool isDrive = false;
    if (SUCCEEDED(candidate->IsDriveStorage(&isDrive)) && isDrive && id[0] == letter) {
      *storage = candidate;
      return S_OK;
    }
  }
  return S_FALSE;
}
