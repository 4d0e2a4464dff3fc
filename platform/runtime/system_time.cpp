#include "platform/runtime/system_time.h"

#include "platform/testing/hooks.h"

#include <optional>

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

void setFixedSystemTimeForTesting(const SYSTEMTIME& time) { fixedTime() = time; }

void clearFixedSystemTimeForTesting() { fixedTime().reset(); }

} // namespace platform
