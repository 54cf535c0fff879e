// clock.cpp (POSIX)
#include "platform/clock.h"

#include <time.h>

namespace orb::platform {

std::uint32_t TickCount() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  const auto ms = static_cast<std::uint64_t>(now.tv_sec) * 1000u + static_cast<std::uint64_t>(now.tv_nsec) / 1000000u;
  return static_cast<std::uint32_t>(ms);
}

void SleepMilliseconds(std::uint32_t milliseconds) {
  timespec wait{static_cast<time_t>(milliseconds / 1000u), static_cast<long>(milliseconds % 1000u) * 1000000L};
  while (nanosleep(&wait, &wait) != 0) {
  }
}

}  // namespace orb::platform
