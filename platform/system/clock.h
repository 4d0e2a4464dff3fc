#pragma once

// The operating system's clock, as GetSystemTime (platform/runtime/system_time.h)
// reads it when no test has fixed the time: platform/system/posix/ reads the
// standard library's system clock, platform/system/win32/ the system's own.

#include "platform/runtime/system_time.h"

namespace platform::system {

// The current UTC date and time.
void readUtcClock(SYSTEMTIME& time);

} // namespace platform::system
