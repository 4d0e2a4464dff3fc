#include "platform/system_time.h"

#include "platform/system_clock.h"
#include "platform/testing.h"

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
    system::readUtcClock(time);
}

void setFixedSystemTime(std::optional<SYSTEMTIME> time)
{
    fixedTime() = time;
}

} // namespace platform
