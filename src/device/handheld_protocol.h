// handheld_protocol.h - how the handheld's drives identify themselves on
// USB: INQUIRY identities, the two vendor commands and the medium-state
// mode page. Shared by the drive questions and by anything that answers
// them in place of a handheld.
#pragma once

#include <cstddef>
#include <cstdint>

namespace orb::device::handheld {

// Standard INQUIRY, 36 bytes in; the identity is bytes 8 to 35.
constexpr std::uint8_t kInquiry[6] = {0x12, 0x00, 0x00, 0x00, 0x24, 0x00};
constexpr std::uint32_t kInquiryLength = 36;
constexpr std::size_t kIdentityOffset = 8;
constexpr std::size_t kIdentityLength = 28;  // vendor 8, product 16, revision 4
constexpr std::size_t kVendorLength = 8;
constexpr std::size_t kProductLength = 16;
constexpr std::size_t kRevisionLength = 4;

// Identities, space-padded as the device sends them.
constexpr char kTitleCaseVendor[] = "Vora    ";
constexpr char kTitleCaseProduct[] = "KVX             ";
constexpr char kVendor[] = "VORA    ";
constexpr char kCardProduct[] = "\"KVX\" FK        ";
constexpr char kSystemStorageProduct[] = "\"KVX\" SS        ";
constexpr char kConsoleProductPrefix[] = "\"KVX\"";  // 5 bytes

// Vendor commands: operation code 0xFC, signature "KVXi" in bytes 3 to 6.
constexpr std::uint8_t kVendorOperation = 0xFC;
constexpr std::uint8_t kSignature[4] = {0x4B, 0x56, 0x58, 0x69};
constexpr std::uint8_t kReadSystemVersion[12] = {0xFC, 0x00, 0x90, 0x4B, 0x56, 0x58, 0x69, 0x00, 0x00, 0x00, 0x00, 0x00};
constexpr std::uint32_t kSystemVersionLength = 1024;
constexpr std::size_t kSystemVersionKept = 5;  // "6.50" and its terminating zero
constexpr std::uint8_t kReadProductCode[12] = {0xFC, 0x00, 0xA5, 0x4B, 0x56, 0x58, 0x69, 0x00, 0x02, 0x00, 0x00, 0x00};
constexpr std::uint32_t kProductCodeLength = 2;
constexpr std::uint8_t kSystemVersionFunction = 0x90;
constexpr std::uint8_t kProductCodeFunction = 0xA5;

// MODE SENSE(10) for page 0x20 with 108 bytes of room. In the returned
// header, byte 2 is the medium type and bit 7 of byte 3 the lock switch.
constexpr std::uint8_t kModeSense[10] = {0x5A, 0x00, 0x20, 0x00, 0x00, 0x00, 0x00, 0x00, 0x6C, 0x00};
constexpr std::uint32_t kModeSenseLength = 108;
constexpr std::uint8_t kModePage = 0x20;
constexpr std::uint8_t kCardMediumType = 0x20;
constexpr std::uint8_t kWriteProtectBit = 0x80;

// USB identity of the model that has a single drive.
constexpr std::uint16_t kMakerVendorId = 0x7A11;
constexpr std::uint16_t kSingleDriveProductId = 0x0381;

}  // namespace orb::device::handheld
