// POSIX TZ rules: what is a rule and what is not, and which offset a rule
// gives just before and just after each of its instants.

#include "data/time_zone_rule.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>

namespace {

using zandreth::SecondsSinceEpoch;
using zandreth::TimeZoneRule;
using DateKind = TimeZoneRule::DateKind;

constexpr int32_t kHour = 3600;
constexpr int32_t kMinute = 60;

// --- The calendar the instants are counted in ---------------------------

TEST(SecondsSinceEpoch, CountsFromTheEpochAcrossLeapYears)
{
    struct Case {
        int64_t year;
        int month;
        int64_t day, hour, minute, second;
        int64_t expected;
    };
    // Values from `date -u -d ... +%s`.
    const Case cases[] = {
        { 1970, 1, 1, 0, 0, 0, 0 },
        { 1969, 12, 31, 23, 59, 59, -1 },
        { 2000, 2, 29, 12, 0, 0, 951825600 },
        { 2000, 3, 1, 0, 0, 0, 951868800 },
        { 2024, 12, 15, 12, 30, 0, 1734265800 },
        { 2100, 3, 1, 0, 0, 0, 4107542400 },
        { 1900, 3, 1, 0, 0, 0, -2203891200 },
        // Days and hours past their ranges roll over.
        { 2023, 12, 32, 0, 0, 0, 1704067200 },
        { 2024, 1, 1, -1, 0, 0, 1704063600 },
    };
    for (const Case& c : cases)
        EXPECT_EQ(SecondsSinceEpoch(c.year, c.month, c.day, c.hour, c.minute, c.second), c.expected)
            << c.year << "-" << c.month << "-" << c.day << " " << c.hour << ":" << c.minute << ":" << c.second;
}

// --- What the parser takes -----------------------------------------------

struct TransitionSpec {
    DateKind kind;
    int16_t day, week, month;
    int32_t time;
};

struct ParseCase {
    const char* name;
    const char* text;
    int32_t standardOffset;
    std::optional<int32_t> daylightOffset; // no value: no daylight saving
    TransitionSpec start;
    TransitionSpec end;
};

void PrintTo(const ParseCase& c, std::ostream* out)
{
    *out << c.text;
}

constexpr TransitionSpec kNone { DateKind::MonthWeekDay, 0, 0, 0, 0 };
constexpr TransitionSpec monthWeekDay(int16_t month, int16_t week, int16_t day, int32_t time = 2 * kHour)
{
    return { DateKind::MonthWeekDay, day, week, month, time };
}

const ParseCase kParseCases[] = {
    { "FixedEast", "JST-9", 9 * kHour, std::nullopt, kNone, kNone },
    { "FixedWest", "EST5", -5 * kHour, std::nullopt, kNone, kNone },
    { "FixedPlusSign", "EST+5", -5 * kHour, std::nullopt, kNone, kNone },
    { "Utc", "UTC0", 0, std::nullopt, kNone, kNone },
    { "QuotedNegative", "<-03>3", -3 * kHour, std::nullopt, kNone, kNone },
    { "QuotedMinutes", "<+0545>-5:45", 5 * kHour + 45 * kMinute, std::nullopt, kNone, kNone },
    { "QuotedWestMinutes", "<-0930>9:30", -(9 * kHour + 30 * kMinute), std::nullopt, kNone, kNone },
    { "Seconds", "LMT-0:19:32", 19 * kMinute + 32, std::nullopt, kNone, kNone },
    { "LargestOffset", "AAA-24", 24 * kHour, std::nullopt, kNone, kNone },
    { "Northern", "CET-1CEST,M3.5.0,M10.5.0/3", kHour, 2 * kHour, monthWeekDay(3, 5, 0),
      monthWeekDay(10, 5, 0, 3 * kHour) },
    { "Southern", "AEST-10AEDT,M10.1.0,M4.1.0/3", 10 * kHour, 11 * kHour, monthWeekDay(10, 1, 0),
      monthWeekDay(4, 1, 0, 3 * kHour) },
    { "DaylightOffsetGiven", "<+1030>-10:30<+11>-11,M10.1.0,M4.1.0", 10 * kHour + 30 * kMinute, 11 * kHour,
      monthWeekDay(10, 1, 0), monthWeekDay(4, 1, 0) },
    { "NegativeSaving", "IST-1GMT0,M10.5.0,M3.5.0/1", kHour, 0, monthWeekDay(10, 5, 0),
      monthWeekDay(3, 5, 0, kHour) },
    { "NegativeTimes", "<-02>2<-01>,M3.5.0/-1,M10.5.0/0", -2 * kHour, -kHour, monthWeekDay(3, 5, 0, -kHour),
      monthWeekDay(10, 5, 0, 0) },
    { "HoursBeyondADay", "EET-2EEST,M3.4.4/50,M10.4.4/50", 2 * kHour, 3 * kHour, monthWeekDay(3, 4, 4, 50 * kHour),
      monthWeekDay(10, 4, 4, 50 * kHour) },
    { "LargestTimes", "AAA0BBB,M3.1.0/167,M10.1.0/-167:59:59", 0, kHour, monthWeekDay(3, 1, 0, 167 * kHour),
      monthWeekDay(10, 1, 0, -(167 * kHour + 59 * kMinute + 59)) },
    { "TimeWithMinutesAndSeconds", "<+1245>-12:45<+1345>,M9.5.0/2:45,M4.1.0/3:45:30", 12 * kHour + 45 * kMinute,
      13 * kHour + 45 * kMinute, monthWeekDay(9, 5, 0, 2 * kHour + 45 * kMinute),
      monthWeekDay(4, 1, 0, 3 * kHour + 45 * kMinute + 30) },
    { "JulianDays", "AAA0BBB,J60,J365/25", 0, kHour, { DateKind::JulianNoLeap, 60, 0, 0, 2 * kHour },
      { DateKind::JulianNoLeap, 365, 0, 0, 25 * kHour } },
    { "ZeroBasedDays", "EST5EDT,0/0,365/25", -5 * kHour, -4 * kHour, { DateKind::ZeroBased, 0, 0, 0, 0 },
      { DateKind::ZeroBased, 365, 0, 0, 25 * kHour } },
    { "NoDatesTakeTheDefault", "EST5EDT", -5 * kHour, -4 * kHour, monthWeekDay(3, 2, 0), monthWeekDay(11, 1, 0) },
    { "NoDatesWithOffset", "EST5EDT4", -5 * kHour, -4 * kHour, monthWeekDay(3, 2, 0), monthWeekDay(11, 1, 0) },
    { "TwoDigitMonth", "AAA0BBB,M03.2.0,M11.1.0", 0, kHour, monthWeekDay(3, 2, 0), monthWeekDay(11, 1, 0) },
};

class RuleParses : public testing::TestWithParam<ParseCase> { };

void expectTransition(const TimeZoneRule::Transition& actual, const TransitionSpec& expected, const char* which)
{
    SCOPED_TRACE(which);
    EXPECT_EQ(actual.kind, expected.kind);
    EXPECT_EQ(actual.day, expected.day);
    EXPECT_EQ(actual.week, expected.week);
    EXPECT_EQ(actual.month, expected.month);
    EXPECT_EQ(actual.time, expected.time);
}

TEST_P(RuleParses, IntoOffsetsAndDates)
{
    const ParseCase& c = GetParam();
    const auto rule = TimeZoneRule::parse(c.text);
    ASSERT_TRUE(rule.has_value());
    EXPECT_EQ(rule->standardOffset(), c.standardOffset);
    EXPECT_EQ(rule->hasDaylightSaving(), c.daylightOffset.has_value());
    if (!c.daylightOffset)
        return;
    EXPECT_EQ(rule->daylightOffset(), *c.daylightOffset);
    expectTransition(rule->start(), c.start, "start");
    expectTransition(rule->end(), c.end, "end");
}

INSTANTIATE_TEST_SUITE_P(TimeZoneRule, RuleParses, testing::ValuesIn(kParseCases),
                         [](const testing::TestParamInfo<ParseCase>& info) { return info.param.name; });

// --- What is not a rule --------------------------------------------------

TEST(TimeZoneRule, BrokenRulesAreNoRule)
{
    const char* const broken[] = {
        "",
        " ",
        ":Europe/Paris",
        "Europe/Paris",
        "EST",                         // no offset
        "ES5",                         // a name of two letters
        "<+5>-5",                      // a quoted name of two characters
        "<+05-5",                      // no closing bracket
        "<+0_5>-5",                    // a character a quoted name cannot hold
        "E5T5",                        // a digit in a plain name
        "EST-",                        // a sign without hours
        "EST25",                       // an offset beyond 24 hours
        "EST123",                      // three digits of offset hours
        "EST5:",                       // a colon without minutes
        "EST5:60",                     // minutes out of range
        "EST5:30:60",                  // seconds out of range
        "EST5:300",                    // three digits of minutes
        "EST5 ",                       // text left over
        " EST5",                       // text before the name
        "EST5EDT,",                    // a comma without dates
        "EST5EDT,M3.2.0",              // a start without an end
        "EST5EDT,M3.2.0,",             // an empty end
        "EST5EDT,M3.2.0,M11.1.0,",     // a third date
        "EST5EDT,M3.2.0,M11.1.0x",     // text left over
        "EST5EDT,M3.2.0;M11.1.0",      // a wrong separator
        "EST5EDT,M0.2.0,M11.1.0",      // month 0
        "EST5EDT,M13.2.0,M11.1.0",     // month 13
        "EST5EDT,M3.0.0,M11.1.0",      // week 0
        "EST5EDT,M3.6.0,M11.1.0",      // week 6
        "EST5EDT,M3.2.7,M11.1.0",      // weekday 7
        "EST5EDT,M3.2,M11.1.0",        // a month date without its weekday
        "EST5EDT,M3..0,M11.1.0",       // a month date without its week
        "EST5EDT,J0,J365",             // J counts from 1
        "EST5EDT,J366,J1",             // J ends at 365
        "EST5EDT,366,1",               // n ends at 365
        "EST5EDT,-1,1",                // n has no sign
        "EST5EDT,M3.2.0/168,M11.1.0",  // a time beyond 167 hours
        "EST5EDT,M3.2.0/-168,M11.1.0", // and before -167
        "EST5EDT,M3.2.0/1000,M11.1.0", // four digits of hours
        "EST5EDT,M3.2.0/,M11.1.0",     // a slash without a time
        "EST5EDT,M3.2.0/2:3:4:5,M11.1.0",
        "EST5EDT25,M3.2.0,M11.1.0", // a daylight offset beyond 24 hours
        "EST5ED,M3.2.0,M11.1.0",    // a daylight name of two letters
        "EST5,M3.2.0,M11.1.0",      // dates without a daylight name
        "EST5EDT4x",                // text after the daylight offset
    };
    for (const char* text : broken)
        EXPECT_FALSE(TimeZoneRule::parse(text).has_value()) << '"' << text << '"';
}

// --- Which offset is in force --------------------------------------------

struct InstantCase {
    const char* name;
    const char* rule;
    int64_t utcSeconds;
    int32_t offset;
};

void PrintTo(const InstantCase& c, std::ostream* out)
{
    *out << c.name;
}

int64_t utc(int64_t year, int month, int64_t day, int64_t hour, int64_t minute, int64_t second)
{
    return SecondsSinceEpoch(year, month, day, hour, minute, second);
}

constexpr const char* kSydney = "AEST-10AEDT,M10.1.0,M4.1.0/3";
constexpr const char* kNewYork = "EST5EDT,M3.2.0,M11.1.0";
constexpr const char* kLondon = "GMT0BST,M3.5.0/1,M10.5.0";
constexpr const char* kDublin = "IST-1GMT0,M10.5.0,M3.5.0/1";
constexpr const char* kNuuk = "<-02>2<-01>,M3.5.0/-1,M10.5.0/0";
constexpr const char* kGaza = "EET-2EEST,M3.4.4/50,M10.4.4/50";
constexpr const char* kChatham = "<+1245>-12:45<+1345>,M9.5.0/2:45,M4.1.0/3:45";
constexpr const char* kPermanentDaylight = "EST5EDT,0/0,J365/25";

// Each switch is given by the last second of the old offset and the first
// of the new; the instants in UTC are worked out by hand from the rule.
const InstantCase kInstantCases[] = {
    // Southern hemisphere: daylight saving from the first Sunday of October
    // (6 Oct 2024, 02:00 AEST = 5 Oct 16:00 UTC) to the first Sunday of April
    // (7 Apr 2024, 03:00 AEDT = 6 Apr 16:00 UTC), across the new year.
    { "SydneyBeforeStart", kSydney, utc(2024, 10, 5, 15, 59, 59), 10 * kHour },
    { "SydneyAtStart", kSydney, utc(2024, 10, 5, 16, 0, 0), 11 * kHour },
    { "SydneyDecember", kSydney, utc(2024, 12, 15, 12, 30, 0), 11 * kHour },
    { "SydneyNewYear", kSydney, utc(2025, 1, 1, 0, 0, 0), 11 * kHour },
    { "SydneyBeforeEnd", kSydney, utc(2024, 4, 6, 15, 59, 59), 11 * kHour },
    { "SydneyAtEnd", kSydney, utc(2024, 4, 6, 16, 0, 0), 10 * kHour },
    { "SydneyJuly", kSydney, utc(2024, 7, 1, 0, 0, 0), 10 * kHour },
    // Northern hemisphere: 10 Mar 2024 02:00 EST = 07:00 UTC; 3 Nov 2024
    // 02:00 EDT = 06:00 UTC.
    { "NewYorkBeforeStart", kNewYork, utc(2024, 3, 10, 6, 59, 59), -5 * kHour },
    { "NewYorkAtStart", kNewYork, utc(2024, 3, 10, 7, 0, 0), -4 * kHour },
    { "NewYorkBeforeEnd", kNewYork, utc(2024, 11, 3, 5, 59, 59), -4 * kHour },
    { "NewYorkAtEnd", kNewYork, utc(2024, 11, 3, 6, 0, 0), -5 * kHour },
    { "NewYorkNewYear", kNewYork, utc(2025, 1, 1, 0, 0, 0), -5 * kHour },
    // The fifth week is the last: 31 Mar and 27 Oct 2024, at 01:00 UTC.
    { "LondonBeforeStart", kLondon, utc(2024, 3, 31, 0, 59, 59), 0 },
    { "LondonAtStart", kLondon, utc(2024, 3, 31, 1, 0, 0), kHour },
    { "LondonBeforeEnd", kLondon, utc(2024, 10, 27, 0, 59, 59), kHour },
    { "LondonAtEnd", kLondon, utc(2024, 10, 27, 1, 0, 0), 0 },
    // A month whose last Sunday falls in its fourth week: 25 Feb 2024 (the
    // fifth Sunday of February would be 3 March).
    { "LastSundayOfShortMonthBefore", "AAA0BBB,M2.5.0/0,M11.1.0", utc(2024, 2, 24, 23, 59, 59), 0 },
    { "LastSundayOfShortMonthAt", "AAA0BBB,M2.5.0/0,M11.1.0", utc(2024, 2, 25, 0, 0, 0), kHour },
    // Negative saving: Irish winter time is the daylight part of the rule.
    { "DublinJanuary", kDublin, utc(2024, 1, 15, 12, 0, 0), 0 },
    { "DublinJuly", kDublin, utc(2024, 7, 15, 12, 0, 0), kHour },
    { "DublinBeforeWinter", kDublin, utc(2024, 10, 27, 0, 59, 59), kHour },
    { "DublinAtWinter", kDublin, utc(2024, 10, 27, 1, 0, 0), 0 },
    // Negative transition times: 30 Mar 2024 23:00 at -02 = 31 Mar 01:00
    // UTC; 27 Oct 2024 00:00 at -01 = 01:00 UTC.
    { "NuukBeforeStart", kNuuk, utc(2024, 3, 31, 0, 59, 59), -2 * kHour },
    { "NuukAtStart", kNuuk, utc(2024, 3, 31, 1, 0, 0), -kHour },
    { "NuukBeforeEnd", kNuuk, utc(2024, 10, 27, 0, 59, 59), -kHour },
    { "NuukAtEnd", kNuuk, utc(2024, 10, 27, 1, 0, 0), -2 * kHour },
    // 50 hours after the fourth Thursday: Thursday 28 Mar 2024 + 50 h is
    // Saturday 30 Mar 02:00 EET = 00:00 UTC; Thursday 24 Oct + 50 h is
    // Saturday 26 Oct 02:00 EEST = 25 Oct 23:00 UTC.
    { "GazaBeforeStart", kGaza, utc(2024, 3, 29, 23, 59, 59), 2 * kHour },
    { "GazaAtStart", kGaza, utc(2024, 3, 30, 0, 0, 0), 3 * kHour },
    { "GazaBeforeEnd", kGaza, utc(2024, 10, 25, 22, 59, 59), 3 * kHour },
    { "GazaAtEnd", kGaza, utc(2024, 10, 25, 23, 0, 0), 2 * kHour },
    // Quarter-hour offsets and times: 29 Sep 2024 02:45 at +12:45 = 28 Sep
    // 14:00 UTC; 7 Apr 2024 03:45 at +13:45 = 6 Apr 14:00 UTC.
    { "ChathamBeforeStart", kChatham, utc(2024, 9, 28, 13, 59, 59), 12 * kHour + 45 * kMinute },
    { "ChathamAtStart", kChatham, utc(2024, 9, 28, 14, 0, 0), 13 * kHour + 45 * kMinute },
    { "ChathamBeforeEnd", kChatham, utc(2024, 4, 6, 13, 59, 59), 13 * kHour + 45 * kMinute },
    { "ChathamAtEnd", kChatham, utc(2024, 4, 6, 14, 0, 0), 12 * kHour + 45 * kMinute },
    // Switching at 24:00 and later: Sunday 31 Mar 2024 24:00 is Monday 1 Apr
    // 00:00.
    { "MidnightAfterSundayBefore", "AAA0BBB,M3.5.0/24,M10.5.0", utc(2024, 3, 31, 23, 59, 59), 0 },
    { "MidnightAfterSundayAt", "AAA0BBB,M3.5.0/24,M10.5.0", utc(2024, 4, 1, 0, 0, 0), kHour },
    // Daylight saving all year (RFC 8536's example): the end at 25:00 on
    // the last day meets the next year's start, at the turn of the year too.
    { "PermanentDaylightNewYearsEve", kPermanentDaylight, utc(2024, 12, 31, 23, 0, 0), -4 * kHour },
    { "PermanentDaylightTurnOfYear", kPermanentDaylight, utc(2025, 1, 1, 4, 0, 0), -4 * kHour },
    { "PermanentDaylightJuly", kPermanentDaylight, utc(2025, 7, 1, 0, 0, 0), -4 * kHour },
    // Jn never counts February 29: J60 is 1 March in a leap year as in any
    // other. n counts it: day 59 is 29 February in 2024 and 1 March in 2023.
    { "JulianLeapYearBefore", "AAA0BBB,J60,J300", utc(2024, 3, 1, 1, 59, 59), 0 },
    { "JulianLeapYearAt", "AAA0BBB,J60,J300", utc(2024, 3, 1, 2, 0, 0), kHour },
    { "JulianCommonYearAt", "AAA0BBB,J60,J300", utc(2023, 3, 1, 2, 0, 0), kHour },
    { "ZeroBasedLeapYearAt", "AAA0BBB,59,300", utc(2024, 2, 29, 2, 0, 0), kHour },
    { "ZeroBasedCommonYearBefore", "AAA0BBB,59,300", utc(2023, 3, 1, 1, 59, 59), 0 },
    { "ZeroBasedCommonYearAt", "AAA0BBB,59,300", utc(2023, 3, 1, 2, 0, 0), kHour },
    // The end, day 300 at 02:00 daylight time (01:00 UTC): 28 Oct in 2023,
    // 27 Oct in the leap year 2024.
    { "ZeroBasedEndBefore", "AAA0BBB,59,300", utc(2024, 10, 27, 0, 59, 59), kHour },
    { "ZeroBasedEndAt", "AAA0BBB,59,300", utc(2024, 10, 27, 1, 0, 0), 0 },
    // Without dates, the tz database's default: the United States' rules.
    { "DefaultDatesJanuary", "EST5EDT", utc(2024, 1, 15, 0, 0, 0), -5 * kHour },
    { "DefaultDatesJuly", "EST5EDT", utc(2024, 7, 15, 0, 0, 0), -4 * kHour },
    // A zone without daylight saving keeps its offset all year.
    { "NoSavingJanuary", "JST-9", utc(2024, 1, 15, 0, 0, 0), 9 * kHour },
    { "NoSavingJuly", "<-03>3", utc(2024, 7, 15, 0, 0, 0), -3 * kHour },
    // Far from today the rule still holds.
    { "Year1901", kSydney, utc(1901, 12, 15, 0, 0, 0), 11 * kHour },
    { "Year2400", kNewYork, utc(2400, 7, 4, 0, 0, 0), -4 * kHour },
};

class RuleOffsets : public testing::TestWithParam<InstantCase> { };

TEST_P(RuleOffsets, AtTheInstant)
{
    const InstantCase& c = GetParam();
    const auto rule = TimeZoneRule::parse(c.rule);
    ASSERT_TRUE(rule.has_value()) << c.rule;
    EXPECT_EQ(rule->offsetAt(c.utcSeconds), c.offset);
    EXPECT_EQ(rule->isDaylightSavingAt(c.utcSeconds),
              rule->hasDaylightSaving() && c.offset == rule->daylightOffset() && c.offset != rule->standardOffset());
}

INSTANTIATE_TEST_SUITE_P(TimeZoneRule, RuleOffsets, testing::ValuesIn(kInstantCases),
                         [](const testing::TestParamInfo<InstantCase>& info) { return info.param.name; });

} // namespace
