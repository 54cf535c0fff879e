// virtual_handheld.cpp
#include "virtual_handheld/virtual_handheld.h"

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

#include "base/wide_text.h"
#include "device/handheld_protocol.h"
#include "platform/drive_root.h"

namespace orb::virtual_handheld {

namespace hh = orb::device::handheld;
using orb::platform::DriveSpace;
using orb::platform::DriveType;
using orb::platform::ScsiDirection;
using orb::platform::ScsiOutcome;

namespace {

constexpr std::uint8_t kGood = 0x00;
constexpr std::uint8_t kCheckCondition = 0x02;
constexpr std::uint8_t kIllegalRequest = 0x05;
constexpr std::uint8_t kInvalidOperationCode = 0x20;
constexpr std::uint8_t kInvalidFieldInCdb = 0x24;
constexpr std::uint8_t kTestUnitReady = 0x00;
constexpr std::uint8_t kInquiryOperation = 0x12;
constexpr std::uint8_t kModeSense10Operation = 0x5A;
constexpr std::uint8_t kAllPages = 0x3F;

void Reject(ScsiOutcome* outcome, std::uint8_t asc) {
  *outcome = ScsiOutcome();
  outcome->status = kCheckCondition;
  outcome->sense[0] = 0x70;  // current error, fixed format
  outcome->sense[2] = kIllegalRequest;
  outcome->sense[7] = 10;  // additional sense length
  outcome->sense[12] = asc;
}

// Returns `answer` through the data buffer, cut to the command's
// allocation length and to the buffer.
void Return(const std::vector<std::uint8_t>& answer, std::size_t allocation, ScsiDirection direction, void* data,
            std::uint32_t dataLength, ScsiOutcome* outcome) {
  *outcome = ScsiOutcome();
  outcome->status = kGood;
  if (direction != ScsiDirection::kIn || data == nullptr) return;
  const std::size_t n = std::min({answer.size(), allocation, static_cast<std::size_t>(dataLength)});
  std::memcpy(data, answer.data(), n);
}

bool IsHandheld(const DriveDescription& drive) { return drive.identity != Identity::kOther; }

std::vector<std::uint8_t> InquiryData(const DriveDescription& drive) {
  std::vector<std::uint8_t> answer(hh::kInquiryLength, 0);
  answer[0] = 0x00;  // direct-access block device
  answer[1] = 0x80;  // removable medium
  answer[2] = 0x02;  // SCSI-2
  answer[3] = 0x02;  // response data format
  answer[4] = static_cast<std::uint8_t>(hh::kInquiryLength - 5);
  std::memcpy(&answer[hh::kIdentityOffset], drive.vendor.data(), hh::kVendorLength);
  std::memcpy(&answer[hh::kIdentityOffset + hh::kVendorLength], drive.product.data(), hh::kProductLength);
  std::memcpy(&answer[hh::kIdentityOffset + hh::kVendorLength + hh::kProductLength], drive.revision.data(),
              hh::kRevisionLength);
  return answer;
}

// Mode parameter header (8 bytes, no block descriptor) and page 0x20.
std::vector<std::uint8_t> ModePageData(const DriveDescription& drive) {
  std::vector<std::uint8_t> answer(16, 0);
  answer[1] = static_cast<std::uint8_t>(answer.size() - 2);  // mode data length
  answer[2] = drive.mediumType;
  answer[3] = drive.locked ? hh::kWriteProtectBit : 0;
  answer[8] = hh::kModePage;
  answer[9] = 6;  // page length
  return answer;
}

void AnswerVendor(const DriveDescription& drive, const std::uint8_t* cdb, std::size_t cdbLength,
                  ScsiDirection direction, void* data, std::uint32_t dataLength, ScsiOutcome* outcome) {
  if (!IsHandheld(drive)) return Reject(outcome, kInvalidOperationCode);
  if (cdbLength < 12 || std::memcmp(cdb + 3, hh::kSignature, sizeof hh::kSignature) != 0) {
    return Reject(outcome, kInvalidFieldInCdb);
  }
  if (cdb[2] == hh::kSystemVersionFunction) {
    if (!drive.systemVersionReadable) return Reject(outcome, kInvalidFieldInCdb);
    std::vector<std::uint8_t> answer(hh::kSystemVersionLength, 0);
    std::memcpy(answer.data(), drive.systemVersion.data(), drive.systemVersion.size());
    return Return(answer, answer.size(), direction, data, dataLength, outcome);
  }
  if (cdb[2] == hh::kProductCodeFunction) {
    if (!drive.productCodeReadable) return Reject(outcome, kInvalidFieldInCdb);
    const std::vector<std::uint8_t> answer = {drive.productCode[0], drive.productCode[1]};
    return Return(answer, cdb[8] == 0 ? answer.size() : cdb[8], direction, data, dataLength, outcome);
  }
  Reject(outcome, kInvalidFieldInCdb);
}

}  // namespace

void AnswerScsi(const DriveDescription& drive, const std::uint8_t* cdb, std::size_t cdbLength,
                ScsiDirection direction, void* data, std::uint32_t dataLength, ScsiOutcome* outcome) {
  if (cdb == nullptr || cdbLength == 0) return Reject(outcome, kInvalidOperationCode);
  switch (cdb[0]) {
    case kTestUnitReady:
      *outcome = ScsiOutcome();
      return;
    case kInquiryOperation:
      if (cdbLength < 6 || drive.inquiryFails || (cdb[1] & 0x01) != 0) return Reject(outcome, kInvalidFieldInCdb);
      return Return(InquiryData(drive), cdb[4], direction, data, dataLength, outcome);
    case kModeSense10Operation: {
      const std::uint8_t page = cdb[2] & 0x3F;
      if (cdbLength < 10 || !IsHandheld(drive) || drive.modeSenseFails || (page != hh::kModePage && page != kAllPages)) {
        return Reject(outcome, kInvalidFieldInCdb);
      }
      const std::size_t allocation = static_cast<std::size_t>(cdb[7]) << 8 | cdb[8];
      return Return(ModePageData(drive), allocation, direction, data, dataLength, outcome);
    }
    case hh::kVendorOperation:
      return AnswerVendor(drive, cdb, cdbLength, direction, data, dataLength, outcome);
    default:
      return Reject(outcome, kInvalidOperationCode);
  }
}

VirtualHandheld::VirtualHandheld(HandheldDescription description, bool ownsDriveTable)
    : description_(std::move(description)), ownsDriveTable_(ownsDriveTable) {}

bool VirtualHandheld::DriveMask(std::uint32_t* mask) {
  if (!ownsDriveTable_) return false;
  std::uint32_t bits = 0;
  for (const DriveDescription& drive : description_.drives) bits |= 1u << (drive.letter - L'A');
  *mask = bits;
  return true;
}

bool VirtualHandheld::DriveTypeOf(wchar_t letter, DriveType* type) {
  if (!ownsDriveTable_) return false;
  const DriveDescription* drive = description_.Find(letter);
  *type = drive != nullptr ? drive->type : DriveType::kNoRootDir;
  return true;
}

bool VirtualHandheld::DriveSpaceOf(wchar_t letter, orb::platform::SysError* error, DriveSpace* space) {
  const DriveDescription* drive = description_.Find(letter);
  if (drive == nullptr) return false;
  switch (drive->space) {
    case SpaceSource::kGiven:
      space->totalBytes = drive->capacity;
      space->freeBytesForCaller = drive->freeBytes;
      *error = win32_error::kSuccess;
      return true;
    case SpaceSource::kUnreadable:
      *error = win32_error::kNotReady;
      return true;
    case SpaceSource::kHost:
      break;
  }
  return false;  // the volume under the drive's root answers
}

void VirtualHandheld::MapDrives() const {
  if (!ownsDriveTable_) return;
  for (const DriveDescription& drive : description_.drives) {
    orb::platform::MapDrive(drive.letter, Utf8ToWide(drive.root));
  }
}

void VirtualHandheld::UnmapDrives() const {
  if (!ownsDriveTable_) return;
  for (const DriveDescription& drive : description_.drives) orb::platform::UnmapDrive(drive.letter);
}

bool VirtualHandheld::ScsiOpen(wchar_t letter) { return description_.Find(letter) != nullptr; }

bool VirtualHandheld::ScsiCommand(wchar_t letter, const std::uint8_t* cdb, std::size_t cdbLength,
                                  ScsiDirection direction, void* data, std::uint32_t dataLength,
                                  ScsiOutcome* outcome) {
  const DriveDescription* drive = description_.Find(letter);
  if (drive == nullptr) return false;
  AnswerScsi(*drive, cdb, cdbLength, direction, data, dataLength, outcome);
  return true;
}

orb::platform::UsbLookup VirtualHandheld::UsbIdentityOf(wchar_t letter, orb::platform::UsbIdentity* identity) {
  using orb::platform::UsbLookup;
  const DriveDescription* drive = description_.Find(letter);
  if (drive == nullptr || drive->usb == UsbPresence::kUnreadable) return UsbLookup::kFailed;
  if (drive->usb == UsbPresence::kNoSerial) return UsbLookup::kNotFound;
  identity->vendorId = drive->usbVendor;
  identity->productId = drive->usbProduct;
  identity->serialNumber = Utf8ToWide(drive->usbSerial);
  return UsbLookup::kFound;
}

}  // namespace orb::virtual_handheld
