#include "platform/system_time.h"
#include "platform/testing.h"

#include <chrono>

namespace platform {

namespace {

std::optional<SYSTEMTIME>& fixedTime()
{
    static std::optional<SYSTEMTIME> time;
    return time;
}

} // namespace

void GetSystemTime(SYSTEMTIME& time)
{
    if (fixedTime()) {
        time = *fixedTime();
        return;
    }
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

void setFixedSystemTime(std::optional<SYSTEMTIME> time)
{
    fixedTime() = time;
}

} // namespace platform
