#pragma once

// The operating system's clock, as GetSystemTime (platform/system_time.h)
// reads it when no test has fixed the time: platform/posix/ reads the
// standard library's system clock, platform/win32/ the system's own.

#include "platform/system_time.h"

namespace platform::system {

// The current UTC date and time.
void readUtcClock(SYSTEMTIME& time);

} // namespace platform::system
