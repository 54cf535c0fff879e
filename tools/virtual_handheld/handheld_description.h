// handheld_description.h - the description file of a virtual handheld: the
// drives it shows, how each identifies itself on SCSI and USB, and what its
// medium reports.
//
// INI form, one section per drive:
//
//   [Drive K]
//   Root = /tmp/kvx/card      ; host directory that is the drive's root
//   Identity = card           ; card | system | titlecase | other
//   SystemVersion = 6.60
//   ProductCode = 01 0A
//   UsbSerial = KVX0000001
//
// Every key and its default is listed in tools/virtual_handheld/README.md.
// The parser is strict: an unknown section or key, a repeated key or drive,
// or a value out of range is an error that names its line.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/drive_table.h"

namespace orb::virtual_handheld {

enum class Identity { kCard, kSystemStorage, kTitleCase, kOther };
enum class UsbPresence { kAttached, kNoSerial, kUnreadable };
enum class SpaceSource { kHost, kGiven, kUnreadable };

struct DriveDescription {
  wchar_t letter = 0;  // 'C'..'Z'
  std::string root;    // host directory, UTF-8
  orb::platform::DriveType type = orb::platform::DriveType::kRemovable;

  Identity identity = Identity::kCard;
  std::string vendor;    // 8 bytes, space-padded
  std::string product;   // 16 bytes, space-padded
  std::string revision;  // 4 bytes, space-padded
  bool inquiryFails = false;

  bool systemVersionReadable = true;
  std::string systemVersion = "6.60";
  bool productCodeReadable = true;
  std::uint8_t productCode[2] = {0x01, 0x0A};

  bool modeSenseFails = false;
  std::uint8_t mediumType = 0x20;
  bool locked = false;

  UsbPresence usb = UsbPresence::kAttached;
  std::uint16_t usbVendor = 0x7A11;
  std::uint16_t usbProduct = 0x0380;
  std::string usbSerial = "KVX-VIRTUAL-1";

  SpaceSource space = SpaceSource::kHost;
  std::uint64_t capacity = 0;
  std::uint64_t freeBytes = 0;
};

struct HandheldDescription {
  std::vector<DriveDescription> drives;  // in file order, letters distinct
  const DriveDescription* Find(wchar_t letter) const;
};

// Longest description file read.
constexpr std::size_t kMaxDescriptionBytes = 1 << 20;

// False with a message ("line 3: unknown key 'Colour'") on any error; the
// description is complete only on success.
bool ParseHandheldDescription(std::string_view text, HandheldDescription* description, std::string* error);

}  // namespace orb::virtual_handheld
