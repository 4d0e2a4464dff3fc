#pragma once

// The current UTC date and time, in the layout of the Windows SYSTEMTIME
// record. Tests can fix the clock so that clock texts are predictable.

#include <cstdint>
#include <optional>

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

// Fills `time` with the current UTC date and time (or the fixed time).
void GetSystemTime(SYSTEMTIME& time);

} // namespace platform
