// exec_scsi.h - the SCSI front: creates the back end that fits the system
// for one command sequence and destroys it afterwards.
#pragma once

#include "device/exec_scsi_interface.h"

class ExecScsi {
 public:
  // Back-end types.
  static constexpr int kPassThrough = 0;  // the system's SCSI pass-through
  static constexpr int kDriver = 2;       // the Windows 9x pass-through driver

  // An unknown type, or no memory, leaves no back end: the caller then
  // treats its command as failed.
  explicit ExecScsi(int type);
  virtual ~ExecScsi();
  ExecScsi(const ExecScsi&) = delete;
  ExecScsi& operator=(const ExecScsi&) = delete;

  ExecScsiInterface* GetBackEnd() const { return backEnd_; }

  // The type that fits the running system: kPassThrough on NT-family
  // Windows and on Linux, kDriver on Windows 9x.
  static int SystemBackEndType();

 private:
  ExecScsiInterface* backEnd_ = nullptr;
};

// True on NT-family Windows (asked once per process) and on every other
// system this program builds for.
bool IsNtPlatform();

// The system's pass-through back end (Windows: SCSI pass-through on the
// volume; Linux: SG_IO on the disk); null when out of memory.
ExecScsiInterface* NewSystemPassThroughBackEnd();
