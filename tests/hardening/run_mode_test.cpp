// Run mode and configuration mode on settings files that the loaders accept
// but whose values are extreme for the display and the dialog: offsets at
// the 32-bit limits, places far off the map, intervals that overflow or are
// negative, records outside the table, empty records, long and Shift-JIS
// names. The program either runs on or ends with the report of a run-time
// error that names the cause; it never crashes, and neither mode writes
// anything without the user's word.

#include "app/form1.h"
#include "settings/setting.h"

#include "data/app_path.h"
#include "platform/forms/app.h"
#include "platform/forms/cursor.h"
#include "platform/forms/runtime.h"
#include "platform/testing/hooks.h"
#include "support/message_box_recorder.h"
#include "support/program_state.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace {

// Records 0 to 3 and the rows that show 1 to 3, with the home city and the
// intervals given.
std::string settingsFile(const std::string& record1, const std::string& rows = "City_SelectNo0=1\r\nCity_SelectNo1=2\r\n",
                         const std::string& process = "RND_INTERVAL=1\r\nMARK_INTERVAL=1\r\n",
                         const std::string& home = "TimeZone=1\r\n")
{
    return "[MAP_INFO]\r\nNUMBER_OF_CITY=3\r\n"
           "CODE_0=UTC,UTC,UTC,UTC,0,0,0\r\n"
           "CODE_1="
        + record1
        + "\r\n"
          "CODE_2=英国,ロンドン,United Kingdom,London,0,-0.13,-51.51\r\n"
          "CODE_3=米国,ニューヨーク,United States,New York,-18000,-74.01,-40.71\r\n"
          "[SELECT_CITY]\r\n"
        + home + rows + "City_MarkNo0=1\r\nCity_MarkNo1=1\r\n[PROC_INFO]\r\n" + process
        + "Lang_Select0=-1\r\nPrint_Name0=0\r\n";
}

const std::string kTokyo = "日本,東京,Japan,Tokyo,32400,139.69,-35.69";

struct RunCase {
    const char* name;
    std::string file;
    // Empty: the display runs on. Otherwise a text its report holds.
    std::string report;
    // When the display runs on: the name row 0 shows, if the case says.
    std::string rowZeroName = {};
};

void PrintTo(const RunCase& runCase, std::ostream* out) { *out << runCase.name; }

// A fresh program whose folder is a temporary one, a table of `Case` and the
// message boxes the program shows.
template <class Case>
class HostileFile : public testing_support::FreshProgramState<testing::TestWithParam<Case>> {
protected:
    void SetUp() override
    {
        testing_support::FreshProgramState<testing::TestWithParam<Case>>::SetUp();
        platform::setAppPathForTesting(folder.path().string());
    }

    testing_support::TempDir folder;
    testing_support::MessageBoxRecorder boxes;
};

using HostileValues = HostileFile<RunCase>;

TEST_P(HostileValues, RunOnOrEndWithAReport)
{
    folder.write("zandreth.ini", GetParam().file);
    platform::setCommandForTesting("/S");
    auto form = std::make_unique<zandreth::Form1>();
    form->load();
    auto& runtime = platform::Runtime::current();
    // Three rounds of every timer: the clocks, two relocations, blinking.
    for (int round = 0; round < 3 && !runtime.ended(); ++round) {
        form->Timer1.tick();
        form->Timer2.tick();
        form->Timer3.tick();
    }

    if (GetParam().report.empty()) {
        EXPECT_FALSE(runtime.ended()) << (boxes.shown.empty() ? "" : boxes.shown[0].text);
        EXPECT_TRUE(boxes.shown.empty());
        EXPECT_TRUE(form->loaded());
        if (!GetParam().rowZeroName.empty()) {
            EXPECT_EQ(form->Label3(0).caption(), GetParam().rowZeroName);
        }
    } else {
        EXPECT_TRUE(runtime.ended());
        EXPECT_EQ(runtime.exitStatus(), 1);
        ASSERT_EQ(boxes.shown.size(), 1u);
        EXPECT_NE(boxes.shown[0].text.find(GetParam().report), std::string::npos) << boxes.shown[0].text;
        EXPECT_TRUE(platform::cursorVisible()) << "the cursor is given back";
    }
    EXPECT_EQ(folder.read("zandreth.ini"), GetParam().file) << "run mode writes nothing";
}

INSTANTIATE_TEST_SUITE_P(
    SettingsFiles, HostileValues,
    testing::Values(
        RunCase { "OrdinaryFile", settingsFile(kTokyo), "", "東京" },
        RunCase { "OffsetsAtThe32BitLimits",
                  settingsFile("日本,東京,Japan,Tokyo,2147483647,139.69,-35.69",
                               "City_SelectNo0=1\r\nCity_SelectNo1=3\r\n"),
                  "" },
        RunCase { "NegativeOffsetAtThe32BitLimit", settingsFile("日本,東京,Japan,Tokyo,-2147483648,139.69,-35.69"),
                  "" },
        RunCase { "PlaceFarOffTheMap", settingsFile("日本,東京,Japan,Tokyo,32400,1e30,-1e30"), "" },
        RunCase { "PlaceBeyondSinglePrecision", settingsFile("日本,東京,Japan,Tokyo,32400,1e300,0"), "CODE_1" },
        RunCase { "NamesOfTheFullRecordLength",
                  settingsFile(std::string(60, 'N') + "," + std::string(60, 'M') + "," + std::string(60, 'O') + ","
                               + std::string(60, 'P') + ",0,0,0"),
                  "" },
        RunCase { "EmptyRecordChosen", settingsFile(""), "" },
        RunCase { "EveryRowEmpty", settingsFile(kTokyo, "City_SelectNo0=-1\r\n"), "" },
        RunCase { "ZeroIntervals", settingsFile(kTokyo, "City_SelectNo0=1\r\n", "RND_INTERVAL=0\r\nMARK_INTERVAL=0\r\n"),
                  "" },
        RunCase { "RelocationIntervalAtThe32BitLimit",
                  settingsFile(kTokyo, "City_SelectNo0=1\r\n", "RND_INTERVAL=99999999999\r\nMARK_INTERVAL=1\r\n"),
                  "RND_INTERVAL" },
        RunCase { "NegativeBlinkInterval",
                  settingsFile(kTokyo, "City_SelectNo0=1\r\n", "RND_INTERVAL=1\r\nMARK_INTERVAL=-1\r\n"),
                  "MARK_INTERVAL" },
        RunCase { "RowOutsideTheTable", settingsFile(kTokyo, "City_SelectNo0=32767\r\n"), "City_SelectNo0" },
        RunCase { "RowBelowTheTable", settingsFile(kTokyo, "City_SelectNo0=-32768\r\n"), "City_SelectNo0" },
        RunCase { "HomeCityOutsideTheTable", settingsFile(kTokyo, "City_SelectNo0=1\r\n", "RND_INTERVAL=1\r\n",
                                                           "TimeZone=4\r\n"),
                  "TimeZone" },
        RunCase { "Cp932File",
                  "[MAP_INFO]\r\nNUMBER_OF_CITY=1\r\nCODE_0=UTC,UTC,UTC,UTC,0,0,0\r\n"
                  "CODE_1=\x93\xFA\x96\x7B,\x93\x8C\x8B\x9E,Japan,Tokyo,32400,139.69,-35.69\r\n"
                  "[SELECT_CITY]\r\nTimeZone=1\r\nCity_SelectNo0=1\r\n[PROC_INFO]\r\nLang_Select0=-1\r\n",
                  "", "東京" }),
    [](const testing::TestParamInfo<RunCase>& info) { return std::string(info.param.name); });

// The settings dialog takes the same values into its controls: every one
// of these files opens the dialog, with no run-time error and no message.
struct DialogCase {
    const char* name;
    std::string file;
};

void PrintTo(const DialogCase& dialogCase, std::ostream* out) { *out << dialogCase.name; }

using HostileDialogValues = HostileFile<DialogCase>;

TEST_P(HostileDialogValues, OpenTheDialog)
{
    folder.write("zandreth.ini", GetParam().file);
    platform::setCommandForTesting("/C");
    auto form = std::make_unique<zandreth::Form1>();
    form->load();
    auto& runtime = platform::Runtime::current();
    EXPECT_FALSE(runtime.ended());
    EXPECT_TRUE(boxes.shown.empty()) << boxes.shown[0].text;
    ASSERT_NE(form->settingDialog(), nullptr);
    EXPECT_TRUE(form->settingDialog()->loaded());
    EXPECT_EQ(folder.read("zandreth.ini"), GetParam().file) << "opening the dialog writes nothing";
}

INSTANTIATE_TEST_SUITE_P(
    SettingsFiles, HostileDialogValues,
    testing::Values(
        DialogCase { "OrdinaryFile", settingsFile(kTokyo) },
        DialogCase { "RowOutsideTheTable", settingsFile(kTokyo, "City_SelectNo0=32767\r\n") },
        DialogCase { "RowBelowTheTable", settingsFile(kTokyo, "City_SelectNo0=-32768\r\n") },
        DialogCase { "MarksOtherThanZeroAndOne",
                     settingsFile(kTokyo, "City_SelectNo0=1\r\nCity_MarkNo0=2\r\nCity_SelectNo1=2\r\n") },
        DialogCase { "IntervalsBelowTheirRanges",
                     settingsFile(kTokyo, "City_SelectNo0=1\r\n", "RND_INTERVAL=0\r\nMARK_INTERVAL=-5\r\n") },
        DialogCase { "IntervalsAboveTheirRanges",
                     settingsFile(kTokyo, "City_SelectNo0=1\r\n", "RND_INTERVAL=32767\r\nMARK_INTERVAL=1000\r\n") },
        DialogCase { "IntervalBeyond16Bits",
                     settingsFile(kTokyo, "City_SelectNo0=1\r\n", "RND_INTERVAL=99999999999\r\n") },
        DialogCase { "HomeCityOutsideTheTable",
                     settingsFile(kTokyo, "City_SelectNo0=1\r\n", "RND_INTERVAL=5\r\n", "TimeZone=-1\r\n") },
        DialogCase { "EmptyRecordChosen", settingsFile("", "City_SelectNo0=1\r\n") },
        DialogCase { "Cp932File",
                     "[MAP_INFO]\r\nNUMBER_OF_CITY=1\r\nCODE_0=UTC,UTC,UTC,UTC,0,0,0\r\n"
                     "CODE_1=\x93\xFA\x96\x7B,\x93\x8C\x8B\x9E,Japan,Tokyo,32400,139.69,-35.69\r\n"
                     "[SELECT_CITY]\r\nTimeZone=1\r\nCity_SelectNo0=1\r\n" }),
    [](const testing::TestParamInfo<DialogCase>& info) { return std::string(info.param.name); });

} // namespace
