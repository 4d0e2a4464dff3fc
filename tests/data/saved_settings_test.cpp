#include "data/saved_settings.h"

#include "data/app_path.h"
#include "platform/system/file_replace.h"
#include "platform/runtime/runtime_error.h"
#include "platform/testing/hooks.h"

#include "support/fixture.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <limits>
#include <string>
#include <vector>

namespace {

using zandreth::kFalse;
using zandreth::kTrue;
using zandreth::LoadSaveSettings;
using zandreth::SelectedCity;
using zandreth::Settings;

// One saved field: where it lives in the file and how to reach its variable.
struct Field {
    std::string section;
    std::string key;
    bool sixteenBits;
    int64_t defaultValue;
    std::function<int64_t()> get;
    std::function<void(int64_t)> set;
};

// Every saved field, in the order the file is read and written.
const std::vector<Field>& fieldsInOrder()
{
    static const std::vector<Field> fields = [] {
        std::vector<Field> list;
        auto narrow = [&](const char* section, std::string key, int64_t defaultValue, int16_t& target) {
            list.push_back({ section, std::move(key), true, defaultValue, [&target] { return int64_t { target }; },
                             [&target](int64_t value) { target = static_cast<int16_t>(value); } });
        };
        auto wide = [&](const char* section, std::string key, int64_t defaultValue, int32_t& target) {
            list.push_back({ section, std::move(key), false, defaultValue, [&target] { return int64_t { target }; },
                             [&target](int64_t value) { target = static_cast<int32_t>(value); } });
        };
        narrow("SELECT_CITY", "TimeZone", 0, Settings.HomeCity);
        for (int i = 0; i < zandreth::kDisplayRows; ++i) {
            narrow("SELECT_CITY", "City_SelectNo" + std::to_string(i), -1, SelectedCity[i].SelectNo);
            narrow("SELECT_CITY", "City_MarkNo" + std::to_string(i), -1, SelectedCity[i].MarkNo);
        }
        wide("PROC_INFO", "RND_INTERVAL", 60, Settings.RndInterval);
        wide("PROC_INFO", "MARK_INTERVAL", 1, Settings.MarkInterval);
        for (int i = 0; i < 2; ++i) {
            narrow("PROC_INFO", "Lang_Select" + std::to_string(i), 0, Settings.LangSelect[i]);
            narrow("PROC_INFO", "Print_Name" + std::to_string(i), 0, Settings.PrintName[i]);
        }
        return list;
    }();
    return fields;
}

// Values in the order of fieldsInOrder().
using State = std::vector<int64_t>;

void apply(const State& state)
{
    const auto& fields = fieldsInOrder();
    for (std::size_t i = 0; i < fields.size(); ++i)
        fields[i].set(state.at(i));
}

State current()
{
    State state;
    for (const auto& field : fieldsInOrder())
        state.push_back(field.get());
    return state;
}

// The state as "key=value" lines, so that a failed comparison shows which
// keys differ.
std::string describe(const State& state)
{
    std::string text;
    const auto& fields = fieldsInOrder();
    for (std::size_t i = 0; i < fields.size(); ++i)
        text += fields[i].key + "=" + std::to_string(state.at(i)) + "\n";
    return text;
}

State defaults()
{
    State state;
    for (const auto& field : fieldsInOrder())
        state.push_back(field.defaultValue);
    return state;
}

// A value no key reads as by default, so a field that a read forgot to set
// shows.
constexpr int64_t kUntouched = 77;

State untouched()
{
    return State(fieldsInOrder().size(), kUntouched);
}

// The state that catalogue.saved.ini and catalogue_cp932.saved.ini hold.
State knownState()
{
    return {
        3,                                                   // TimeZone
        2, 1, 0, 0, 3, -1,                                   // rows 0 to 2
        -1, 0, -1, 0, -1, 0, -1, 0, -1, 0, -1, 0,            // rows 3 to 8
        1, 1,                                                // row 9
        15, 2,                                               // RND_INTERVAL, MARK_INTERVAL
        -1, 0, 0, -1,                                        // Lang_Select0, Print_Name0, Lang_Select1, Print_Name1
    };
}

// A file holding every key, the value of key number i (in reading order)
// given by `value`.
std::string settingsText(const std::function<std::string(std::size_t)>& value)
{
    std::string text;
    std::string section;
    const auto& fields = fieldsInOrder();
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (fields[i].section != section) {
            section = fields[i].section;
            text += "[" + section + "]\n";
        }
        text += fields[i].key + "=" + value(i) + "\n";
    }
    return text;
}

using testing_support::fixture;

// The bytes of section MAP_INFO: its header up to the next section header.
std::string mapInfoBytes(const std::string& file)
{
    auto begin = file.find("[MAP_INFO]");
    if (begin == std::string::npos)
        return {};
    auto end = file.find("\n[", begin);
    return file.substr(begin, end == std::string::npos ? std::string::npos : end + 1 - begin);
}

class SavedSettingsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        zandreth::AppPath = directory.path().string();
        apply(untouched());
    }
    void TearDown() override
    {
        platform::clearFileReplaceFaultsForTesting();
        zandreth::AppPath.clear();
    }

    std::string settingsFile() const { return directory.file(zandreth::kSettingsFileName); }
    void writeSettingsFile(const std::string& bytes) const { directory.write(zandreth::kSettingsFileName, bytes); }
    std::string readSettingsFile() const { return directory.read(zandreth::kSettingsFileName); }

    testing_support::TempDir directory;
};

struct DefaultCase {
    const char* name;
    bool fileExists;
    const char* text;
};

TEST_F(SavedSettingsTest, MissingKeysReadAsTheDefaults)
{
    const DefaultCase cases[] = {
        { "no file", false, "" },
        { "empty file", true, "" },
        { "catalogue only", true, "[MAP_INFO]\nNUMBER_OF_CITY=0\nCODE_0=UTC,UTC,UTC,UTC,0,0,0\n" },
        { "empty sections", true, "[SELECT_CITY]\n[PROC_INFO]\n" },
        { "keys in other sections", true, "[MAP_INFO]\nTimeZone=5\nRND_INTERVAL=9\n[OTHER]\nLang_Select0=-1\n" },
    };
    for (const auto& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        std::filesystem::remove(settingsFile());
        if (testCase.fileExists)
            writeSettingsFile(testCase.text);
        apply(untouched());

        EXPECT_TRUE(LoadSaveSettings(kFalse));
        EXPECT_EQ(describe(current()), describe(defaults()));
        EXPECT_EQ(std::filesystem::exists(settingsFile()), testCase.fileExists) << "a read must not create the file";
    }
}

TEST_F(SavedSettingsTest, ReadsEveryKeyOfASavedFile)
{
    for (const char* name : { "catalogue.saved.ini", "catalogue_cp932.saved.ini" }) {
        SCOPED_TRACE(name);
        writeSettingsFile(fixture(name));
        apply(untouched());

        EXPECT_TRUE(LoadSaveSettings(kFalse));
        EXPECT_EQ(describe(current()), describe(knownState()));
    }
}

TEST_F(SavedSettingsTest, ValuesAreTakenAsReadWithoutChecks)
{
    // Nothing is compared with the catalogue or with the dialog's limits: a
    // home city of -1, a blink mark of 2, a hand-edited 1 for true, a record
    // beyond the catalogue and the 16-bit limits themselves all come through.
    writeSettingsFile("[SELECT_CITY]\nTimeZone=-1\nCity_SelectNo0=500\nCity_MarkNo0=2\n"
                      "City_SelectNo1=32767\nCity_MarkNo1=-32768\n"
                      "[PROC_INFO]\nRND_INTERVAL=100000\nMARK_INTERVAL=-5\nLang_Select0=1\nPrint_Name1=7\n");
    ASSERT_TRUE(LoadSaveSettings(kFalse));

    EXPECT_EQ(Settings.HomeCity, -1);
    EXPECT_EQ(SelectedCity[0].SelectNo, 500);
    EXPECT_EQ(SelectedCity[0].MarkNo, 2);
    EXPECT_EQ(SelectedCity[1].SelectNo, 32767);
    EXPECT_EQ(SelectedCity[1].MarkNo, -32768);
    EXPECT_EQ(Settings.RndInterval, 100000) << "a 32-bit field is read whole";
    EXPECT_EQ(Settings.MarkInterval, -5);
    EXPECT_EQ(Settings.LangSelect[0], 1);
    EXPECT_EQ(Settings.PrintName[1], 7);
}

TEST_F(SavedSettingsTest, KeysBeyondTheRowsAndOptionsAreNeverRead)
{
    // Were any of these read into a 16-bit field, 40000 would overflow.
    writeSettingsFile("[SELECT_CITY]\nCity_SelectNo10=40000\nCity_MarkNo10=40000\n"
                      "[PROC_INFO]\nLang_Select2=40000\nPrint_Name2=40000\n");
    ASSERT_NO_THROW(LoadSaveSettings(kFalse));
    EXPECT_EQ(describe(current()), describe(defaults()));
}

TEST_F(SavedSettingsTest, SixteenBitOverflowNamesTheKeyAndKeepsTheFieldsReadBefore)
{
    // Every 16-bit key in turn holds a value beyond 16 bits; the others hold
    // values of their own (100 + their position), so the outcome shows both
    // the order of reading and where it stopped.
    const auto& fields = fieldsInOrder();
    for (const char* tooLarge : { "40000", "-32769" }) {
        for (std::size_t failing = 0; failing < fields.size(); ++failing) {
            if (!fields[failing].sixteenBits)
                continue;
            SCOPED_TRACE(fields[failing].key + "=" + tooLarge);
            writeSettingsFile(settingsText([&](std::size_t i) {
                return i == failing ? std::string(tooLarge) : std::to_string(100 + i);
            }));
            apply(untouched());

            try {
                LoadSaveSettings(kFalse);
                ADD_FAILURE() << "no run-time error";
            } catch (const platform::RuntimeError& error) {
                EXPECT_EQ(error.kind(), platform::RuntimeErrorKind::Overflow);
                EXPECT_EQ(error.detail().rfind(fields[failing].key + " = " + tooLarge + ": ", 0), 0u)
                    << error.detail();
            }

            State expected;
            for (std::size_t i = 0; i < fields.size(); ++i)
                expected.push_back(i < failing ? static_cast<int64_t>(100 + i) : kUntouched);
            EXPECT_EQ(describe(current()), describe(expected));
        }
    }
}

struct GoldenCase {
    const char* original;
    const char* saved;
};

TEST_F(SavedSettingsTest, WriteIntoTheCatalogueFileChangesOnlyTheSettings)
{
    // catalogue.ini has no settings yet: the keys are added in their order,
    // after the two that are never written. catalogue_cp932.ini, as a Japanese
    // system keeps it, holds older settings in another order: each key is
    // replaced where it stands, in the file's encoding and line ends.
    const GoldenCase cases[] = {
        { "catalogue.ini", "catalogue.saved.ini" },
        { "catalogue_cp932.ini", "catalogue_cp932.saved.ini" },
    };
    for (const auto& testCase : cases) {
        SCOPED_TRACE(testCase.original);
        const std::string original = fixture(testCase.original);
        writeSettingsFile(original);
        apply(knownState());

        ASSERT_TRUE(LoadSaveSettings(kTrue));
        const std::string written = readSettingsFile();
        EXPECT_EQ(written, fixture(testCase.saved));
        ASSERT_FALSE(mapInfoBytes(original).empty());
        EXPECT_EQ(mapInfoBytes(written), mapInfoBytes(original));
        EXPECT_EQ(describe(current()), describe(knownState())) << "a write leaves the variables alone";
    }
}

TEST_F(SavedSettingsTest, WriteThenReadGivesEveryFieldBack)
{
    const State extremes = [] {
        State state;
        for (std::size_t i = 0; i < fieldsInOrder().size(); ++i) {
            bool sixteenBits = fieldsInOrder()[i].sixteenBits;
            int64_t high = sixteenBits ? std::numeric_limits<int16_t>::max() : std::numeric_limits<int32_t>::max();
            int64_t low = sixteenBits ? std::numeric_limits<int16_t>::min() : std::numeric_limits<int32_t>::min();
            state.push_back(i % 2 == 0 ? high : low);
        }
        return state;
    }();
    const State distinct = [] {
        State state;
        for (std::size_t i = 0; i < fieldsInOrder().size(); ++i)
            state.push_back(static_cast<int64_t>(i) * 7 - 50);
        return state;
    }();

    // Each state is written over the one before, into a file that starts
    // missing, so both the first save and a later one are read back.
    for (const State& state : { knownState(), extremes, distinct, defaults(), knownState() }) {
        SCOPED_TRACE(describe(state));
        apply(state);
        ASSERT_TRUE(LoadSaveSettings(kTrue));
        apply(untouched());
        ASSERT_TRUE(LoadSaveSettings(kFalse));
        EXPECT_EQ(describe(current()), describe(state));
    }
    const std::string written = readSettingsFile();
    for (const auto& field : fieldsInOrder()) {
        auto first = written.find(field.key + "=");
        EXPECT_NE(first, std::string::npos) << field.key;
        EXPECT_EQ(written.find("\n" + field.key + "=", first + 1), std::string::npos)
            << field.key << " is in the file twice";
    }
}

TEST_F(SavedSettingsTest, KeysBeyondTheRowsAndOptionsAreNeverWritten)
{
    // The file holds the odd keys with values no write produces; they keep
    // them, and no such key appears where the file had none.
    writeSettingsFile("[SELECT_CITY]\nCity_SelectNo10=abc\n[PROC_INFO]\nLang_Select2=40000\n");
    apply(knownState());
    ASSERT_TRUE(LoadSaveSettings(kTrue));

    const std::string written = readSettingsFile();
    EXPECT_NE(written.find("\nCity_SelectNo10=abc\n"), std::string::npos) << written;
    EXPECT_NE(written.find("\nLang_Select2=40000\n"), std::string::npos) << written;
    for (const char* key : { "City_MarkNo10=", "Print_Name2=", "Lang_Select3=" })
        EXPECT_EQ(written.find(key), std::string::npos) << key;
}

struct FailedWriteCase {
    const char* name;
    std::function<void(const std::string& path)> breakIt;
};

TEST_F(SavedSettingsTest, AFailedWriteReturnsFalseAndLeavesTheFileAsItWas)
{
    const FailedWriteCase cases[] = {
        // The owner-write bit is what marks a file read-only, even for a
        // process that the system would let write it.
        { "read-only file",
          [](const std::string& path) {
              std::filesystem::permissions(path, std::filesystem::perms(0444), std::filesystem::perm_options::replace);
          } },
        { "full disk",
          [](const std::string&) { platform::failNextFileReplaceStepForTesting(platform::FileReplaceStep::Write, ENOSPC); } },
        { "failing rename",
          [](const std::string&) { platform::failNextFileReplaceStepForTesting(platform::FileReplaceStep::Rename, EIO); } },
    };
    for (const auto& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        std::filesystem::remove(settingsFile());
        const std::string original = fixture("catalogue_cp932.ini");
        writeSettingsFile(original);
        testCase.breakIt(settingsFile());
        apply(knownState());

        EXPECT_FALSE(LoadSaveSettings(kTrue));
        EXPECT_NE(zandreth::LastSettingsWriteError().find(settingsFile()), std::string::npos)
            << "the reason names the file: " << zandreth::LastSettingsWriteError();
        EXPECT_EQ(readSettingsFile(), original);
        EXPECT_EQ(describe(current()), describe(knownState()));
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(directory.path()))
            names.push_back(entry.path().filename().string());
        EXPECT_EQ(names, std::vector<std::string> { zandreth::kSettingsFileName }) << "a temporary file was left";

        // Once the file can be written again, the next save succeeds and
        // leaves no reason behind.
        platform::clearFileReplaceFaultsForTesting();
        std::filesystem::permissions(settingsFile(), std::filesystem::perms(0644),
                                     std::filesystem::perm_options::replace);
        EXPECT_TRUE(LoadSaveSettings(kTrue));
        EXPECT_EQ(zandreth::LastSettingsWriteError(), "");
        EXPECT_EQ(readSettingsFile(), fixture("catalogue_cp932.saved.ini"));
    }
}

TEST_F(SavedSettingsTest, ModesOtherThanReadAndWriteDoNothing)
{
    for (int16_t mode : { int16_t { 1 }, int16_t { 2 }, int16_t { -2 }, int16_t { 32767 }, int16_t { -32768 } }) {
        SCOPED_TRACE(mode);
        std::filesystem::remove(settingsFile());
        apply(knownState());
        EXPECT_TRUE(LoadSaveSettings(mode));
        EXPECT_FALSE(std::filesystem::exists(settingsFile())) << "nothing written";

        const std::string original = fixture("catalogue_cp932.ini");
        writeSettingsFile(original);
        EXPECT_TRUE(LoadSaveSettings(mode));
        EXPECT_EQ(readSettingsFile(), original) << "nothing written";
        EXPECT_EQ(describe(current()), describe(knownState())) << "nothing read";
    }
}

// The two check-box choices of the dialog's own frame, DAY_NIGHT and
// SUMMER_TIME, newer than the other keys: each reads as on only from exactly
// 1, never raises an error, and a save adds neither to a file without it
// unless the choice is on.
class SavedChoicesTest : public SavedSettingsTest {
protected:
    void SetUp() override
    {
        SavedSettingsTest::SetUp();
        zandreth::DayNight = 0;
        zandreth::SummerTime = 0;
    }
    void TearDown() override
    {
        zandreth::DayNight = 0;
        zandreth::SummerTime = 0;
        SavedSettingsTest::TearDown();
    }
};

struct ChoiceReadCase {
    const char* name;
    const char* line; // in PROC_INFO; empty: no key at all
    int16_t expected;
};

TEST_F(SavedChoicesTest, AChoiceIsOnOnlyWhenItsKeyReadsOne)
{
    const ChoiceReadCase cases[] = {
        { "missing", "", 0 },
        { "one", "=1", 1 },
        { "one with blanks", "= 1 ", 1 },
        { "zero", "=0", 0 },
        { "empty", "=", 0 },
        { "true of the other options", "=-1", 0 },
        { "two", "=2", 0 },
        { "not a number", "=yes", 0 },
        { "beyond 16 bits", "=65537", 0 },
        { "beyond 32 bits", "=99999999999", 0 },
        { "below 16 bits", "=-40000", 0 },
    };
    for (const char* key : { "DAY_NIGHT", "SUMMER_TIME" }) {
        for (const auto& testCase : cases) {
            SCOPED_TRACE(std::string(key) + ", " + testCase.name);
            const std::string line = *testCase.line ? std::string(key) + testCase.line + "\n" : "";
            writeSettingsFile("[PROC_INFO]\nRND_INTERVAL=30\n" + line);
            // The other choice is on in memory and missing from the file:
            // the read turns it off.
            zandreth::DayNight = 7;
            zandreth::SummerTime = 7;

            ASSERT_NO_THROW(LoadSaveSettings(kFalse));
            const bool dayNight = std::string(key) == "DAY_NIGHT";
            EXPECT_EQ(zandreth::DayNight, dayNight ? testCase.expected : 0);
            EXPECT_EQ(zandreth::SummerTime, dayNight ? 0 : testCase.expected);
            EXPECT_EQ(Settings.RndInterval, 30) << "the other keys read as before";
        }
    }
}

TEST_F(SavedChoicesTest, BothChoicesAreWrittenAndReadBack)
{
    // Every combination, each saved over the one before, so that a choice
    // turned off again is stored as 0 in the key it already has.
    const std::pair<int16_t, int16_t> combinations[] = { { 1, 0 }, { 0, 1 }, { 1, 1 }, { 0, 0 } };
    writeSettingsFile(fixture("catalogue.ini"));
    for (const auto& [dayNight, summerTime] : combinations) {
        SCOPED_TRACE("DAY_NIGHT " + std::to_string(dayNight) + ", SUMMER_TIME " + std::to_string(summerTime));
        apply(knownState());
        zandreth::DayNight = dayNight;
        zandreth::SummerTime = summerTime;
        ASSERT_TRUE(LoadSaveSettings(kTrue));

        apply(untouched());
        zandreth::DayNight = 7;
        zandreth::SummerTime = 7;
        ASSERT_TRUE(LoadSaveSettings(kFalse));
        EXPECT_EQ(zandreth::DayNight, dayNight);
        EXPECT_EQ(zandreth::SummerTime, summerTime);
        EXPECT_EQ(describe(current()), describe(knownState()));
    }
    // Both were on once, so both keys stay, after every other key.
    EXPECT_EQ(readSettingsFile(), fixture("catalogue.saved.ini") + "DAY_NIGHT=0\nSUMMER_TIME=0\n");
}

TEST_F(SavedChoicesTest, ASaveWithBothChoicesOffLeavesAFileWithoutThemAsItWas)
{
    // The golden files of the original keys, saved with both choices off,
    // come out byte for byte as before, and saving them again changes
    // nothing.
    const GoldenCase cases[] = {
        { "catalogue.ini", "catalogue.saved.ini" },
        { "catalogue_cp932.ini", "catalogue_cp932.saved.ini" },
        { "catalogue.saved.ini", "catalogue.saved.ini" },
        { "catalogue_cp932.saved.ini", "catalogue_cp932.saved.ini" },
    };
    for (const auto& testCase : cases) {
        SCOPED_TRACE(testCase.original);
        writeSettingsFile(fixture(testCase.original));
        apply(knownState());
        ASSERT_TRUE(LoadSaveSettings(kTrue));
        EXPECT_EQ(readSettingsFile(), fixture(testCase.saved));
    }
}

TEST_F(SavedChoicesTest, AChoiceTurnedOnIsAddedAlone)
{
    writeSettingsFile(fixture("catalogue.saved.ini"));
    apply(knownState());
    zandreth::SummerTime = 1;
    ASSERT_TRUE(LoadSaveSettings(kTrue));
    EXPECT_EQ(readSettingsFile(), fixture("catalogue.saved.ini") + "SUMMER_TIME=1\n");
}

} // namespace
