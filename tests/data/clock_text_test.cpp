#include "data/clock_text.h"

#include "data/app_path.h"
#include "data/city_catalogue.h"
#include "data/saved_settings.h"
#include "platform/runtime/runtime_error.h"
#include "platform/runtime/system_time.h"
#include "platform/testing/hooks.h"

#include "support/fixture.h"
#include "support/message_box_recorder.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <limits>
#include <ostream>
#include <regex>
#include <string>

namespace {

using zandreth::CityTable;
using zandreth::CityTimeText;
using zandreth::kFalse;
using zandreth::kTrue;
using zandreth::Settings;

platform::SYSTEMTIME utc(uint16_t year, uint16_t month, uint16_t day, uint16_t hour, uint16_t minute,
                         uint16_t second)
{
    platform::SYSTEMTIME time;
    time.wYear = year;
    time.wMonth = month;
    time.wDay = day;
    time.wHour = hour;
    time.wMinute = minute;
    time.wSecond = second;
    time.wMilliseconds = 500;
    return time;
}

bool sameTime(const platform::SYSTEMTIME& a, const platform::SYSTEMTIME& b)
{
    return a.wYear == b.wYear && a.wMonth == b.wMonth && a.wDay == b.wDay && a.wHour == b.wHour
        && a.wMinute == b.wMinute && a.wSecond == b.wSecond;
}

// Fixes the clock for one test and lets it run again afterwards.
class FixedClock {
public:
    explicit FixedClock(const platform::SYSTEMTIME& time) { platform::setFixedSystemTimeForTesting(time); }
    ~FixedClock() { platform::clearFixedSystemTimeForTesting(); }
    FixedClock(const FixedClock&) = delete;
    FixedClock& operator=(const FixedClock&) = delete;
};

constexpr int16_t kCity = 1;

// A catalogue of records 0 to 120; record 1 carries the offset under test
// and four names that tell the name fields apart.
class ClockTextTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CityTable.recreate(120);
        zandreth::CityInfo& city = CityTable(kCity);
        city.Code = kCity;
        city.CountryJa = "国名";
        city.CityJa = "都市名";
        city.CountryEn = "Country";
        city.CityEn = "City";
        Settings.LangSelect = { zandreth::kFalse, zandreth::kFalse };
        Settings.PrintName = { zandreth::kFalse, zandreth::kFalse };
    }
    void TearDown() override { platform::clearFixedSystemTimeForTesting(); }

    void setOffset(int32_t seconds) { CityTable(kCity).TimeDiff = seconds; }
};

struct ClockCase {
    const char* name;
    platform::SYSTEMTIME now;
    int32_t timeDiff;
    const char* shortText;
    const char* longText; // after the name
};

void PrintTo(const ClockCase& testCase, std::ostream* out)
{
    *out << testCase.name;
}

class ClockTextCases : public ClockTextTest, public ::testing::WithParamInterface<ClockCase> {};

TEST_P(ClockTextCases, ShortAndLongForm)
{
    const ClockCase& testCase = GetParam();
    FixedClock clock(testCase.now);
    setOffset(testCase.timeDiff);

    EXPECT_EQ(CityTimeText(kCity, kTrue), testCase.shortText);
    EXPECT_EQ(CityTimeText(kCity, kFalse), std::string("City") + testCase.longText);
}

constexpr int32_t kHour = 3600;
constexpr int32_t kDay = 86400;

// The date is always the UTC date: the offset moves only the time of day.
const ClockCase kClockCases[] = {
    { "EastPastMidnight", utc(2002, 5, 7, 23, 30, 15), 9 * kHour, " 08:30", "  Tue, May 7 2002  08:30:15" },
    { "WestBeforeMidnight", utc(2002, 5, 7, 2, 10, 5), -5 * kHour, " 21:10", "  Tue, May 7 2002  21:10:05" },
    { "MidnightNoOffset", utc(2002, 5, 7, 0, 0, 0), 0, " 00:00", "  Tue, May 7 2002  00:00:00" },
    { "HalfHourOffset", utc(2002, 5, 7, 20, 45, 0), 5 * kHour + 30 * 60, " 02:15", "  Tue, May 7 2002  02:15:00" },
    { "PlusOneDayLastSecond", utc(2002, 5, 7, 23, 59, 59), kDay, " 23:59", "  Tue, May 7 2002  23:59:59" },
    { "PlusOneDayMidnight", utc(2002, 5, 7, 0, 0, 0), kDay, " 00:00", "  Tue, May 7 2002  00:00:00" },
    { "MinusOneDayMidnight", utc(2002, 5, 7, 0, 0, 0), -kDay, " 00:00", "  Tue, May 7 2002  00:00:00" },
    { "MinusOneDayLastSecond", utc(2002, 5, 7, 23, 59, 59), -kDay, " 23:59", "  Tue, May 7 2002  23:59:59" },
    { "YearEndStaysOnUtcDate", utc(1999, 12, 31, 23, 59, 59), kHour, " 00:59", "  Fri, Dec 31 1999  00:59:59" },
    { "LeapDay", utc(2000, 2, 29, 12, 0, 0), 0, " 12:00", "  Tue, Feb 29 2000  12:00:00" },
    // Offsets of more than a day, which only a hand-edited file holds, still
    // give a time of day.
    { "BeyondOneDayEast", utc(2002, 5, 7, 0, 0, 0), 200000, " 07:33", "  Tue, May 7 2002  07:33:20" },
    { "BeyondOneDayWest", utc(2002, 5, 7, 0, 0, 0), -200000, " 16:26", "  Tue, May 7 2002  16:26:40" },
    { "OneSecondBeyondADayEast", utc(2002, 5, 7, 23, 59, 59), kDay + 1, " 00:00", "  Tue, May 7 2002  00:00:00" },
    { "OneSecondBeyondADayWest", utc(2002, 5, 7, 0, 0, 0), -kDay - 1, " 23:59", "  Tue, May 7 2002  23:59:59" },
    { "LargestOffset", utc(2002, 5, 7, 23, 59, 59), std::numeric_limits<int32_t>::max(), " 03:14",
      "  Tue, May 7 2002  03:14:06" },
    { "SmallestOffset", utc(2002, 5, 7, 0, 0, 0), std::numeric_limits<int32_t>::min(), " 20:45",
      "  Tue, May 7 2002  20:45:52" },
};

INSTANTIATE_TEST_SUITE_P(ClockText, ClockTextCases, ::testing::ValuesIn(kClockCases),
                         [](const ::testing::TestParamInfo<ClockCase>& info) { return info.param.name; });

TEST_F(ClockTextTest, EachCallReadsTheClockIntoUtcNow)
{
    const auto first = utc(2002, 5, 7, 23, 30, 15);
    const auto second = utc(2002, 5, 7, 23, 30, 16);
    platform::setFixedSystemTimeForTesting(first);
    CityTimeText(kCity, kTrue);
    EXPECT_TRUE(sameTime(zandreth::UtcNow, first));
    platform::setFixedSystemTimeForTesting(second);
    EXPECT_EQ(CityTimeText(kCity, kFalse), "City  Tue, May 7 2002  23:30:16");
    EXPECT_TRUE(sameTime(zandreth::UtcNow, second));
}

TEST_F(ClockTextTest, RunningClockGivesTodaysText)
{
    platform::clearFixedSystemTimeForTesting();
    EXPECT_TRUE(std::regex_match(CityTimeText(0, kTrue), std::regex(" ([01][0-9]|2[0-3]):[0-5][0-9]")));
    EXPECT_TRUE(std::regex_match(CityTimeText(0, kFalse),
                                 std::regex("  (Sun|Mon|Tue|Wed|Thu|Fri|Sat), [A-Z][a-z]{2} [1-9][0-9]? [0-9]{4}  "
                                            "[0-2][0-9]:[0-5][0-9]:[0-5][0-9]")));
    EXPECT_GE(zandreth::UtcNow.wYear, 2024);
}

TEST_F(ClockTextTest, OtherStylesGiveTheEmptyText)
{
    FixedClock clock(utc(2002, 5, 7, 23, 30, 15));
    for (int16_t style : { int16_t { 1 }, int16_t { 2 }, int16_t { -2 }, int16_t { 32767 }, int16_t { -32768 } })
        EXPECT_EQ(CityTimeText(kCity, style), "") << "style " << style;
}

struct NameCase {
    int16_t language0;
    int16_t kind0;
    int16_t language1;
    int16_t kind1;
    const char* name;
};

TEST_F(ClockTextTest, LongFormNamesTheCityByTheFirstOptionOfEachPair)
{
    FixedClock clock(utc(2002, 5, 7, 23, 30, 15));
    setOffset(9 * kHour);
    // Only exactly -1 counts as true; the second option of each pair is
    // the dialog's alone and never changes the name.
    const NameCase cases[] = {
        { -1, -1, 0, 0, "国名" },
        { -1, 0, 0, 0, "都市名" },
        { 0, -1, 0, 0, "Country" },
        { 0, 0, 0, 0, "City" },
        { 1, -1, 0, 0, "Country" },
        { 1, 0, 0, 0, "City" },
        { -1, 1, 0, 0, "都市名" },
        { 0, 0, -1, -1, "City" },
        { 2, -2, -1, -1, "City" },
    };
    for (const auto& testCase : cases) {
        Settings.LangSelect = { testCase.language0, testCase.language1 };
        Settings.PrintName = { testCase.kind0, testCase.kind1 };
        EXPECT_EQ(CityTimeText(kCity, kFalse), std::string(testCase.name) + "  Tue, May 7 2002  08:30:15")
            << "Lang_Select " << testCase.language0 << ", " << testCase.language1 << "; Print_Name "
            << testCase.kind0 << ", " << testCase.kind1;
        EXPECT_EQ(CityTimeText(kCity, kTrue), " 08:30") << "the short form has no name";
    }
}

struct UnknownRecordCase {
    int16_t city;
    const char* source;
    const char* detail;
};

TEST_F(ClockTextTest, UnknownRecordRaisesTheSubscriptErrorAfterReadingTheClock)
{
    const auto now = utc(2002, 5, 7, 23, 30, 15);
    FixedClock clock(now);
    const UnknownRecordCase cases[] = {
        { 250, "TimeZone", "TimeZone = 250: the catalogue has records 0 to 120" },
        { 121, "City_SelectNo3", "City_SelectNo3 = 121: the catalogue has records 0 to 120" },
        { -1, "TimeZone", "TimeZone = -1: the catalogue has records 0 to 120" },
        { 32767, "", "record 32767 does not exist: the catalogue has records 0 to 120" },
    };
    for (const auto& testCase : cases) {
        // The record is looked up whatever the style, the empty one too.
        for (int16_t style : { kTrue, kFalse, int16_t { 1 } }) {
            SCOPED_TRACE(std::to_string(testCase.city) + ", style " + std::to_string(style));
            zandreth::UtcNow = {};
            try {
                CityTimeText(testCase.city, style, testCase.source);
                ADD_FAILURE() << "no run-time error";
            } catch (const platform::RuntimeError& error) {
                EXPECT_EQ(error.kind(), platform::RuntimeErrorKind::SubscriptOutOfRange);
                EXPECT_EQ(error.detail(), testCase.detail);
            }
            EXPECT_TRUE(sameTime(zandreth::UtcNow, now));
        }
    }
}

using testing_support::fixture;

struct SavedFileCase {
    const char* fixture;
    int16_t city;
    const char* longText;
};

class ClockTextFromSettingsFile : public ::testing::Test {
protected:
    void SetUp() override { zandreth::AppPath = directory.path().string(); }
    void TearDown() override { zandreth::AppPath.clear(); }

    testing_support::TempDir directory;
    testing_support::MessageBoxRecorder messages;
};

TEST_F(ClockTextFromSettingsFile, NamesFollowTheSavedOptions)
{
    // The whole way from the file: catalogue and settings read from one
    // zandreth.ini, the texts of the home city and of a row's city.
    const SavedFileCase cases[] = {
        // Lang_Select0=-1, Print_Name0=0: Japanese city names.
        { "catalogue.saved.ini", 3, "デリー  Tue, May 7 2002  05:00:15" },
        { "catalogue.saved.ini", 1, "東京  Tue, May 7 2002  08:30:15" },
        { "catalogue_cp932.saved.ini", 2, "ニューヨーク  Tue, May 7 2002  18:30:15" },
        // Lang_Select0=0, Print_Name0=-1: English country names.
        { "catalogue_cp932.ini", 1, "Japan  Tue, May 7 2002  08:30:15" },
        // No settings at all: English city names.
        { "catalogue.ini", 2, "New York  Tue, May 7 2002  18:30:15" },
    };
    FixedClock clock(utc(2002, 5, 7, 23, 30, 15));
    for (const auto& testCase : cases) {
        SCOPED_TRACE(testCase.fixture);
        directory.write(zandreth::kSettingsFileName, fixture(testCase.fixture));
        ASSERT_EQ(zandreth::LoadCityTable(), -1);
        ASSERT_TRUE(zandreth::LoadSaveSettings(kFalse));
        EXPECT_EQ(CityTimeText(testCase.city, kFalse), testCase.longText);
    }
    EXPECT_TRUE(messages.shown.empty());
}

// Daylight saving: with the choice on (SummerTime 1), a record with a rule
// shows the time its rule gives; with it off, or for a record without a
// rule, the fixed offset. Sydney's fixed offset is its standard time, UTC+10.
struct SummerTimeCase {
    const char* name;
    platform::SYSTEMTIME now;
    int16_t summerTime;
    bool withRule;
    const char* shortText;
    const char* longText; // after the name
};

void PrintTo(const SummerTimeCase& testCase, std::ostream* out)
{
    *out << testCase.name;
}

class ClockTextSummerTime : public ClockTextTest, public ::testing::WithParamInterface<SummerTimeCase> {
protected:
    void TearDown() override
    {
        zandreth::SummerTime = 0;
        ClockTextTest::TearDown();
    }
};

TEST_P(ClockTextSummerTime, FollowsTheRuleOnlyWhenChosen)
{
    const SummerTimeCase& testCase = GetParam();
    FixedClock clock(testCase.now);
    setOffset(10 * kHour);
    if (testCase.withRule)
        CityTable(kCity).ZoneRule = zandreth::TimeZoneRule::parse("AEST-10AEDT,M10.1.0,M4.1.0/3");
    zandreth::SummerTime = testCase.summerTime;

    EXPECT_EQ(CityTimeText(kCity, kTrue), testCase.shortText);
    EXPECT_EQ(CityTimeText(kCity, kFalse), std::string("City") + testCase.longText);
}

// Sydney's daylight saving of 2024/25 begins on 5 Oct 2024 at 16:00 UTC and
// ends on 5 Apr 2025 at 16:00 UTC. The date stays the UTC date.
const SummerTimeCase kSummerTimeCases[] = {
    { "DecemberOn", utc(2024, 12, 15, 12, 30, 0), 1, true, " 23:30", "  Sun, Dec 15 2024  23:30:00" },
    { "DecemberOff", utc(2024, 12, 15, 12, 30, 0), 0, true, " 22:30", "  Sun, Dec 15 2024  22:30:00" },
    { "DecemberOnWithoutRule", utc(2024, 12, 15, 12, 30, 0), 1, false, " 22:30", "  Sun, Dec 15 2024  22:30:00" },
    // Only exactly 1 is on.
    { "DecemberTrueOfTheOtherOptions", utc(2024, 12, 15, 12, 30, 0), -1, true, " 22:30",
      "  Sun, Dec 15 2024  22:30:00" },
    { "DecemberTwo", utc(2024, 12, 15, 12, 30, 0), 2, true, " 22:30", "  Sun, Dec 15 2024  22:30:00" },
    { "JulyOn", utc(2024, 7, 1, 2, 0, 0), 1, true, " 12:00", "  Mon, Jul 1 2024  12:00:00" },
    { "BeforeStartOn", utc(2024, 10, 5, 15, 59, 59), 1, true, " 01:59", "  Sat, Oct 5 2024  01:59:59" },
    { "AtStartOn", utc(2024, 10, 5, 16, 0, 0), 1, true, " 03:00", "  Sat, Oct 5 2024  03:00:00" },
    { "BeforeStartOff", utc(2024, 10, 5, 15, 59, 59), 0, true, " 01:59", "  Sat, Oct 5 2024  01:59:59" },
    { "AtStartOff", utc(2024, 10, 5, 16, 0, 0), 0, true, " 02:00", "  Sat, Oct 5 2024  02:00:00" },
    { "BeforeEndOn", utc(2025, 4, 5, 15, 59, 59), 1, true, " 02:59", "  Sat, Apr 5 2025  02:59:59" },
    { "AtEndOn", utc(2025, 4, 5, 16, 0, 0), 1, true, " 02:00", "  Sat, Apr 5 2025  02:00:00" },
    { "BeforeEndOff", utc(2025, 4, 5, 15, 59, 59), 0, true, " 01:59", "  Sat, Apr 5 2025  01:59:59" },
    { "AtEndOff", utc(2025, 4, 5, 16, 0, 0), 0, true, " 02:00", "  Sat, Apr 5 2025  02:00:00" },
};

INSTANTIATE_TEST_SUITE_P(ClockText, ClockTextSummerTime, ::testing::ValuesIn(kSummerTimeCases),
                         [](const ::testing::TestParamInfo<SummerTimeCase>& info) { return info.param.name; });

TEST_F(ClockTextFromSettingsFile, SummerTimeFollowsTheCataloguesRules)
{
    // The rules come from the keys beside the records; SUMMER_TIME from the
    // saved choices. New York has a rule, Tokyo one without daylight
    // saving, Delhi a broken one and UTC none: those two keep their fixed
    // offsets. 1 Jul 2024 12:00:00 UTC.
    const std::string catalogue = "[MAP_INFO]\nNUMBER_OF_CITY=3\n"
                                  "CODE_0=UTC,UTC,UTC,UTC,0,0,0\n"
                                  "CODE_1=日本,東京,Japan,Tokyo,32400,139.7,-35.7\n"
                                  "CODE_TZ_1=JST-9\n"
                                  "CODE_2=アメリカ合衆国,ニューヨーク,United States,New York,-18000,-74,-40.7\n"
                                  "CODE_TZ_2=EST5EDT,M3.2.0,M11.1.0\n"
                                  "CODE_3=インド,デリー,India,Delhi,19800,77.2,-28.6\n"
                                  "CODE_TZ_3=IST-5:30,broken\n";
    struct Case {
        const char* summerTime;
        const char* texts[4];
    };
    const Case cases[] = {
        { "", { " 12:00", " 21:00", " 07:00", " 17:30" } },
        { "SUMMER_TIME=0\n", { " 12:00", " 21:00", " 07:00", " 17:30" } },
        { "SUMMER_TIME=1\n", { " 12:00", " 21:00", " 08:00", " 17:30" } },
    };
    FixedClock clock(utc(2024, 7, 1, 12, 0, 0));
    for (const auto& testCase : cases) {
        SCOPED_TRACE(testCase.summerTime);
        directory.write(zandreth::kSettingsFileName, catalogue + "[PROC_INFO]\n" + testCase.summerTime);
        ASSERT_EQ(zandreth::LoadCityTable(), -1);
        ASSERT_TRUE(zandreth::LoadSaveSettings(kFalse));
        for (int16_t city = 0; city <= 3; ++city)
            EXPECT_EQ(CityTimeText(city, kTrue), testCase.texts[city]) << "record " << city;
    }
    zandreth::SummerTime = 0;
    EXPECT_TRUE(messages.shown.empty());
}

} // namespace
