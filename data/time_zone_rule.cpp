#include "data/time_zone_rule.h"

#include "data/civil_days.h"

#include <array>

namespace zandreth {

namespace {

constexpr int64_t kSecondsPerDay = 86400;
constexpr int32_t kSecondsPerHour = 3600;
constexpr int32_t kSecondsPerMinute = 60;
constexpr int kMinimumNameLength = 3;
constexpr int32_t kLargestOffsetHours = 24;
// RFC 8536 widens the hours of a transition time to a week less an hour
// either way, so that a rule can name "the second day after" a date.
constexpr int32_t kLargestTransitionHours = 167;
constexpr int kLastDayOfYear = 365;
constexpr int kLastWeek = 5;
constexpr int kDaysPerWeek = 7;
// January 1, 1970 was a Thursday.
constexpr int kWeekdayOfEpoch = 4;
// The day of a Jn date from which February 29 is skipped over.
constexpr int kJulianMarchFirst = 60;
constexpr int32_t kDefaultTransitionTime = 2 * kSecondsPerHour;

bool isLeapYear(int64_t year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int daysInMonth(int64_t year, int month)
{
    constexpr std::array<int, 12> kDays { 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31 };
    return month == 2 && isLeapYear(year) ? 29 : kDays[static_cast<std::size_t>(month - 1)];
}

int64_t yearOfDays(int64_t days)
{
    days += 719468;
    const int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const int64_t dayOfEra = days - era * 146097;
    const int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const int64_t monthIndex = (5 * dayOfYear + 2) / 153;
    return yearOfEra + era * 400 + (monthIndex >= 10 ? 1 : 0);
}

int64_t floorDivide(int64_t value, int64_t divisor)
{
    const int64_t quotient = value / divisor;
    return quotient * divisor > value ? quotient - 1 : quotient;
}

// Days since 1970-01-01 of the date a transition names in `year`.
int64_t transitionDay(const TimeZoneRule::Transition& transition, int64_t year)
{
    const int64_t newYear = daysFromCivil(year, 1, 1);
    switch (transition.kind) {
    case TimeZoneRule::DateKind::JulianNoLeap: {
        int64_t dayOfYear = transition.day - 1;
        if (isLeapYear(year) && transition.day >= kJulianMarchFirst)
            ++dayOfYear;
        return newYear + dayOfYear;
    }
    case TimeZoneRule::DateKind::ZeroBased:
        return newYear + transition.day;
    case TimeZoneRule::DateKind::MonthWeekDay:
        break;
    }
    const int64_t firstOfMonth = daysFromCivil(year, transition.month, 1);
    const int64_t weekdayOfFirst = ((firstOfMonth + kWeekdayOfEpoch) % kDaysPerWeek + kDaysPerWeek) % kDaysPerWeek;
    int64_t day = 1 + (transition.day - weekdayOfFirst + kDaysPerWeek) % kDaysPerWeek
        + (transition.week - 1) * kDaysPerWeek;
    // Week 5 is the last such weekday of the month, which may be the fourth.
    while (day > daysInMonth(year, transition.month))
        day -= kDaysPerWeek;
    return firstOfMonth + day - 1;
}

// Reads the text of a rule from left to right; every read either consumes
// what it recognises and succeeds, or fails and leaves the rule broken.
class RuleReader {
public:
    explicit RuleReader(std::string_view text)
        : text_(text)
    {
    }

    bool atEnd() const { return position_ == text_.size(); }
    char peek() const { return atEnd() ? '\0' : text_[position_]; }

    bool take(char wanted)
    {
        if (peek() != wanted)
            return false;
        ++position_;
        return true;
    }

    // A name of three or more letters, or of three or more letters, digits
    // and signs in angle brackets.
    bool name()
    {
        int length = 0;
        if (take('<')) {
            while (!atEnd() && (isLetter(peek()) || isDigit(peek()) || peek() == '+' || peek() == '-')) {
                ++position_;
                ++length;
            }
            return take('>') && length >= kMinimumNameLength;
        }
        while (isLetter(peek())) {
            ++position_;
            ++length;
        }
        return length >= kMinimumNameLength;
    }

    // [+|-]hh[:mm[:ss]] with at most `hourDigits` digits of hours, no more
    // than `largestHours`, into signed seconds.
    bool signedTime(int hourDigits, int32_t largestHours, int32_t& seconds)
    {
        const bool negative = peek() == '-';
        if (peek() == '-' || peek() == '+')
            ++position_;
        int32_t hours = 0;
        if (!number(hourDigits, hours) || hours > largestHours)
            return false;
        int32_t minutes = 0;
        int32_t secondsPart = 0;
        if (take(':')) {
            if (!number(2, minutes) || minutes >= kSecondsPerMinute)
                return false;
            if (take(':') && (!number(2, secondsPart) || secondsPart >= kSecondsPerMinute))
                return false;
        }
        seconds = hours * kSecondsPerHour + minutes * kSecondsPerMinute + secondsPart;
        if (negative)
            seconds = -seconds;
        return true;
    }

    // One to `maxDigits` decimal digits, and no digit after them.
    bool number(int maxDigits, int32_t& value)
    {
        value = 0;
        int digits = 0;
        while (isDigit(peek())) {
            if (++digits > maxDigits)
                return false;
            value = value * 10 + (peek() - '0');
            ++position_;
        }
        return digits > 0;
    }

    bool date(TimeZoneRule::Transition& transition)
    {
        int32_t value = 0;
        if (take('J')) {
            if (!number(3, value) || value < 1 || value > kLastDayOfYear)
                return false;
            transition.kind = TimeZoneRule::DateKind::JulianNoLeap;
            transition.day = static_cast<int16_t>(value);
        } else if (take('M')) {
            int32_t month = 0;
            int32_t week = 0;
            int32_t weekday = 0;
            if (!number(2, month) || month < 1 || month > 12 || !take('.') || !number(1, week) || week < 1
                || week > kLastWeek || !take('.') || !number(1, weekday) || weekday >= kDaysPerWeek)
                return false;
            transition.kind = TimeZoneRule::DateKind::MonthWeekDay;
            transition.month = static_cast<int16_t>(month);
            transition.week = static_cast<int16_t>(week);
            transition.day = static_cast<int16_t>(weekday);
        } else {
            if (!number(3, value) || value > kLastDayOfYear)
                return false;
            transition.kind = TimeZoneRule::DateKind::ZeroBased;
            transition.day = static_cast<int16_t>(value);
        }
        transition.time = kDefaultTransitionTime;
        if (take('/'))
            return signedTime(3, kLargestTransitionHours, transition.time);
        return true;
    }

private:
    static bool isLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
    static bool isDigit(char c) { return c >= '0' && c <= '9'; }

    std::string_view text_;
    std::size_t position_ = 0;
};

} // namespace

int64_t SecondsSinceEpoch(int64_t year, int month, int64_t day, int64_t hour, int64_t minute, int64_t second)
{
    return (daysFromCivil(year, month, 1) + day - 1) * kSecondsPerDay + hour * kSecondsPerHour
        + minute * kSecondsPerMinute + second;
}

std::optional<TimeZoneRule> TimeZoneRule::parse(std::string_view text)
{
    RuleReader reader(text);
    TimeZoneRule rule;
    int32_t westSeconds = 0;
    // POSIX counts offsets west of Greenwich; the rule keeps them east, as
    // the catalogue's offsets are.
    if (!reader.name() || !reader.signedTime(2, kLargestOffsetHours, westSeconds))
        return std::nullopt;
    rule.standardOffset_ = -westSeconds;
    rule.daylightOffset_ = rule.standardOffset_;
    if (reader.atEnd())
        return rule;

    if (!reader.name())
        return std::nullopt;
    rule.hasDaylightSaving_ = true;
    rule.daylightOffset_ = rule.standardOffset_ + kSecondsPerHour;
    if (reader.peek() != ',' && !reader.atEnd()) {
        if (!reader.signedTime(2, kLargestOffsetHours, westSeconds))
            return std::nullopt;
        rule.daylightOffset_ = -westSeconds;
    }

    if (reader.atEnd()) {
        // No dates: those the tz database's code assumes.
        RuleReader defaults("M3.2.0,M11.1.0");
        defaults.date(rule.start_);
        defaults.take(',');
        defaults.date(rule.end_);
        return rule;
    }
    if (!reader.take(',') || !reader.date(rule.start_) || !reader.take(',') || !reader.date(rule.end_)
        || !reader.atEnd())
        return std::nullopt;
    return rule;
}

bool TimeZoneRule::isDaylightSavingAt(int64_t utcSeconds) const
{
    if (!hasDaylightSaving_)
        return false;
    // A transition time of up to a week moves an instant into the next
    // year, or a week back into the one before; the instants of two years
    // either side cover every rule.
    const int64_t year = yearOfDays(floorDivide(utcSeconds, kSecondsPerDay));
    bool daylight = false;
    std::optional<int64_t> latest;
    auto consider = [&](int64_t instant, bool toDaylight) {
        if (instant <= utcSeconds && (!latest || instant >= *latest)) {
            latest = instant;
            daylight = toDaylight;
        }
    };
    for (int64_t y = year - 2; y <= year + 1; ++y) {
        // The start is local standard time, the end local daylight time. In
        // each year the start is considered before the end, and a later year
        // after an earlier one, so of two instants that coincide the one
        // considered last wins: a rule whose end meets the next start stays
        // in daylight time all year.
        consider(transitionDay(start_, y) * kSecondsPerDay + start_.time - standardOffset_, true);
        consider(transitionDay(end_, y) * kSecondsPerDay + end_.time - daylightOffset_, false);
    }
    return daylight;
}

int32_t TimeZoneRule::offsetAt(int64_t utcSeconds) const
{
    return isDaylightSavingAt(utcSeconds) ? daylightOffset_ : standardOffset_;
}

} // namespace zandreth
