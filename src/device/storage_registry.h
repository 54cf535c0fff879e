// storage_registry.h - the process-wide list of target storages present
// now: the portable devices' storages first, then the removable drives in
// letter order.
//
// The registry owns every storage it makes and never destroys one while the
// process runs: rebuilding the list only drops pointers from it, so a
// storage handed out earlier (an operation keeps its storage for its whole
// run) stays valid. A drive keeps one storage object per letter.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "base/status.h"
#include "device/device_storage.h"

// The portable devices' part of the registry.
class IPortableDeviceSource {
 public:
  virtual ~IPortableDeviceSource() = default;
  // A storage for every storage object of every portable device present,
  // in the devices' order and, within a device, in its objects' order. On
  // failure nothing is handed over and the code is returned.
  virtual HRESULT EnumerateStorages(std::vector<std::unique_ptr<IDeviceStorage>>* storages) = 0;
};

class StorageRegistry {
 public:
  // Created on first use, never destroyed.
  static StorageRegistry& Instance();

  // Rebuilds the list and appends every storage's identifier, in list
  // order. A failure of the portable devices ends it with their code and
  // the list unchanged.
  HRESULT Enumerate(std::vector<std::wstring>* ids);
  // S_OK found; S_FALSE not found (out untouched); E_POINTER, E_INVALIDARG
  // for an empty identifier, E_NOTIMPL for a mass-storage volume's portable
  // device identifier.
  HRESULT FindById(const std::wstring& id, IDeviceStorage** storage);
  // Enumerates, then finds the drive storage of the letter: S_OK or
  // S_FALSE; E_POINTER for a null out pointer or letter 0.
  HRESULT FindByDriveLetter(wchar_t letter, IDeviceStorage** storage);

  // Where the portable devices come from; none until one is set (the
  // registry then lists drives only). The source is not owned.
  void SetPortableDeviceSource(IPortableDeviceSource* source) { source_ = source; }

 private:
  StorageRegistry() = default;

  std::vector<IDeviceStorage*> list_;
  std::vector<std::unique_ptr<IDeviceStorage>> owned_;
  std::map<wchar_t, IDeviceStorage*> drives_;
  IPortableDeviceSource* source_ = nullptr;
};

// The text inside the identifiers of the portable devices that the system
// makes for mass-storage volumes (which the drives already cover).
constexpr wchar_t kVolumePortableDeviceMark[] = L"\\\\?\\wpdbusenumroot";
