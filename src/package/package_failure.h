// package_failure.h - the package reader's own failure numbers and the
// status codes they leave the reader as. Several numbers share a status;
// the reader keeps the number of its last failure for diagnosis and tests.
#pragma once

#include "base/status.h"

namespace orb {

enum class PackageFailure : int {
  kNone = 0,
  kNotOpen = 101,            // the file could not be opened, or is not open
  kRead = 102,               // reading or positioning failed, or the file is short
  kCursor = 103,             // the entry cursor is beyond the entry count
  kEntryState = 104,         // no entry bytes left to read, or some still unread
  kMainHeader = 105,         // the main header breaks a rule
  kNotFinalized = 106,       // bit 31 of the type word is clear
  kType1Layout = 107,        // type 1 with the metadata not ending before the data
  kExtendedHeader = 108,     // the extended header breaks a rule
  kHeadRegion = 109,         // head region end + region size beyond the head
  kMetadataRegion = 111,     // metadata region end + region size beyond the head
  kDigest = 115,             // the data area's SHA-1 differs from the stored one
  kExtensionType = 116,      // the extension type is not 1
  kEntryClass = 117,         // a delivered entry's bits 28 to 30 are not 1
  kNameSize = 118,           // an entry name is longer than 255 bytes
  kNamePrefix = 119,         // a delivered name does not start with the prefix
  kReadSize = 120,           // a read size that is not a multiple of 16
  kNoContent = 121,          // no delivered entry, or no bytes in delivered files
  // Numbers of our own beyond the format's list.
  kUnsafeName = 122,         // a name that would leave the install folder
  kOutsideData = 123,        // an entry table, name or data outside the data area
};

constexpr HRESULT StatusFromPackageFailure(PackageFailure failure) {
  switch (failure) {
    case PackageFailure::kNone: return S_OK;
    case PackageFailure::kNotOpen:
    case PackageFailure::kRead:
    case PackageFailure::kCursor:
    case PackageFailure::kEntryState: return ORB_E_PKG_IO;
    case PackageFailure::kMainHeader:
    case PackageFailure::kExtendedHeader:
    case PackageFailure::kHeadRegion:
    case PackageFailure::kMetadataRegion: return ORB_E_PKG_HEADER;
    case PackageFailure::kNotFinalized:
    case PackageFailure::kType1Layout:
    case PackageFailure::kNoContent: return ORB_E_PKG_CONTENT;
    case PackageFailure::kDigest: return ORB_E_PKG_DIGEST;
    case PackageFailure::kExtensionType:
    case PackageFailure::kEntryClass:
    case PackageFailure::kNameSize:
    case PackageFailure::kNamePrefix:
    case PackageFailure::kUnsafeName:
    case PackageFailure::kOutsideData: return ORB_E_PKG_ENTRY;
    case PackageFailure::kReadSize: return ORB_E_PKG_READ_SIZE;
  }
  return ORB_E_PKG_IO;
}

}  // namespace orb
