// device_simulation.h - the one seam through which a simulated device (the
// virtual handheld of the tests and the demonstration) stands in for the
// real drive table, SCSI pass-through and USB identity.
//
// With no simulation installed every question goes to the system. With one
// installed, the drive-table questions go to it first (it may leave any of
// them to the system), and every SCSI command and USB identity question is
// answered by it alone, so nothing above the device layer can tell a
// simulated handheld from a real one.
//
// Installed once at start-up, before any device question, and only read
// afterwards.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/drive_table.h"

namespace orb::platform {

enum class ScsiDirection { kNone, kIn, kOut };

constexpr std::size_t kScsiSenseLength = 18;

// The outcome of a command that reached the device: its SCSI status and the
// fixed-format sense data it returned (zeros when it returned none).
struct ScsiOutcome {
  std::uint8_t status = 0;
  std::uint8_t sense[kScsiSenseLength] = {};
};

struct UsbIdentity {
  std::uint16_t vendorId = 0;
  std::uint16_t productId = 0;
  std::wstring serialNumber;
};

enum class UsbLookup {
  kFailed,    // the drive could not be questioned
  kNotFound,  // questioned, but no USB device was found behind it
  kFound,
};

class DeviceSimulation {
 public:
  virtual ~DeviceSimulation() = default;

  // Drive table. Each answers false to leave the question to the system.
  // (Where a simulated drive's files are is told with MapDrive,
  // drive_root.h.)
  virtual bool DriveMask(std::uint32_t* mask) = 0;
  virtual bool DriveTypeOf(wchar_t letter, DriveType* type) = 0;
  virtual bool DriveSpaceOf(wchar_t letter, SysError* error, DriveSpace* space) = 0;

  // SCSI: whether a pass-through handle to the drive can be opened, and one
  // command on it. A false answer from ScsiCommand means the request never
  // reached the device (the system call itself failed).
  virtual bool ScsiOpen(wchar_t letter) = 0;
  virtual bool ScsiCommand(wchar_t letter, const std::uint8_t* cdb, std::size_t cdbLength,
                           ScsiDirection direction, void* data, std::uint32_t dataLength,
                           ScsiOutcome* outcome) = 0;

  // The USB device behind the drive.
  virtual UsbLookup UsbIdentityOf(wchar_t letter, UsbIdentity* identity) = 0;
};

// Installs the simulation (nullptr removes it). The caller keeps ownership
// and keeps the object alive while it is installed.
void InstallDeviceSimulation(DeviceSimulation* simulation);
DeviceSimulation* ActiveDeviceSimulation();

}  // namespace orb::platform
