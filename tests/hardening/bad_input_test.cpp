// Settings files as editors, other systems and damaged disks leave them:
// either line end, a UTF-8 byte-order mark, Shift-JIS (CP932) and UTF-8
// names, bytes that are neither, NUL bytes, a last line without its line
// end, a line of a megabyte, repeated sections and keys, names in another
// letter case, blanks around "=", and numbers that do not fit. Each case
// names its outcome: loaded with N records (or read), the catalogue message,
// or a run-time error of a given kind whose report names the cause. Nothing
// else (a crash, another exception, a hang) is an outcome.

#include "data/app_path.h"
#include "data/city_catalogue.h"
#include "data/saved_settings.h"
#include "platform/runtime/runtime_error.h"
#include "support/message_box_recorder.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <initializer_list>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using platform::RuntimeErrorKind;
using namespace std::string_literals;
using zandreth::CityTable;
using zandreth::SelectedCity;
using zandreth::Settings;

constexpr std::size_t kMegabyte = std::size_t { 1 } << 20;
const std::string kByteOrderMark = "\xEF\xBB\xBF";
const std::string kCatalogueText = "zandreth.iniファイルの定義エラーもしくは、ファイルが存在しません。";

// ---------------------------------------------------------------------------
// Building files

// The lines, each followed by `lineEnd`.
std::string lines(std::initializer_list<std::string> content, std::string_view lineEnd = "\r\n")
{
    std::string file;
    for (const std::string& line : content)
        file += line + std::string(lineEnd);
    return file;
}

std::string withoutLastLineEnd(std::string file)
{
    while (!file.empty() && (file.back() == '\n' || file.back() == '\r'))
        file.pop_back();
    return file;
}

const std::string kUtc = "CODE_0=UTC,UTC,UTC,UTC,0,0.00,0.00";
const std::string kLondon = "CODE_1=イギリス,ロンドン,United Kingdom,London,0,-0.13,-51.51";
const std::string kTokyo = "CODE_2=日本,東京,Japan,Tokyo,32400,139.74,-35.65";
// The same record in CP932: 日本 93 FA 96 7B, 東京 93 8C 8B 9E.
const std::string kTokyoCp932 = "CODE_2=\x93\xFA\x96\x7B,\x93\x8C\x8B\x9E,Japan,Tokyo,32400,139.74,-35.65";
// 韓国 8A D8 8D 91, ソウル 83 5C 83 45 83 8B: the trail byte of ソ is a
// backslash.
const std::string kSeoulCp932 = "CODE_3=\x8A\xD8\x8D\x91,\x83\x5C\x83\x45\x83\x8B,South Korea,Seoul,32400,126.98,-37.57";

std::string threeRecords(std::string_view lineEnd = "\r\n")
{
    return lines({ "[MAP_INFO]", "NUMBER_OF_CITY=2", kUtc, kLondon, kTokyo }, lineEnd);
}

// A catalogue whose record 1 is `record` (the key included).
std::string withRecordOne(const std::string& record)
{
    return lines({ "[MAP_INFO]", "NUMBER_OF_CITY=2", kUtc, record, kTokyo });
}

// ---------------------------------------------------------------------------
// Outcomes

struct Outcome {
    enum class Kind { Loaded, CatalogueMessage, Error };
    Kind kind = Kind::Loaded;
    int records = 0; // Loaded: CityCount + 1 (catalogue cases only)
    RuntimeErrorKind error = RuntimeErrorKind::Other;
    std::string detail; // Error: a text the report's detail contains
};

Outcome loaded(int records) { return { Outcome::Kind::Loaded, records, {}, {} }; }
Outcome read() { return { Outcome::Kind::Loaded, 0, {}, {} }; }
Outcome catalogueMessage() { return { Outcome::Kind::CatalogueMessage, 0, {}, {} }; }
Outcome raises(RuntimeErrorKind kind, std::string detail) { return { Outcome::Kind::Error, 0, kind, std::move(detail) }; }

std::ostream& operator<<(std::ostream& out, const Outcome& outcome)
{
    switch (outcome.kind) {
    case Outcome::Kind::Loaded:
        return out << "loaded with " << outcome.records << " records";
    case Outcome::Kind::CatalogueMessage:
        return out << "the catalogue message";
    case Outcome::Kind::Error:
        return out << "run-time error " << static_cast<int>(outcome.error) << " naming \"" << outcome.detail << "\"";
    }
    return out;
}

struct Case {
    const char* name;
    std::string file;
    Outcome expected;
    // Further checks of what was loaded or read.
    std::function<void()> check = {};
};

void PrintTo(const Case& testCase, std::ostream* out) { *out << testCase.name; }

std::string caseName(const testing::TestParamInfo<Case>& info) { return info.param.name; }

class BadInput : public testing::TestWithParam<Case> {
protected:
    void SetUp() override
    {
        folder.write("zandreth.ini", GetParam().file);
        zandreth::AppPath = folder.path().string();
    }

    // Runs `reader` and compares what happened with the case's outcome.
    void expectOutcome(const std::function<int()>& reader)
    {
        const Outcome& expected = GetParam().expected;
        testing_support::MessageBoxRecorder messages;
        try {
            int records = reader();
            if (expected.kind == Outcome::Kind::Error)
                ADD_FAILURE() << "no run-time error; expected " << expected;
            if (expected.kind == Outcome::Kind::CatalogueMessage) {
                ASSERT_EQ(messages.shown.size(), 1u) << "expected " << expected;
                EXPECT_EQ(messages.shown[0].text, kCatalogueText);
                EXPECT_EQ(records, -1) << "LoadCityTable returns false";
                return;
            }
            EXPECT_TRUE(messages.shown.empty()) << "unexpected message: " << messages.shown[0].text;
            if (expected.records > 0) {
                EXPECT_EQ(records, expected.records);
            }
        } catch (const platform::RuntimeError& error) {
            ASSERT_EQ(expected.kind, Outcome::Kind::Error) << "unexpected " << error.report();
            EXPECT_EQ(error.kind(), expected.error) << error.report();
            EXPECT_NE(error.detail().find(expected.detail), std::string::npos) << error.report();
            EXPECT_TRUE(messages.shown.empty());
            return;
        }
        if (GetParam().check)
            GetParam().check();
    }

    testing_support::TempDir folder;
};

// ---------------------------------------------------------------------------
// The catalogue loader

class BadCatalogue : public BadInput {};

TEST_P(BadCatalogue, LoadsOrFailsAsTheCaseSays)
{
    expectOutcome([] {
        int16_t result = zandreth::LoadCityTable();
        return result == -1 ? zandreth::CityCount + 1 : -1;
    });
}

const std::vector<Case> kCatalogueCases {
    { "CrlfLineEnds", threeRecords("\r\n"), loaded(3), [] { EXPECT_EQ(CityTable(2).CityEn, "Tokyo"); } },
    { "LfLineEnds", threeRecords("\n"), loaded(3), [] { EXPECT_EQ(CityTable(2).PosY, -35.65); } },
    // Files from old editors and from Windows programs that quote values.
    { "CrLineEnds", threeRecords("\r"), loaded(3), [] { EXPECT_EQ(CityTable(2).CityEn, "Tokyo"); } },
    { "QuotedValues",
      lines({ "[MAP_INFO]", "NUMBER_OF_CITY=\"1\"", "CODE_0=\"UTC,UTC,UTC,UTC,0,0,-52.5\"",
              "CODE_1='日本,東京,Japan,Tokyo,32400,139.69,-35.68'" }),
      loaded(2),
      [] {
          EXPECT_EQ(CityTable(0).PosY, -52.5);
          EXPECT_EQ(CityTable(1).CountryJa, "日本");
          EXPECT_EQ(CityTable(1).PosY, -35.68);
      } },
    { "Utf8ByteOrderMark", kByteOrderMark + threeRecords(), loaded(3),
      [] { EXPECT_EQ(CityTable(0).CountryJa, "UTC"); } },
    { "Utf8Names", threeRecords(), loaded(3),
      [] {
          EXPECT_EQ(CityTable(1).CityJa, "ロンドン");
          EXPECT_EQ(CityTable(2).CountryJa, "日本");
      } },
    { "Cp932Names",
      lines({ "[MAP_INFO]", "NUMBER_OF_CITY=3", kUtc, "CODE_1=UK,London,United Kingdom,London,0,-0.13,-51.51",
              kTokyoCp932, kSeoulCp932 }),
      loaded(4),
      [] {
          EXPECT_EQ(CityTable(2).CityJa, "東京");
          EXPECT_EQ(CityTable(3).CountryJa, "韓国");
          EXPECT_EQ(CityTable(3).CityJa, "ソウル");
          EXPECT_EQ(CityTable(3).TimeDiff, 32400);
      } },
    // Neither UTF-8 nor CP932: the bytes reach the names as they are.
    { "InvalidByteSequences",
      withRecordOne("CODE_1=\xFF\xFE,\x80\xE3\x81,United Kingdom,London,0,-0.13,-51.51"), loaded(3),
      [] {
          EXPECT_EQ(CityTable(1).CountryJa, "\xFF\xFE");
          EXPECT_EQ(CityTable(1).CityJa, "\x80\xE3\x81");
          EXPECT_EQ(CityTable(1).CityEn, "London");
      } },
    { "LastLineWithoutLineEnd", withoutLastLineEnd(threeRecords()), loaded(3),
      [] { EXPECT_EQ(CityTable(2).PosY, -35.65); } },
    { "LastLineEndsInACarriageReturn", withoutLastLineEnd(threeRecords()) + "\r", loaded(3),
      [] { EXPECT_EQ(CityTable(2).PosY, -35.65); } },
    { "NulByteInAName", withRecordOne("CODE_1=イギリス,Lon\0don"s + ",United Kingdom,London,0,-0.13,-51.51"),
      loaded(3), [] { EXPECT_EQ(CityTable(1).CityJa, "Lon\0don"s); } },
    // "CODE_1<NUL>" is another key, so CODE_1 is missing.
    { "NulByteInAKey", withRecordOne("CODE_1\0=イギリス,ロンドン,United Kingdom,London,0,-0.13,-51.51"s),
      catalogueMessage() },
    { "NulByteAfterTheCount", lines({ "[MAP_INFO]", "NUMBER_OF_CITY=0\0 7"s, kUtc }), loaded(1) },
    { "NothingButNulBytes", std::string(64, '\0'), catalogueMessage() },
    { "EmptyFile", "", catalogueMessage() },
    { "MegabyteCommentLine", "; " + std::string(kMegabyte, 'x') + "\r\n" + threeRecords(), loaded(3) },
    { "MegabyteKeyIsIgnored",
      lines({ "[MAP_INFO]", std::string(kMegabyte, 'K') + "=1", "NUMBER_OF_CITY=2", kUtc, kLondon, kTokyo }),
      loaded(3) },
    // Cut to 255 bytes before it is split: no comma is left in it.
    { "MegabyteRecordIsCutBeforeItsFields", withRecordOne("CODE_1=" + std::string(kMegabyte, 'A') + ",a,b,c,0,0,0"),
      catalogueMessage() },
    { "MegabyteTailAfterTheLastField", withRecordOne(kLondon + std::string(kMegabyte, '0')), loaded(3),
      [] { EXPECT_EQ(CityTable(1).PosY, -51.51); } },
    // The first occurrence wins, as on Windows: the second section is never
    // read, so its records and its count are not seen.
    { "RepeatedSectionIsNotRead",
      lines({ "[MAP_INFO]", "NUMBER_OF_CITY=1", kUtc, kLondon, "[MAP_INFO]", "NUMBER_OF_CITY=5",
              "CODE_1=other,other,other,Other,0,0,0" }),
      loaded(2), [] { EXPECT_EQ(CityTable(1).CityEn, "London"); } },
    { "RecordOnlyInARepeatedSection",
      lines({ "[MAP_INFO]", "NUMBER_OF_CITY=2", kUtc, kLondon, "[MAP_INFO]", kTokyo }), catalogueMessage() },
    { "RepeatedKey",
      lines({ "[MAP_INFO]", "NUMBER_OF_CITY=1", "NUMBER_OF_CITY=30000", kUtc, kLondon,
              "CODE_1=other,other,other,Other,0,0,0" }),
      loaded(2), [] { EXPECT_EQ(CityTable(1).CityEn, "London"); } },
    { "NamesInAnotherLetterCase",
      lines({ "[map_info]", "Number_Of_City=2", "code_0=UTC,UTC,UTC,UTC,0,0,0", "Code_1=a,b,c,d,0,0,0", kTokyo }),
      loaded(3) },
    { "KeysDifferingOnlyInCaseAreOneKey",
      lines({ "[MAP_INFO]", "NUMBER_OF_CITY=1", kUtc, "code_1=first,first,first,First,0,0,0", kLondon }),
      loaded(2), [] { EXPECT_EQ(CityTable(1).CityEn, "First"); } },
    // Blanks around "=" and the value go; blanks inside a field stay.
    { "BlanksAroundTheEqualsSign",
      lines({ " [ MAP_INFO ] ", "NUMBER_OF_CITY = 2", "CODE_0\t=\t UTC,UTC,UTC,UTC,0,0,0 \t",
              "  CODE_1 =イギリス, ロンドン ,United Kingdom,London, 0 , -0.13 , -51.51", kTokyo }),
      loaded(3),
      [] {
          EXPECT_EQ(CityTable(0).CountryJa, "UTC");
          EXPECT_EQ(CityTable(1).CityJa, " ロンドン ");
          EXPECT_EQ(CityTable(1).PosX, -0.13);
      } },
    { "CountOverflows16Bits", lines({ "[MAP_INFO]", "NUMBER_OF_CITY=40000", kUtc }),
      raises(RuntimeErrorKind::Overflow, "NUMBER_OF_CITY") },
    { "CountBelow16Bits", lines({ "[MAP_INFO]", "NUMBER_OF_CITY=-40000", kUtc }),
      raises(RuntimeErrorKind::Overflow, "NUMBER_OF_CITY") },
    { "CountOverflows32Bits", lines({ "[MAP_INFO]", "NUMBER_OF_CITY=99999999999", kUtc }),
      raises(RuntimeErrorKind::Overflow, "NUMBER_OF_CITY") },
    { "CountOf64BitsAndMore", lines({ "[MAP_INFO]", "NUMBER_OF_CITY=" + std::string(400, '9'), kUtc }),
      raises(RuntimeErrorKind::Overflow, "NUMBER_OF_CITY") },
    { "NegativeCount", lines({ "[MAP_INFO]", "NUMBER_OF_CITY=-1", kUtc }), catalogueMessage() },
    // A count that is not a number reads as 0, as on Windows.
    { "CountNotANumber", lines({ "[MAP_INFO]", "NUMBER_OF_CITY=three", kUtc }), loaded(1) },
    { "OffsetNotANumber", withRecordOne("CODE_1=イギリス,ロンドン,United Kingdom,London,zero,-0.13,-51.51"),
      raises(RuntimeErrorKind::TypeMismatch, "CODE_1") },
    { "OffsetEmpty", withRecordOne("CODE_1=イギリス,ロンドン,United Kingdom,London,,-0.13,-51.51"),
      raises(RuntimeErrorKind::TypeMismatch, "CODE_1") },
    { "OffsetOverflows32Bits", withRecordOne("CODE_1=イギリス,ロンドン,United Kingdom,London,99999999999,0,0"),
      raises(RuntimeErrorKind::Overflow, "CODE_1") },
    { "PositionBeyondDouble", withRecordOne("CODE_1=イギリス,ロンドン,United Kingdom,London,0,1e999,0"),
      raises(RuntimeErrorKind::Overflow, "CODE_1") },
    { "PositionNotANumber", withRecordOne("CODE_1=イギリス,ロンドン,United Kingdom,London,0,-0.13,north"),
      raises(RuntimeErrorKind::TypeMismatch, "CODE_1") },
    { "PositionWithANulByte", withRecordOne("CODE_1=イギリス,ロンドン,United Kingdom,London,0,-0.13,-51\0.51"s),
      raises(RuntimeErrorKind::TypeMismatch, "CODE_1") },
};

INSTANTIATE_TEST_SUITE_P(Files, BadCatalogue, testing::ValuesIn(kCatalogueCases), caseName);

// ---------------------------------------------------------------------------
// The saved-settings reader

class BadSettings : public BadInput {};

TEST_P(BadSettings, ReadsOrFailsAsTheCaseSays)
{
    zandreth::SelectedCity = {};
    zandreth::Settings = {};
    expectOutcome([] {
        zandreth::LoadSaveSettings(zandreth::kFalse);
        return 0;
    });
}

// The saved settings of the shipped file's first rows, in a given spelling.
std::string savedSettings(std::string_view lineEnd)
{
    return lines({ "[SELECT_CITY]", "TimeZone=2", "City_SelectNo0=1", "City_MarkNo0=1", "City_SelectNo1=2",
                   "City_MarkNo1=0", "[PROC_INFO]", "RND_INTERVAL=30", "MARK_INTERVAL=2", "Lang_Select0=-1",
                   "Print_Name0=0", "Lang_Select1=0", "Print_Name1=-1" },
                 lineEnd);
}

void expectSavedSettings()
{
    EXPECT_EQ(Settings.HomeCity, 2);
    EXPECT_EQ(SelectedCity[0].SelectNo, 1);
    EXPECT_EQ(SelectedCity[0].MarkNo, 1);
    EXPECT_EQ(SelectedCity[1].SelectNo, 2);
    EXPECT_EQ(SelectedCity[2].SelectNo, -1);
    EXPECT_EQ(Settings.RndInterval, 30);
    EXPECT_EQ(Settings.MarkInterval, 2);
    EXPECT_EQ(Settings.LangSelect[0], -1);
    EXPECT_EQ(Settings.PrintName[1], -1);
}

const std::vector<Case> kSettingsCases {
    { "CrlfLineEnds", threeRecords() + savedSettings("\r\n"), read(), expectSavedSettings },
    { "LfLineEnds", threeRecords("\n") + savedSettings("\n"), read(), expectSavedSettings },
    { "Utf8ByteOrderMark", kByteOrderMark + savedSettings("\r\n"), read(), expectSavedSettings },
    { "Cp932File",
      lines({ "; \x90\xDD\x92\xE8", "[MAP_INFO]", "NUMBER_OF_CITY=3", kUtc, kLondon, kTokyoCp932, kSeoulCp932 })
          + savedSettings("\r\n"),
      read(), expectSavedSettings },
    { "InvalidByteSequences", lines({ "; \xFF\xFE\x80", "[MAP_INFO]", "CODE_0=\xC0\xAF" }) + savedSettings("\r\n"),
      read(), expectSavedSettings },
    { "LastLineWithoutLineEnd", withoutLastLineEnd(savedSettings("\r\n")), read(), expectSavedSettings },
    { "NulBytes",
      lines({ "[SELECT_CITY]", "TimeZone=7\0 8"s, "City_SelectNo0\0=5"s, "City_MarkNo0=1\0"s }), read(),
      [] {
          EXPECT_EQ(Settings.HomeCity, 7);
          EXPECT_EQ(SelectedCity[0].SelectNo, -1) << "\"City_SelectNo0<NUL>\" is another key";
          EXPECT_EQ(SelectedCity[0].MarkNo, 1);
      } },
    { "MegabyteLine", lines({ "[PROC_INFO]", "RND_INTERVAL=" + std::string(kMegabyte, '9'), "MARK_INTERVAL=3" }),
      read(),
      [] {
          EXPECT_EQ(Settings.RndInterval, INT32_MAX);
          EXPECT_EQ(Settings.MarkInterval, 3);
      } },
    { "MegabyteComment", "#" + std::string(kMegabyte, '#') + "\n" + savedSettings("\n"), read(),
      expectSavedSettings },
    { "RepeatedSectionIsNotRead",
      lines({ "[SELECT_CITY]", "TimeZone=5", "[PROC_INFO]", "RND_INTERVAL=20", "[SELECT_CITY]", "TimeZone=6",
              "City_SelectNo0=3" }),
      read(),
      [] {
          EXPECT_EQ(Settings.HomeCity, 5);
          EXPECT_EQ(SelectedCity[0].SelectNo, -1);
          EXPECT_EQ(Settings.RndInterval, 20);
      } },
    { "RepeatedKey", lines({ "[SELECT_CITY]", "TimeZone=5", "TimeZone=40000" }), read(),
      [] { EXPECT_EQ(Settings.HomeCity, 5); } },
    { "NamesInAnotherLetterCase",
      lines({ "[select_city]", "timezone=5", "CITY_SELECTNO9=9", "[Proc_Info]", "rnd_interval=45", "LANG_SELECT0=-1" }),
      read(),
      [] {
          EXPECT_EQ(Settings.HomeCity, 5);
          EXPECT_EQ(SelectedCity[9].SelectNo, 9);
          EXPECT_EQ(Settings.RndInterval, 45);
          EXPECT_EQ(Settings.LangSelect[0], -1);
      } },
    { "KeysDifferingOnlyInCaseAreOneKey", lines({ "[SELECT_CITY]", "TIMEZONE=3", "TimeZone=4" }), read(),
      [] { EXPECT_EQ(Settings.HomeCity, 3); } },
    { "BlanksAroundTheEqualsSign",
      lines({ "[SELECT_CITY]", "TimeZone = 7 ", "\tCity_SelectNo0\t=\t-1\t", "[PROC_INFO]", "RND_INTERVAL =30" }),
      read(),
      [] {
          EXPECT_EQ(Settings.HomeCity, 7);
          EXPECT_EQ(SelectedCity[0].SelectNo, -1);
          EXPECT_EQ(Settings.RndInterval, 30);
      } },
    { "TimeZoneOverflows16Bits", lines({ "[SELECT_CITY]", "TimeZone=40000" }),
      raises(RuntimeErrorKind::Overflow, "TimeZone") },
    { "TimeZoneOverflows32Bits", lines({ "[SELECT_CITY]", "TimeZone=99999999999" }),
      raises(RuntimeErrorKind::Overflow, "TimeZone") },
    { "RowBelow16Bits", lines({ "[SELECT_CITY]", "City_SelectNo4=-32769" }),
      raises(RuntimeErrorKind::Overflow, "City_SelectNo4") },
    { "OptionOverflows16Bits", lines({ "[PROC_INFO]", "Print_Name1=32768" }),
      raises(RuntimeErrorKind::Overflow, "Print_Name1") },
    // The intervals are 32-bit fields: a larger number is held at the limit.
    { "IntervalsBeyond32BitsAreClamped",
      lines({ "[PROC_INFO]", "RND_INTERVAL=99999999999", "MARK_INTERVAL=-99999999999" }), read(),
      [] {
          EXPECT_EQ(Settings.RndInterval, 2147483647);
          EXPECT_EQ(Settings.MarkInterval, INT32_MIN);
      } },
    // A value that does not begin with a number reads as 0, one that begins
    // with one as that number, as on Windows.
    { "ValuesThatAreNotNumbers",
      lines({ "[SELECT_CITY]", "TimeZone=abc", "City_SelectNo0=+7", "City_MarkNo0= 1x", "City_SelectNo1=--1",
              "[PROC_INFO]", "RND_INTERVAL=", "MARK_INTERVAL=0x10" }),
      read(),
      [] {
          EXPECT_EQ(Settings.HomeCity, 0);
          EXPECT_EQ(SelectedCity[0].SelectNo, 7);
          EXPECT_EQ(SelectedCity[0].MarkNo, 1);
          EXPECT_EQ(SelectedCity[1].SelectNo, 0);
          // A key without a value reads its default, as on Windows; 0x10
          // is hexadecimal.
          EXPECT_EQ(Settings.RndInterval, 60);
          EXPECT_EQ(Settings.MarkInterval, 16);
      } },
};

INSTANTIATE_TEST_SUITE_P(Files, BadSettings, testing::ValuesIn(kSettingsCases), caseName);

// ---------------------------------------------------------------------------
// A zandreth.ini that is not a file: a named pipe would block the reader
// until someone writes into it, and a link to /dev/zero would be read until
// memory runs out. Each is taken as a file that is not there: the catalogue
// message, the default settings, and a save that fails and leaves it alone.

struct SpecialFile {
    const char* name;
    std::function<void(const std::string& path)> make;
    std::function<bool(const std::string& path)> stillThere;
};

void PrintTo(const SpecialFile& special, std::ostream* out) { *out << special.name; }

bool isFifo(const std::string& path)
{
    struct stat status {};
    return lstat(path.c_str(), &status) == 0 && S_ISFIFO(status.st_mode);
}

// Runs `body` in a child process and gives its exit status, or nothing when
// it has not ended within `limit` (the child is then killed), so that a
// hang fails the test instead of stopping the suite.
std::optional<int> exitStatusWithin(std::chrono::milliseconds limit, const std::function<int()>& body)
{
    pid_t child = fork();
    if (child == 0)
        _exit(body());
    auto deadline = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < deadline) {
        int status = 0;
        if (waitpid(child, &status, WNOHANG) == child)
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    return std::nullopt;
}

class NotAFile : public testing::TestWithParam<SpecialFile> {
protected:
    testing_support::TempDir folder;
};

TEST_P(NotAFile, ReadsAsAMissingFileAndIsNotReplaced)
{
    std::string path = folder.file("zandreth.ini");
    GetParam().make(path);
    zandreth::AppPath = folder.path().string();

    // The child's exit status names the first check that failed.
    enum Failure { None, CatalogueLoaded, NoCatalogueMessage, NotTheDefaults, SaveSucceeded, SaveSaysNothing };
    auto status = exitStatusWithin(std::chrono::seconds(3), [] {
        testing_support::MessageBoxRecorder messages;
        if (zandreth::LoadCityTable() != 0)
            return CatalogueLoaded;
        if (messages.shown.size() != 1 || messages.shown[0].text != kCatalogueText)
            return NoCatalogueMessage;
        zandreth::Settings.RndInterval = 7;
        zandreth::LoadSaveSettings(zandreth::kFalse);
        if (zandreth::Settings.RndInterval != 60 || zandreth::SelectedCity[0].SelectNo != -1)
            return NotTheDefaults;
        if (zandreth::LoadSaveSettings(zandreth::kTrue))
            return SaveSucceeded;
        if (zandreth::LastSettingsWriteError().find(zandreth::SettingsFilePath()) == std::string::npos)
            return SaveSaysNothing;
        return None;
    });
    ASSERT_TRUE(status.has_value()) << "reading or saving hangs";
    const char* failures[] = { "", "the catalogue loaded", "no catalogue message", "the settings are not the defaults",
                               "the save succeeded", "the save's error does not name the file" };
    EXPECT_EQ(*status, None) << (*status < 6 ? failures[*status] : "the child crashed");
    EXPECT_TRUE(GetParam().stillThere(path)) << "the save replaced it";
}

INSTANTIATE_TEST_SUITE_P(
    SettingsFiles, NotAFile,
    testing::Values(
        SpecialFile { "NamedPipe", [](const std::string& path) { ASSERT_EQ(mkfifo(path.c_str(), 0644), 0); }, isFifo },
        SpecialFile { "LinkToAnEndlessDevice",
                      [](const std::string& path) { std::filesystem::create_symlink("/dev/zero", path); },
                      [](const std::string& path) {
                          return std::filesystem::is_symlink(path)
                              && std::filesystem::read_symlink(path) == "/dev/zero";
                      } },
        SpecialFile { "Folder", [](const std::string& path) { std::filesystem::create_directory(path); },
                      [](const std::string& path) { return std::filesystem::is_directory(path); } }),
    [](const testing::TestParamInfo<SpecialFile>& info) { return std::string(info.param.name); });

} // namespace
