// fk_media.h - medium questions about one drive: capacity, whether the
// handheld reports its card medium, and the card's lock switch.
#pragma once

#include <cstdint>

#include "base/status.h"

class CFKMedia {
 public:
  CFKMedia() = default;
  virtual ~CFKMedia();

  // Total bytes of the drive's volume; ORB_E_STORAGE_NOT_ACCESSIBLE when
  // unreadable.
  HRESULT GetDriveCapacity(wchar_t letter, std::uint64_t* bytes);
  // S_OK locked, S_FALSE not locked.
  HRESULT IsMediumLocked(wchar_t letter);
  // S_OK card medium, E_FAIL another medium.
  HRESULT CheckMediumType(wchar_t letter);

 private:
  HRESULT ReadModeHeader(wchar_t letter, std::uint8_t* mediumType, std::uint8_t* deviceSpecific);
};
