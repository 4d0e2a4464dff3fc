// Loading the city catalogue from section MAP_INFO of zandreth.ini.

#include "data/app_path.h"
#include "data/city_catalogue.h"
#include "platform/runtime/runtime_error.h"
#include "support/message_box_recorder.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <fstream>
#include <optional>
#include <string>

namespace {

using testing_support::MessageBoxRecorder;
using testing_support::TempDir;
using zandreth::CityTable;

constexpr const char* kCatalogueMessage = "zandreth.iniファイルの定義エラーもしくは、ファイルが存在しません。";

class CityCatalogueTest : public testing::Test {
protected:
    void SetUp() override { zandreth::AppPath = folder.path().string(); }

    void write(const std::string& text) const { folder.write("zandreth.ini", text); }

    static std::string catalogue(int upperBound, const std::string& records)
    {
        return "[MAP_INFO]\r\nNUMBER_OF_CITY=" + std::to_string(upperBound) + "\r\n" + records;
    }

    TempDir folder;
    MessageBoxRecorder boxes;
};

TEST_F(CityCatalogueTest, ReadsEveryRecordWithItsSevenFields)
{
    write(catalogue(2, "CODE_0=UTC,UTC,UTC,UTC,0,0,-52.5\r\n"
                       "CODE_1=日本,東京,Japan,Tokyo,32400,139.69,-35.69\r\n"
                       "CODE_2=米国,ニューヨーク,United States,New York,-18000,-74.01,-40.71\r\n"));
    ASSERT_EQ(zandreth::LoadCityTable(), -1);
    EXPECT_EQ(zandreth::CityCount, 2);
    const auto& tokyo = CityTable(1);
    EXPECT_EQ(tokyo.Code, 1);
    EXPECT_EQ(tokyo.CountryJa, "日本");
    EXPECT_EQ(tokyo.CityJa, "東京");
    EXPECT_EQ(tokyo.CountryEn, "Japan");
    EXPECT_EQ(tokyo.CityEn, "Tokyo");
    EXPECT_EQ(tokyo.TimeDiff, 32400);
    EXPECT_DOUBLE_EQ(tokyo.PosX, 139.69);
    EXPECT_DOUBLE_EQ(tokyo.PosY, -35.69);
    EXPECT_EQ(CityTable(2).CityEn, "New York");
    EXPECT_EQ(CityTable(2).TimeDiff, -18000);
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(CityCatalogueTest, ShiftJisNamesArriveAsText)
{
    // "日本" and "東京" in CP932, as a file written on a Japanese system holds them.
    write(catalogue(0, "CODE_0=\x93\xfa\x96\x7b,\x93\x8c\x8b\x9e,Japan,Tokyo,32400,139.69,-35.69\r\n"));
    ASSERT_EQ(zandreth::LoadCityTable(), -1);
    EXPECT_EQ(CityTable(0).CountryJa, "日本");
    EXPECT_EQ(CityTable(0).CityJa, "東京");
}

struct FieldCase {
    const char* name;
    const char* value;
    std::string countryJa, cityJa, countryEn, cityEn;
    int32_t timeDiff;
    double posX, posY;
};

class CityCatalogueFields : public CityCatalogueTest, public testing::WithParamInterface<FieldCase> { };

TEST_P(CityCatalogueFields, SplitAtCommasAndConvert)
{
    const auto& field = GetParam();
    write(catalogue(0, std::string("CODE_0=") + field.value + "\r\n"));
    ASSERT_EQ(zandreth::LoadCityTable(), -1);
    const auto& record = CityTable(0);
    EXPECT_EQ(record.CountryJa, field.countryJa);
    EXPECT_EQ(record.CityJa, field.cityJa);
    EXPECT_EQ(record.CountryEn, field.countryEn);
    EXPECT_EQ(record.CityEn, field.cityEn);
    EXPECT_EQ(record.TimeDiff, field.timeDiff);
    EXPECT_DOUBLE_EQ(record.PosX, field.posX);
    EXPECT_DOUBLE_EQ(record.PosY, field.posY);
}

const FieldCase kFieldCases[] = {
    { "EmptyNameField", "国,,Country,City,0,1,2", "国", "", "Country", "City", 0, 1, 2 },
    // Blanks around the whole value are the settings file's, not the record's.
    { "BlanksBelongToTheField", "A, B ,C ,D,60,1.5,2", "A", " B ", "C ", "D", 60, 1.5, 2 },
    { "HalfGoesToTheEvenNeighbourUp", "a,b,c,d,1.5,0,0", "a", "b", "c", "d", 2, 0, 0 },
    { "HalfGoesToTheEvenNeighbourDown", "a,b,c,d,2.5,0,0", "a", "b", "c", "d", 2, 0, 0 },
    { "NegativeHalf", "a,b,c,d,-3.5,0,0", "a", "b", "c", "d", -4, 0, 0 },
    { "SignedPositions", "a,b,c,d,+3600,-180,+90", "a", "b", "c", "d", 3600, -180, 90 },
};

INSTANTIATE_TEST_SUITE_P(Records, CityCatalogueFields, testing::ValuesIn(kFieldCases),
                         [](const testing::TestParamInfo<FieldCase>& info) { return info.param.name; });

TEST_F(CityCatalogueTest, EmptyRecordStaysEmptyAndTheLoadGoesOn)
{
    write(catalogue(2, "CODE_0=a,b,c,d,0,0,0\r\nCODE_1=\r\nCODE_2=e,f,g,h,3600,10,20\r\n"));
    ASSERT_EQ(zandreth::LoadCityTable(), -1);
    const auto& empty = CityTable(1);
    EXPECT_EQ(empty.Code, 0);
    EXPECT_EQ(empty.CityEn, "");
    EXPECT_EQ(empty.TimeDiff, 0);
    EXPECT_EQ(CityTable(2).Code, 2);
}

TEST_F(CityCatalogueTest, KeysAboveTheCountAreNeverRead)
{
    write(catalogue(0, "CODE_0=a,b,c,d,0,0,0\r\nCODE_1=broken\r\n"));
    ASSERT_EQ(zandreth::LoadCityTable(), -1);
    EXPECT_EQ(zandreth::CityCount, 0);
}

struct FailureCase {
    const char* name;
    const char* file;      // nullptr: no file at all
    int16_t countAfter;
    // Records loaded before the failure, by English city name.
    std::optional<std::string> lastGoodCity;
};

class CityCatalogueFailures : public CityCatalogueTest, public testing::WithParamInterface<FailureCase> { };

TEST_P(CityCatalogueFailures, ShowTheCatalogueMessageAndReturnFalse)
{
    const auto& failure = GetParam();
    if (failure.file)
        write(failure.file);
    EXPECT_EQ(zandreth::LoadCityTable(), 0);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].title, "定義ファイル読み込みエラー");
    EXPECT_EQ(boxes.shown[0].text, kCatalogueMessage);
    EXPECT_EQ(boxes.shown[0].icon, platform::MessageBoxIcon::Critical);
    EXPECT_EQ(zandreth::CityCount, failure.countAfter);
    if (failure.lastGoodCity) {
        EXPECT_EQ(CityTable(0).CityEn, *failure.lastGoodCity);
    }
}

const FailureCase kFailureCases[] = {
    { "NoFile", nullptr, -1, std::nullopt },
    { "NoSection", "[SELECT_CITY]\r\nTimeZone=0\r\n", -1, std::nullopt },
    { "NoCount", "[MAP_INFO]\r\nCODE_0=a,b,c,d,0,0,0\r\n", -1, std::nullopt },
    { "NegativeCount", "[MAP_INFO]\r\nNUMBER_OF_CITY=-3\r\n", -3, std::nullopt },
    // The count names a record the file does not have: the missing key
    // reads as "UTC,UTC,0,0,-52.5", which runs out of commas.
    { "CountBeyondTheRecords", "[MAP_INFO]\r\nNUMBER_OF_CITY=1\r\nCODE_0=a,b,c,Lima,0,0,0\r\n", 1, "Lima" },
    { "KeyWithALeadingZeroIsNotFound", "[MAP_INFO]\r\nNUMBER_OF_CITY=1\r\nCODE_0=a,b,c,Lima,0,0,0\r\nCODE_01=e,f,g,h,0,0,0\r\n", 1,
      "Lima" },
    { "RecordWithTooFewFields", "[MAP_INFO]\r\nNUMBER_OF_CITY=0\r\nCODE_0=a,b,c,d,0,0\r\n", 0, std::nullopt },
};

INSTANTIATE_TEST_SUITE_P(Catalogues, CityCatalogueFailures, testing::ValuesIn(kFailureCases),
                         [](const testing::TestParamInfo<FailureCase>& info) { return info.param.name; });

TEST_F(CityCatalogueTest, MissingRecordKeepsWhatItReadBeforeTheFailure)
{
    write(catalogue(1, "CODE_0=a,b,c,d,0,0,0\r\n"));
    EXPECT_EQ(zandreth::LoadCityTable(), 0);
    const auto& missing = CityTable(1);
    EXPECT_EQ(missing.Code, 1);
    EXPECT_EQ(missing.CountryJa, "UTC");
    EXPECT_EQ(missing.CityJa, "UTC");
    EXPECT_EQ(missing.CountryEn, "0");
    EXPECT_EQ(missing.CityEn, "0");
    EXPECT_EQ(missing.TimeDiff, 0);
}

struct ErrorCase {
    const char* name;
    const char* records;
    int count;
    platform::RuntimeErrorKind kind;
    const char* detail;
};

class CityCatalogueErrors : public CityCatalogueTest, public testing::WithParamInterface<ErrorCase> { };

TEST_P(CityCatalogueErrors, RaiseARunTimeErrorThatNamesTheCause)
{
    const auto& error = GetParam();
    write(catalogue(error.count, error.records));
    try {
        zandreth::LoadCityTable();
        FAIL() << "no run-time error";
    } catch (const platform::RuntimeError& raised) {
        EXPECT_EQ(raised.kind(), error.kind);
        EXPECT_NE(raised.detail().find(error.detail), std::string::npos) << raised.detail();
    }
    EXPECT_TRUE(boxes.shown.empty());
}

const ErrorCase kErrorCases[] = {
    { "OffsetNotANumber", "CODE_0=a,b,c,d,nine,0,0\r\n", 0, platform::RuntimeErrorKind::TypeMismatch,
      "the offset from UTC (fifth field) of CODE_0 is \"nine\", which is not a number" },
    { "EmptyOffset", "CODE_0=a,b,c,d,,0,0\r\n", 0, platform::RuntimeErrorKind::TypeMismatch, "CODE_0" },
    { "PositionWithAnEighthField", "CODE_0=a,b,c,d,0,1,2,3\r\n", 0, platform::RuntimeErrorKind::TypeMismatch,
      "\"2,3\", which is not a number" },
    { "SixthCommaLast", "CODE_0=a,b,c,d,0,1,\r\n", 0, platform::RuntimeErrorKind::TypeMismatch,
      "the vertical position (seventh field) of CODE_0" },
    { "OffsetBeyond32Bits", "CODE_0=a,b,c,d,99999999999,0,0\r\n", 0, platform::RuntimeErrorKind::Overflow,
      "does not fit in 32 bits" },
    { "CountBeyond16Bits", "", 40000, platform::RuntimeErrorKind::Overflow,
      "NUMBER_OF_CITY = 40000: does not fit in 16 bits" },
};

INSTANTIATE_TEST_SUITE_P(Catalogues, CityCatalogueErrors, testing::ValuesIn(kErrorCases),
                         [](const testing::TestParamInfo<ErrorCase>& info) { return info.param.name; });

TEST_F(CityCatalogueTest, ValueLongerThan255BytesIsCutBeforeItIsSplit)
{
    // Names of 59 bytes each: the seventh field starts at byte 250 and keeps
    // only its first five bytes, "12.34" of "12.3456789".
    std::string name(59, 'n');
    write(catalogue(0, "CODE_0=" + name + "," + name + "," + name + "," + name + ",3600,1.50," + "12.3456789\r\n"));
    ASSERT_EQ(zandreth::LoadCityTable(), -1);
    EXPECT_DOUBLE_EQ(CityTable(0).PosY, 12.34);
}

TEST_F(CityCatalogueTest, SecondLoadAfterTheCountWasRemovedKeepsTheFirstTable)
{
    write(catalogue(0, "CODE_0=a,b,c,Oslo,3600,10.75,-59.91\r\n"));
    ASSERT_EQ(zandreth::LoadCityTable(), -1);
    write("[MAP_INFO]\r\nCODE_0=a,b,c,Rome,3600,12.48,-41.89\r\n");
    EXPECT_EQ(zandreth::LoadCityTable(), 0);
    EXPECT_EQ(zandreth::CityCount, -1);
    EXPECT_EQ(CityTable(0).CityEn, "Oslo");
}

TEST_F(CityCatalogueTest, LookupsOutsideTheTableNameTheRecordsThereAre)
{
    write(catalogue(3, "CODE_0=a,b,c,d,0,0,0\r\nCODE_1=a,b,c,d,0,0,0\r\nCODE_2=a,b,c,d,0,0,0\r\nCODE_3=a,b,c,d,0,0,0\r\n"));
    ASSERT_EQ(zandreth::LoadCityTable(), -1);
    try {
        (void)CityTable(250);
        FAIL();
    } catch (const platform::RuntimeError& error) {
        EXPECT_EQ(error.kind(), platform::RuntimeErrorKind::SubscriptOutOfRange);
        EXPECT_EQ(error.detail(), "record 250 does not exist: the catalogue has records 0 to 3");
    }
    try {
        (void)CityTable.at(-2, "City_SelectNo3");
        FAIL();
    } catch (const platform::RuntimeError& error) {
        EXPECT_EQ(error.detail(), "City_SelectNo3 = -2: the catalogue has records 0 to 3");
    }
}

TEST_F(CityCatalogueTest, ARulesKeyBesideItsRecordGivesTheRecordItsRule)
{
    // Record 1 has a rule, record 2 a broken one, record 3 none, and record
    // 4 is left empty whatever its rule says. The records' own fields are
    // read as before.
    write(catalogue(4, "CODE_0=UTC,UTC,UTC,UTC,0,0,-52.5\r\n"
                       "CODE_1=豪州,シドニー,Australia,Sydney,36000,151.21,33.87\r\n"
                       "CODE_TZ_1=AEST-10AEDT,M10.1.0,M4.1.0/3\r\n"
                       "CODE_TZ_2=EST5EDT,M3.2.0\r\n"
                       "CODE_2=米国,ニューヨーク,United States,New York,-18000,-74.01,-40.71\r\n"
                       "CODE_3=日本,東京,Japan,Tokyo,32400,139.69,-35.69\r\n"
                       "CODE_4=\r\n"
                       "CODE_TZ_4=JST-9\r\n"));
    ASSERT_EQ(zandreth::LoadCityTable(), -1);
    const auto& sydney = CityTable(1);
    ASSERT_TRUE(sydney.ZoneRule.has_value());
    EXPECT_EQ(sydney.ZoneRule->standardOffset(), 36000);
    EXPECT_EQ(sydney.ZoneRule->daylightOffset(), 39600);
    EXPECT_EQ(sydney.TimeDiff, 36000);
    EXPECT_DOUBLE_EQ(sydney.PosY, 33.87);
    EXPECT_FALSE(CityTable(0).ZoneRule.has_value());
    EXPECT_FALSE(CityTable(2).ZoneRule.has_value()) << "a broken rule is no rule";
    EXPECT_EQ(CityTable(2).CityEn, "New York");
    EXPECT_FALSE(CityTable(3).ZoneRule.has_value());
    EXPECT_FALSE(CityTable(4).ZoneRule.has_value()) << "an empty record stays empty";
    EXPECT_TRUE(boxes.shown.empty());
}

} // namespace
