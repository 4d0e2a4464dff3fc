#pragma once

// The current UTC date and time, in the layout of the Windows SYSTEMTIME
// record (platform/system/clock.h). Tests can fix the clock so that clock
// texts are predictable.

#include "platform/system/clock.h"

namespace platform {

// Fills `time` with the current UTC date and time (or the fixed time).
void GetSystemTime(SYSTEMTIME& time);

} // namespace platform
