#pragma once

// A zone's local time by a POSIX TZ rule, the form the tz database's
// compiled files end with ("AEST-10AEDT,M10.1.0,M4.1.0/3"): a standard time,
// and optionally a daylight-saving time with the two instants of each year
// at which it begins and ends.
//
// Grammar (POSIX, with the extensions of RFC 8536 section 3.3.1):
//
//   std offset [dst [offset] [,start[/time],end[/time]]]
//
// - A name is three or more letters (AEST), or three or more letters,
//   digits, '+' and '-' between angle brackets (<+0545>, <-03>).
// - An offset is [+|-]hh[:mm[:ss]], hours 0 to 24, minutes and seconds 0 to
//   59, and counts west of Greenwich: "AEST-10" is ten hours east of UTC,
//   "EST5" five hours west. The daylight offset defaults to one hour east of
//   the standard offset.
// - A date is Jn (day 1 to 365, February 29 never counted, so J60 is always
//   March 1), n (day 0 to 365, February 29 counted in leap years), or Mm.w.d
//   (day d, 0 Sunday to 6 Saturday, of week w, 1 to 5, 5 meaning the last,
//   of month m, 1 to 12).
// - A time is [+|-]hh[:mm[:ss]] of local time, hours -167 to 167, default
//   02:00:00; "M3.5.0/-1" is 23:00 the day before, "M3.4.4/50" 02:00 two days
//   after. The start is read in standard time, the end in daylight time.
// - A daylight name without dates takes the dates ",M3.2.0,M11.1.0", as the
//   tz database's own code does.
//
// Anything else (an empty text, a ':' form, a short name, a number out of
// range, a text left over) is not a rule: parse() gives no value, and the
// caller keeps its fixed offset. Nothing here raises an error.

#include <cstdint>
#include <optional>
#include <string_view>

namespace zandreth {

class TimeZoneRule {
public:
    enum class DateKind : uint8_t {
        JulianNoLeap, // Jn
        ZeroBased,    // n
        MonthWeekDay, // Mm.w.d
    };

    // One end of the daylight-saving period.
    struct Transition {
        DateKind kind = DateKind::MonthWeekDay;
        int16_t day = 0;   // n of Jn and n; d of Mm.w.d
        int16_t week = 0;  // w of Mm.w.d
        int16_t month = 0; // m of Mm.w.d
        int32_t time = 0;  // seconds of local time after the date's midnight
    };

    // The rule written in `text`, or no value when the text is not a rule.
    static std::optional<TimeZoneRule> parse(std::string_view text);

    // Seconds east of UTC of the standard and the daylight time.
    int32_t standardOffset() const { return standardOffset_; }
    int32_t daylightOffset() const { return daylightOffset_; }
    bool hasDaylightSaving() const { return hasDaylightSaving_; }
    const Transition& start() const { return start_; }
    const Transition& end() const { return end_; }

    // Whether daylight-saving time is in force at `utcSeconds`, seconds since
    // 1970-01-01 00:00:00 UTC: the later of the rule's instants at or before
    // it decides. Any instant of the years -10^9 to 10^9 is counted exactly
    // (the clock's years are 1601 to 30827).
    bool isDaylightSavingAt(int64_t utcSeconds) const;
    // The offset in seconds east of UTC in force at `utcSeconds`.
    int32_t offsetAt(int64_t utcSeconds) const;

private:
    int32_t standardOffset_ = 0;
    int32_t daylightOffset_ = 0;
    bool hasDaylightSaving_ = false;
    Transition start_;
    Transition end_;
};

// Seconds since 1970-01-01 00:00:00 UTC of a date and time of the proleptic
// Gregorian calendar; month 1 to 12, and day, hour, minute and second may
// run past their ranges (day 32 of January is February 1).
int64_t SecondsSinceEpoch(int64_t year, int month, int64_t day, int64_t hour, int64_t minute, int64_t second);

} // namespace zandreth
