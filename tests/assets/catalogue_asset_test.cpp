// The shipped catalogue, assets/zandreth.ini, read through the program's own
// loader: every record must load, name its city in both languages, and the
// first-run choice must point at records that exist.

#include "data/app_path.h"
#include "data/city_catalogue.h"
#include "platform/runtime/message_box.h"
#include "platform/profile/private_profile.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace {

const std::string kAssets = ZANDRETH_SOURCE_DIR "/assets";
const std::string kFile = kAssets + "/zandreth.ini";

class ShippedCatalogue : public ::testing::Test {
protected:
    void SetUp() override
    {
        previous_ = platform::setMessageBoxPresenter(
            [this](const platform::MessageBoxRequest& request) { messages.push_back(request.text); });
        zandreth::AppPath = kAssets;
        loaded = zandreth::LoadCityTable();
    }
    void TearDown() override { platform::setMessageBoxPresenter(std::move(previous_)); }

    // The record with this English city name, or null.
    const zandreth::CityInfo* city(const std::string& englishName) const
    {
        for (int i = 0; i <= zandreth::CityCount; ++i)
            if (zandreth::CityTable(i).CityEn == englishName) return &zandreth::CityTable(i);
        return nullptr;
    }

    int loaded = 0;
    std::vector<std::string> messages;

private:
    platform::MessageBoxPresenter previous_;
};

TEST_F(ShippedCatalogue, LoadsEveryRecordWithoutAMessage)
{
    EXPECT_EQ(loaded, -1);
    EXPECT_TRUE(messages.empty()) << messages.front();
    // One record for each zone of the tz database's zone.tab (over 400).
    EXPECT_GE(zandreth::CityCount, 300);
}

TEST_F(ShippedCatalogue, RecordZeroIsTheUtcEntry)
{
    ASSERT_GE(zandreth::CityCount, 0);
    const zandreth::CityInfo& utc = zandreth::CityTable(0);
    EXPECT_EQ(utc.CountryJa, "UTC");
    EXPECT_EQ(utc.CityJa, "UTC");
    EXPECT_EQ(utc.CountryEn, "UTC");
    EXPECT_EQ(utc.CityEn, "UTC");
    EXPECT_EQ(utc.TimeDiff, 0);
}

// The loader reads a record into a 256-byte buffer; a longer value would lose
// its last fields.
TEST_F(ShippedCatalogue, EveryRecordFitsTheLoadersBuffer)
{
    for (int i = 0; i <= zandreth::CityCount; ++i) {
        const std::string value =
            platform::GetPrivateProfileStringA("MAP_INFO", "CODE_" + std::to_string(i), "", 4096, kFile);
        EXPECT_LE(value.size(), 255u) << "CODE_" << i;
    }
}

struct KnownRecord {
    const char* cityEn;
    const char* countryEn;
    int timeDiff;
    double posX;
    double posY;
};

TEST_F(ShippedCatalogue, KnownCitiesHaveTheirOffsetAndPlace)
{
    const KnownRecord known[] = {
        {"Tokyo", "Japan", 32400, 139.7, -35.7},
        {"New York", "United States", -18000, -74.0, -40.7},
        {"São Paulo", "Brazil", -10800, -46.6, 23.5},
        {"London", "United Kingdom", 0, -0.1, -51.5},
        {"Kolkata", "India", 19800, 88.4, -22.5},
        {"Kathmandu", "Nepal", 20700, 85.3, -27.7},
        {"Chatham Islands", "New Zealand", 45900, -176.5, 44.0},
        {"Lord Howe Island", "Australia", 37800, 159.1, 31.6},
        {"Kiritimati", "Kiribati", 50400, -157.3, -1.9},
        // Dublin reads like London (the tz data's Irish Standard Time is the
        // summer offset); Morocco's +1 hour holds outside Ramadan.
        {"Dublin", "Ireland", 0, -6.3, -53.3},
        {"Casablanca", "Morocco", 3600, -7.6, -33.6},
    };
    for (const KnownRecord& record : known) {
        SCOPED_TRACE(record.cityEn);
        const zandreth::CityInfo* found = city(record.cityEn);
        ASSERT_NE(found, nullptr);
        EXPECT_EQ(found->CountryEn, record.countryEn);
        EXPECT_EQ(found->TimeDiff, record.timeDiff);
        EXPECT_NEAR(found->PosX, record.posX, 0.1);
        EXPECT_NEAR(found->PosY, record.posY, 0.1);
    }
    const zandreth::CityInfo* tokyo = city("Tokyo");
    ASSERT_NE(tokyo, nullptr);
    EXPECT_EQ(tokyo->CityJa, "東京");
    EXPECT_EQ(tokyo->CountryJa, "日本");
}

TEST_F(ShippedCatalogue, EveryRecordHasFourNamesAnOffsetAndAPlaceOnTheMap)
{
    for (int i = 0; i <= zandreth::CityCount; ++i) {
        const zandreth::CityInfo& record = zandreth::CityTable(i);
        SCOPED_TRACE("CODE_" + std::to_string(i) + " " + record.CityEn);
        EXPECT_EQ(record.Code, i);
        EXPECT_FALSE(record.CountryJa.empty());
        EXPECT_FALSE(record.CityJa.empty());
        EXPECT_FALSE(record.CountryEn.empty());
        EXPECT_FALSE(record.CityEn.empty());
        EXPECT_GE(record.TimeDiff, -86400);
        EXPECT_LE(record.TimeDiff, 86400);
        // Every offset in use is a whole number of quarter hours; seconds
        // mistaken for minutes or hours would not be.
        EXPECT_EQ(record.TimeDiff % 900, 0);
        EXPECT_GE(record.PosX, -180.0);
        EXPECT_LE(record.PosX, 180.0);
        EXPECT_GE(record.PosY, -90.0);
        EXPECT_LE(record.PosY, 90.0);
    }
}

TEST_F(ShippedCatalogue, NoTwoRecordsShareAnEnglishCityName)
{
    std::set<std::string> names;
    for (int i = 0; i <= zandreth::CityCount; ++i) {
        const std::string& name = zandreth::CityTable(i).CityEn;
        EXPECT_TRUE(names.insert(name).second) << name << " (CODE_" << i << ")";
    }
}

TEST_F(ShippedCatalogue, RecordsRunFromWestToEastByOffset)
{
    for (int i = 2; i <= zandreth::CityCount; ++i)
        EXPECT_LE(zandreth::CityTable(i - 1).TimeDiff, zandreth::CityTable(i).TimeDiff) << "CODE_" << i;
}

TEST_F(ShippedCatalogue, FirstRunChoiceNamesExistingRecords)
{
    ASSERT_EQ(loaded, -1);
    const int home = platform::GetPrivateProfileIntA("SELECT_CITY", "TimeZone", -1, kFile);
    ASSERT_GE(home, 1);
    ASSERT_LE(home, zandreth::CityCount);
    EXPECT_EQ(zandreth::CityTable(home).CityEn, "Tokyo");

    std::set<int> rows;
    int blinking = 0;
    for (int i = 0; i < 10; ++i) {
        SCOPED_TRACE("row " + std::to_string(i));
        const int selected =
            platform::GetPrivateProfileIntA("SELECT_CITY", "City_SelectNo" + std::to_string(i), -2, kFile);
        const int mark = platform::GetPrivateProfileIntA("SELECT_CITY", "City_MarkNo" + std::to_string(i), -2, kFile);
        EXPECT_GE(selected, 1);
        EXPECT_LE(selected, zandreth::CityCount);
        EXPECT_TRUE(rows.insert(selected).second) << "a city chosen twice";
        EXPECT_TRUE(mark == 0 || mark == 1) << mark;
        blinking += mark == 1 ? 1 : 0;
    }
    EXPECT_EQ(blinking, 2);
    EXPECT_EQ(rows.count(home), 1u) << "the home city is one of the rows";

    struct Option {
        const char* key;
        int value;
    };
    const Option options[] = {{"RND_INTERVAL", 60}, {"MARK_INTERVAL", 1}, {"Lang_Select0", -1},
                              {"Print_Name0", 0},    {"Lang_Select1", 0},  {"Print_Name1", -1}};
    for (const Option& option : options)
        EXPECT_EQ(platform::GetPrivateProfileIntA("PROC_INFO", option.key, -99, kFile), option.value) << option.key;
}

// Every record has the TZ rule of its zone beside it, from the same tz
// release as its offset: the rule's standard time is the record's offset
// (Dublin's winter time is the daylight part of its rule, see the
// catalogue's notes), and the choices of daylight-saving time stay off on a
// first run.
TEST_F(ShippedCatalogue, EveryRecordHasTheRuleOfItsZone)
{
    int withDaylightSaving = 0;
    for (int i = 0; i <= zandreth::CityCount; ++i) {
        const zandreth::CityInfo& record = zandreth::CityTable(i);
        SCOPED_TRACE("CODE_TZ_" + std::to_string(i) + " " + record.CityEn);
        ASSERT_TRUE(record.ZoneRule.has_value());
        const int32_t standard = record.CityEn == "Dublin" ? record.ZoneRule->daylightOffset()
                                                           : record.ZoneRule->standardOffset();
        EXPECT_EQ(standard, record.TimeDiff);
        withDaylightSaving += record.ZoneRule->hasDaylightSaving() ? 1 : 0;
    }
    // Most of Europe and North America, parts of South America and
    // Oceania: over a hundred zones, far from all.
    EXPECT_GT(withDaylightSaving, 100);
    EXPECT_LT(withDaylightSaving, zandreth::CityCount / 2);

    struct KnownRule {
        const char* cityEn;
        int32_t january;
        int32_t july;
    };
    // 15 January and 15 July 2026, 12:00 UTC.
    const int64_t january = zandreth::SecondsSinceEpoch(2026, 1, 15, 12, 0, 0);
    const int64_t july = zandreth::SecondsSinceEpoch(2026, 7, 15, 12, 0, 0);
    const KnownRule known[] = {
        {"Sydney", 39600, 36000},     {"New York", -18000, -14400}, {"London", 0, 3600},
        {"Dublin", 0, 3600},          {"Tokyo", 32400, 32400},      {"Chatham Islands", 49500, 45900},
        {"Santiago", -10800, -14400}, {"Lord Howe Island", 39600, 37800},
    };
    for (const KnownRule& rule : known) {
        SCOPED_TRACE(rule.cityEn);
        const zandreth::CityInfo* found = city(rule.cityEn);
        ASSERT_NE(found, nullptr);
        ASSERT_TRUE(found->ZoneRule.has_value());
        EXPECT_EQ(found->ZoneRule->offsetAt(january), rule.january);
        EXPECT_EQ(found->ZoneRule->offsetAt(july), rule.july);
    }

    for (const char* key : {"DAY_NIGHT", "SUMMER_TIME"})
        EXPECT_EQ(platform::GetPrivateProfileIntA("PROC_INFO", key, -99, kFile), -99) << key;
}

} // namespace
