// clock.h - the system's millisecond tick and sleeping.
#pragma once

#include <cstdint>

namespace orb::platform {

// Milliseconds since an arbitrary start; wraps after about 49.7 days, so
// compare ticks only by unsigned difference.
std::uint32_t TickCount();

void SleepMilliseconds(std::uint32_t milliseconds);

}  // namespace orb::platform
