// clock.cpp (Windows)
#include "platform/clock.h"

#include "platform/win32/windows_api.h"

namespace orb::platform {

std::uint32_t TickCount() { return GetTickCount(); }

void SleepMilliseconds(std::uint32_t milliseconds) { Sleep(milliseconds); }

}  // namespace orb::platform
