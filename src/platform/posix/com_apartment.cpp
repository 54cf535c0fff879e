// com_apartment.cpp (POSIX): there is no COM.
#include "platform/com_apartment.h"

namespace orb::platform {

ComApartment::ComApartment() = default;
ComApartment::~ComApartment() = default;

}  // namespace orb::platform
