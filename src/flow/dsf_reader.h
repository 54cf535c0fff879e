// dsf_reader.h - reads a control file (or the release-version file, which
// has the same form) into a fixed table of slots.
#pragma once

#include <string>

#include "base/status.h"

class CDsfReader {
 public:
  // Slot numbers; the (section, key) of each is in the reader's table.
  enum Slot : int {
    kOperationCode = 0,   // [Info] EID, at most 4 bytes
    kTitle = 1,           // [Info] Desc
    kCountry = 2,         // [Info] CC
    kContentUrl = 3,      // [File] C
    kLatestVersion = 4,   // [ORBPCDL] LV
    kMinimumVersion = 5,  // [ORBPCDL] MV
    kUpdateLink = 6,      // [ORBPCDL] Info
    kContentName = 7,     // [Info] Name: base name of comic/video files
    kSlotCount = 8
  };

  // Longest physical line read at once; the rest of a longer line is read as
  // the next line. Long enough that every key can carry a value of its full
  // limit.
  static constexpr std::size_t kLinePieceBytes = 4095;
  // Longest section name between the brackets.
  static constexpr std::size_t kMaxSectionBytes = 16;
  // Most wide characters kept of one converted value.
  static constexpr std::size_t kMaxValueChars = 6191;

  CDsfReader() = default;
  virtual ~CDsfReader() = default;

  // Reads the file; on success every slot holds the file's value (empty when
  // the key is absent), replacing what an earlier Read left.
  HRESULT Read(const wchar_t* path);

  // The slot's value, or null when the slot is not in the table or empty.
  const wchar_t* GetValue(int slot) const;

 private:
  std::wstring values_[kSlotCount];
};
