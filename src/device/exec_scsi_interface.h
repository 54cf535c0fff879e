// exec_scsi_interface.h - one SCSI back end: a selected drive and the
// commands sent to it.
#pragma once

#include <cstdint>

#include "platform/device_simulation.h"

class ExecScsiInterface {
 public:
  // The last error before any command completed, and the mark added to it
  // when a command failed.
  static constexpr std::uint32_t kCommandFailed = 0xFF000000u;
  // Longest command block a back end accepts.
  static constexpr std::uint32_t kMaxCdbLength = 16;

  ExecScsiInterface() = default;
  virtual ~ExecScsiInterface();
  ExecScsiInterface(const ExecScsiInterface&) = delete;
  ExecScsiInterface& operator=(const ExecScsiInterface&) = delete;

  virtual bool ExecNoData(const std::uint8_t* cdb, std::uint32_t cdbLength) = 0;
  virtual bool ExecDataIn(const std::uint8_t* cdb, std::uint32_t cdbLength, void* data,
                          std::uint32_t dataLength) = 0;
  virtual bool ExecDataOut(const std::uint8_t* cdb, std::uint32_t cdbLength, const void* data,
                           std::uint32_t dataLength) = 0;
  // Selects drive 'A' + index when the system knows it as a removable,
  // fixed or CD-ROM drive.
  virtual bool OpenDrive(int driveIndex);

  // After a command: (sense key byte << 16) | (ASC << 8) | ASCQ, with
  // kCommandFailed added when the command failed.
  std::uint32_t GetLastScsiError() const { return lastError_; }
  int GetSelectedDrive() const { return selectedDrive_; }

 protected:
  void BeginCommand() { lastError_ = kCommandFailed; }
  // Sets the last error from a command that reached the device and says
  // whether it succeeded: status good and sense key byte 0.
  bool CompleteCommand(const orb::platform::ScsiOutcome& outcome);

  int selectedDrive_ = -1;
  std::uint32_t lastError_ = kCommandFailed;
};

// A back end that carries a command the same way in every direction: the
// three commands share their checks and the last-error rule, and the back
// end only moves one request to its device.
class ExecScsiTransport : public ExecScsiInterface {
 public:
  // The drive check, then the back end's own open; the drive already open
  // answers at once, so several commands share one open device.
  bool OpenDrive(int driveIndex) override;
  bool ExecNoData(const std::uint8_t* cdb, std::uint32_t cdbLength) final;
  bool ExecDataIn(const std::uint8_t* cdb, std::uint32_t cdbLength, void* data, std::uint32_t dataLength) final;
  bool ExecDataOut(const std::uint8_t* cdb, std::uint32_t cdbLength, const void* data,
                   std::uint32_t dataLength) final;

 protected:
  // Opens the device of a drive that passed the drive check, closing any
  // other first; false when it cannot be opened.
  virtual bool OpenDevice(int driveIndex) = 0;
  // Sends one well-formed command (1 to 16 bytes, a buffer for any data)
  // to the open device. False when the request never reached the device
  // (the system call failed).
  virtual bool Transfer(const std::uint8_t* cdb, std::uint32_t cdbLength, orb::platform::ScsiDirection direction,
                        void* data, std::uint32_t dataLength, orb::platform::ScsiOutcome* outcome) = 0;

 private:
  bool Run(const std::uint8_t* cdb, std::uint32_t cdbLength, orb::platform::ScsiDirection direction, void* data,
           std::uint32_t dataLength);

  bool deviceOpen_ = false;
};
