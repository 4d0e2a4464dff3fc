#include "platform/system/clock.h"

#include <windows.h>

namespace platform::system {

void readUtcClock(SYSTEMTIME& time)
{
    ::SYSTEMTIME now {};
    ::GetSystemTime(&now);
    time.wYear = now.wYear;
    time.wMonth = now.wMonth;
    time.wDayOfWeek = now.wDayOfWeek;
    time.wDay = now.wDay;
    time.wHour = now.wHour;
    time.wMinute = now.wMinute;
    time.wSecond = now.wSecond;
    time.wMilliseconds = now.wMilliseconds;
}

} // namespace platform::system
