#include "platform/system/clock.h"

#include <chrono>

namespace platform::system {

void readUtcClock(SYSTEMTIME& time)
{
    using namespace std::chrono;
    auto now = system_clock::now();
    auto today = floor<days>(now);
    year_month_day date { today };
    hh_mm_ss clock { floor<milliseconds>(now - today) };
    time.wYear = static_cast<uint16_t>(static_cast<int>(date.year()));
    time.wMonth = static_cast<uint16_t>(static_cast<unsigned>(date.month()));
    time.wDay = static_cast<uint16_t>(static_cast<unsigned>(date.day()));
    time.wDayOfWeek = static_cast<uint16_t>(weekday { today }.c_encoding());
    time.wHour = static_cast<uint16_t>(clock.hours().count());
    time.wMinute = static_cast<uint16_t>(clock.minutes().count());
    time.wSecond = static_cast<uint16_t>(clock.seconds().count());
    time.wMilliseconds = static_cast<uint16_t>(clock.subseconds().count());
}

} // namespace platform::system
