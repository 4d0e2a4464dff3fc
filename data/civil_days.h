#pragma once

// Days counted from 1970-01-01 for a date of the proleptic Gregorian
// calendar, which the clock texts' daylight-saving rules and the sun's
// position both count with.

#include <cstdint>

namespace zandreth {

// Days from 1970-01-01 to year-month-day (month 1 to 12), negative before
// it (the algorithm of H. Hinnant's "chrono-compatible low-level date
// algorithms").
constexpr int64_t daysFromCivil(int64_t year, int64_t month, int64_t day)
{
    year -= month <= 2 ? 1 : 0;
    const int64_t era = (year >= 0 ? year : year - 399) / 400;
    const int64_t yearOfEra = year - era * 400;
    const int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

static_assert(daysFromCivil(1970, 1, 1) == 0);
static_assert(daysFromCivil(2000, 3, 1) == 11017);
static_assert(daysFromCivil(1969, 12, 31) == -1);

} // namespace zandreth
