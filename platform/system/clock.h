#pragma once

// The operating system's clock, as GetSystemTime (platform/runtime/system_time.h)
// reads it when no test has fixed the time: platform/system/posix/ reads the
// standard library's system clock, platform/system/win32/ the system's own.
// The record it fills is the platform's SYSTEMTIME, in the layout of the
// Windows record of that name.

#include <cstdint>

namespace platform {

struct SYSTEMTIME {
    uint16_t wYear = 0;
    uint16_t wMonth = 0;
    uint16_t wDayOfWeek = 0; // 0 Sunday .. 6 Saturday
    uint16_t wDay = 0;
    uint16_t wHour = 0;
    uint16_t wMinute = 0;
    uint16_t wSecond = 0;
    uint16_t wMilliseconds = 0;
};

} // namespace platform

namespace platform::system {

// The current UTC date and time.
void readUtcClock(SYSTEMTIME& time);

} // namespace platform::system
