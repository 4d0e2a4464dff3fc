// The settings dialog, driven through its controls the way the user and the
// forms runtime drive them, on a six-city catalogue in a temporary folder.

#include "settings/setting.h"

#include "data/app_path.h"
#include "data/city_catalogue.h"
#include "data/saved_settings.h"
#include "platform/forms/app.h"
#include "platform/system/file_replace.h"
#include "platform/profile/private_profile.h"
#include "platform/forms/runtime.h"
#include "platform/testing/hooks.h"
#include "support/form_drivers.h"
#include "support/fixture.h"
#include "support/message_box_recorder.h"
#include "support/program_state.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <filesystem>
#include <functional>
#include <fstream>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

using testing_support::MessageBoxRecorder;
using testing_support::TempDir;
using zandreth::Setting;

using testing_support::fixture;

// The names of the fixture's records, by kind.
const std::vector<std::string> kCityEn { "UTC", "Tokyo", "London", "New York", "Los Angeles", "Paris" };
const std::vector<std::string> kCityJa { "UTC", "東京", "ロンドン", "ニューヨーク", "ロサンゼルス", "パリ" };
const std::vector<std::string> kCountryEn { "UTC", "Japan", "United Kingdom", "United States", "United States",
                                            "France" };
const std::vector<std::string> kCountryJa { "UTC", "日本", "イギリス", "アメリカ合衆国", "アメリカ合衆国",
                                            "フランス" };

constexpr int kRows = 10;
constexpr int32_t kMissing = INT32_MIN;

class SettingTest : public testing_support::FreshProgramState<> {
protected:
    void SetUp() override
    {
        FreshProgramState::SetUp();
        platform::setAppPathForTesting(folder.path().string());
        zandreth::AppPath = folder.path().string();
    }

    void TearDown() override
    {
        EXPECT_FALSE(platform::Runtime::current().ended()) << "a handler raised a run-time error";
        ::chmod(folder.file("zandreth.ini").c_str(), 0644);
        FreshProgramState::TearDown();
    }

    // The catalogue followed by `userSections`.
    void writeSettings(const std::string& userSections)
    {
        folder.write("zandreth.ini", fixture("six_cities.ini") + userSections);
    }

    std::string fileBytes() const { return folder.read("zandreth.ini"); }

    int32_t saved(const char* section, const std::string& key) const
    {
        return platform::GetPrivateProfileIntA(section, key, kMissing, folder.file("zandreth.ini"));
    }
    int32_t savedCity(int row) const { return saved("SELECT_CITY", "City_SelectNo" + std::to_string(row)); }
    int32_t savedMark(int row) const { return saved("SELECT_CITY", "City_MarkNo" + std::to_string(row)); }
    int32_t savedHome() const { return saved("SELECT_CITY", "TimeZone"); }

    // Loads and shows a fresh dialog, as start-up does.
    std::unique_ptr<Setting> open()
    {
        auto dialog = std::make_unique<Setting>();
        dialog->show();
        platform::Runtime::current().processPendingEvents();
        return dialog;
    }

    TempDir folder;
    MessageBoxRecorder boxes;
};

void expectListsShow(Setting& dialog, const std::vector<std::string>& names)
{
    for (int i = 0; i < kRows; ++i) {
        ASSERT_EQ(dialog.Combo1(i).listCount(), static_cast<int32_t>(names.size())) << "row " << i;
        for (int k = 0; k < static_cast<int>(names.size()); ++k)
            EXPECT_EQ(dialog.Combo1(i).list(k), names[k]) << "row " << i << ", item " << k;
    }
}

TEST_F(SettingTest, FileWithoutUserSectionsShowsTheDefaults)
{
    writeSettings("");
    auto dialog = open();

    ASSERT_TRUE(dialog->loaded());
    for (int i = 0; i < kRows; ++i) {
        SCOPED_TRACE("row " + std::to_string(i));
        EXPECT_EQ(dialog->Check1(i).value(), 0);
        EXPECT_EQ(dialog->Combo1(i).listIndex(), 0);
        EXPECT_EQ(dialog->Combo1(i).text(), "UTC");
        EXPECT_FALSE(dialog->Check2(i).visible());
        EXPECT_FALSE(dialog->Option3(i).visible());
    }
    EXPECT_EQ(dialog->HScroll2.value(), 60);
    EXPECT_EQ(dialog->Label4.caption(), "60秒");
    EXPECT_EQ(dialog->HScroll1.value(), 1);
    EXPECT_EQ(dialog->Label5.caption(), "1秒");
    for (int i = 0; i <= 1; ++i) {
        EXPECT_FALSE(dialog->Option1(i).value());
        EXPECT_FALSE(dialog->Option2(i).value());
    }
    expectListsShow(*dialog, kCityEn);
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(SettingTest, SavedChoicesShowInTheControls)
{
    writeSettings("[SELECT_CITY]\nTimeZone=5\n"
                  "City_SelectNo0=1\nCity_MarkNo0=1\n"
                  "City_SelectNo3=5\nCity_MarkNo3=0\n"
                  "City_SelectNo9=0\nCity_MarkNo9=1\n"
                  "[PROC_INFO]\nRND_INTERVAL=17\nMARK_INTERVAL=7\n"
                  "Lang_Select0=-1\nLang_Select1=0\nPrint_Name0=0\nPrint_Name1=-1\n");
    auto dialog = open();

    struct Expected {
        int row;
        int16_t check1;
        int32_t city;
        int16_t blink;
        bool home;
    };
    const Expected rows[] { { 0, 1, 1, 1, false }, { 1, 0, 0, 0, false }, { 3, 1, 5, 0, true },
                            { 9, 1, 0, 1, false } };
    for (const auto& row : rows) {
        SCOPED_TRACE("row " + std::to_string(row.row));
        EXPECT_EQ(dialog->Check1(row.row).value(), row.check1);
        EXPECT_EQ(dialog->Combo1(row.row).listIndex(), row.city);
        EXPECT_EQ(dialog->Check2(row.row).visible(), row.check1 == 1);
        EXPECT_EQ(dialog->Option3(row.row).visible(), row.check1 == 1);
        EXPECT_EQ(dialog->Check2(row.row).value(), row.blink);
        EXPECT_EQ(dialog->Option3(row.row).value(), row.home);
    }
    EXPECT_EQ(dialog->HScroll2.value(), 17);
    EXPECT_EQ(dialog->Label4.caption(), "17秒");
    EXPECT_EQ(dialog->HScroll1.value(), 7);
    EXPECT_EQ(dialog->Label5.caption(), "7秒");
    EXPECT_TRUE(dialog->Option1(0).value());
    EXPECT_FALSE(dialog->Option1(1).value());
    EXPECT_FALSE(dialog->Option2(0).value());
    EXPECT_TRUE(dialog->Option2(1).value());
    // 日本語 and not 国名: Japanese city names, the selected items' included.
    expectListsShow(*dialog, kCityJa);
    EXPECT_EQ(dialog->Combo1(3).text(), "パリ");
}

TEST_F(SettingTest, BothSavedValuesOfAPairSelectTheSecondButton)
{
    writeSettings("[PROC_INFO]\nLang_Select0=-1\nLang_Select1=-1\nPrint_Name0=-1\nPrint_Name1=-1\n");
    auto dialog = open();

    EXPECT_FALSE(dialog->Option1(0).value());
    EXPECT_TRUE(dialog->Option1(1).value());
    EXPECT_FALSE(dialog->Option2(0).value());
    EXPECT_TRUE(dialog->Option2(1).value());
    expectListsShow(*dialog, kCityEn);
}

// Values a control cannot take are shown as the nearest it can.
struct OddValueCase {
    const char* name;
    const char* userSections;
    int16_t relocation;
    int16_t blinkInterval;
    int16_t check1;  // row 0
    int32_t city;    // row 0
    int16_t blink;   // row 0
};

void PrintTo(const OddValueCase& c, std::ostream* out) { *out << c.name; }

class SettingOddValues : public SettingTest, public testing::WithParamInterface<OddValueCase> { };

TEST_P(SettingOddValues, ShowWithoutARunTimeError)
{
    const auto& c = GetParam();
    writeSettings(c.userSections);
    auto dialog = open();

    ASSERT_TRUE(dialog->loaded());
    EXPECT_EQ(dialog->HScroll2.value(), c.relocation);
    EXPECT_EQ(dialog->Label4.caption(), std::to_string(c.relocation) + "秒");
    EXPECT_EQ(dialog->HScroll1.value(), c.blinkInterval);
    EXPECT_EQ(dialog->Label5.caption(), std::to_string(c.blinkInterval) + "秒");
    EXPECT_EQ(dialog->Check1(0).value(), c.check1);
    EXPECT_EQ(dialog->Combo1(0).listIndex(), c.city);
    EXPECT_EQ(dialog->Check2(0).visible(), c.check1 == 1);
    EXPECT_EQ(dialog->Check2(0).value(), c.blink);
    EXPECT_TRUE(boxes.shown.empty());
}

const OddValueCase kOddValues[] {
    { "IntervalsAboveTheirRange", "[PROC_INFO]\nRND_INTERVAL=100000\nMARK_INTERVAL=11\n", 60, 10, 0, 0, 0 },
    { "IntervalsBelowTheirRange", "[PROC_INFO]\nRND_INTERVAL=4\nMARK_INTERVAL=-3\n", 5, 1, 0, 0, 0 },
    { "IntervalsAtTheirLimits", "[PROC_INFO]\nRND_INTERVAL=5\nMARK_INTERVAL=10\n", 5, 10, 0, 0, 0 },
    { "BlinkFlagTwoIsSteady", "[SELECT_CITY]\nCity_SelectNo0=2\nCity_MarkNo0=2\n", 60, 1, 1, 2, 0 },
    { "BlinkFlagNeverSavedIsSteady", "[SELECT_CITY]\nCity_SelectNo0=2\n", 60, 1, 1, 2, 0 },
    { "CityBeyondTheCatalogueIsAnEmptyRow", "[SELECT_CITY]\nCity_SelectNo0=6\nCity_MarkNo0=1\n", 60, 1, 0, 0, 0 },
    { "NegativeCityIsAnEmptyRow", "[SELECT_CITY]\nCity_SelectNo0=-5\nCity_MarkNo0=1\n", 60, 1, 0, 0, 0 },
    { "LastRecordIsACity", "[SELECT_CITY]\nCity_SelectNo0=5\nCity_MarkNo0=1\n", 60, 1, 1, 5, 1 },
};

INSTANTIATE_TEST_SUITE_P(Settings, SettingOddValues, testing::ValuesIn(kOddValues),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(SettingTest, AnOddRowIsSavedAsEmpty)
{
    writeSettings("[SELECT_CITY]\nCity_SelectNo0=6\nCity_MarkNo0=1\n");
    auto dialog = open();
    dialog->Command1.click();

    EXPECT_FALSE(dialog->loaded());
    EXPECT_EQ(savedCity(0), -1);
    EXPECT_EQ(savedMark(0), 0);
}

TEST_F(SettingTest, ApplySavesEveryChoiceAndASecondLoadShowsThem)
{
    writeSettings("");
    {
        auto dialog = open();
        dialog->Check1(0).setValue(1);
        dialog->Combo1(0).setListIndex(3);
        dialog->Check2(0).setValue(1);
        dialog->Check1(4).setValue(1);
        dialog->Combo1(4).setListIndex(5);
        dialog->Option3(4).setValue(true);
        // A row checked and left on its list's first item stores record 0.
        dialog->Check1(7).setValue(1);
        // A blink box checked on an unchecked row is saved as 0.
        dialog->Check2(8).setValue(1);
        dialog->HScroll2.setValue(17);
        dialog->HScroll1.setValue(7);
        dialog->Option1(0).setValue(true);
        dialog->Option2(1).setValue(true);
        dialog->Command1.click();

        EXPECT_FALSE(dialog->loaded());
        EXPECT_TRUE(boxes.shown.empty());
    }

    EXPECT_EQ(savedHome(), 5);
    EXPECT_EQ(savedCity(0), 3);
    EXPECT_EQ(savedMark(0), 1);
    EXPECT_EQ(savedCity(4), 5);
    EXPECT_EQ(savedMark(4), 0);
    EXPECT_EQ(savedCity(7), 0);
    EXPECT_EQ(savedCity(8), -1);
    EXPECT_EQ(savedMark(8), 0);
    EXPECT_EQ(saved("PROC_INFO", "RND_INTERVAL"), 17);
    EXPECT_EQ(saved("PROC_INFO", "MARK_INTERVAL"), 7);
    EXPECT_EQ(saved("PROC_INFO", "Lang_Select0"), -1);
    EXPECT_EQ(saved("PROC_INFO", "Lang_Select1"), 0);
    EXPECT_EQ(saved("PROC_INFO", "Print_Name0"), 0);
    EXPECT_EQ(saved("PROC_INFO", "Print_Name1"), -1);

    auto again = open();
    for (int i = 0; i < kRows; ++i) {
        SCOPED_TRACE("row " + std::to_string(i));
        bool used = i == 0 || i == 4 || i == 7;
        EXPECT_EQ(again->Check1(i).value(), used ? 1 : 0);
        EXPECT_EQ(again->Check2(i).visible(), used);
        EXPECT_EQ(again->Check2(i).value(), i == 0 ? 1 : 0);
        EXPECT_EQ(again->Option3(i).value(), i == 4);
    }
    EXPECT_EQ(again->Combo1(0).listIndex(), 3);
    EXPECT_EQ(again->Combo1(4).listIndex(), 5);
    EXPECT_EQ(again->Combo1(7).listIndex(), 0);
    EXPECT_EQ(again->HScroll2.value(), 17);
    EXPECT_EQ(again->HScroll1.value(), 7);
    EXPECT_TRUE(again->Option1(0).value());
    EXPECT_TRUE(again->Option2(1).value());
    expectListsShow(*again, kCityJa);
}

// Every way of closing without 設定 leaves the file as it was, byte for byte.
struct CloseCase {
    const char* name;
    void (*close)(Setting&);
};

void PrintTo(const CloseCase& c, std::ostream* out) { *out << c.name; }

class SettingClosedWithoutApply : public SettingTest, public testing::WithParamInterface<CloseCase> { };

TEST_P(SettingClosedWithoutApply, LeavesTheFileUnchanged)
{
    // Comments, spacing and a missing key that a write would add.
    writeSettings("[SELECT_CITY]\r\n; home\r\nTimeZone = 1\r\nCity_SelectNo0=1\r\n"
                  "[PROC_INFO]\r\nRND_INTERVAL=30\r\n");
    const std::string before = fileBytes();
    auto dialog = open();
    dialog->Check1(0).setValue(0);
    dialog->Check1(2).setValue(1);
    dialog->Combo1(2).setListIndex(4);
    dialog->HScroll2.setValue(9);
    dialog->Option1(0).setValue(true);

    GetParam().close(*dialog);

    EXPECT_FALSE(dialog->loaded());
    EXPECT_EQ(fileBytes(), before);
}

const CloseCase kCloseCases[] {
    { "Cancel", [](Setting& dialog) { dialog.Command2.click(); } },
    { "EscOnFirstRow",
      [](Setting& dialog) {
          dialog.Check1(0).setFocus();
          platform::pressKeyForTesting(dialog, 27);
      } },
    { "EscInACityList",
      [](Setting& dialog) {
          dialog.Combo1(2).setFocus();
          platform::pressKeyForTesting(dialog, 27);
      } },
    { "EscOnAScrollBar",
      [](Setting& dialog) {
          dialog.HScroll1.setFocus();
          platform::pressKeyForTesting(dialog, 27);
      } },
    { "EscOnApply",
      [](Setting& dialog) {
          dialog.Command1.setFocus();
          platform::pressKeyForTesting(dialog, 27);
      } },
    { "CloseBox", [](Setting& dialog) { dialog.deliverClose(); } },
};

INSTANTIATE_TEST_SUITE_P(Settings, SettingClosedWithoutApply, testing::ValuesIn(kCloseCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(SettingTest, EnterDoesNotApply)
{
    writeSettings("");
    const std::string before = fileBytes();
    auto dialog = open();
    dialog->Check1(0).setFocus();
    platform::pressKeyForTesting(*dialog, 13);

    EXPECT_TRUE(dialog->loaded());
    EXPECT_EQ(fileBytes(), before);
}

TEST_F(SettingTest, CheckingARowShowsItsControlsAndUncheckingHidesThem)
{
    writeSettings("[SELECT_CITY]\nTimeZone=2\nCity_SelectNo1=2\nCity_MarkNo1=1\n");
    auto dialog = open();

    dialog->Check1(5).setValue(1);
    EXPECT_TRUE(dialog->Check2(5).visible());
    EXPECT_TRUE(dialog->Option3(5).visible());

    dialog->Check1(1).setValue(0);
    EXPECT_FALSE(dialog->Check2(1).visible());
    EXPECT_FALSE(dialog->Option3(1).visible());
    // Hidden, not cleared.
    EXPECT_EQ(dialog->Check2(1).value(), 1);
    EXPECT_TRUE(dialog->Option3(1).value());
}

// The home city: the later of two rows with it wins; an unchecked home row
// is skipped; the home city follows the row, not the city.
struct HomeCase {
    const char* name;
    const char* userSections;
    void (*edit)(Setting&);
    int homeRowAtLoad; // -1: no row's button selected
    int32_t savedHome;
};

void PrintTo(const HomeCase& c, std::ostream* out) { *out << c.name; }

class SettingHomeCity : public SettingTest, public testing::WithParamInterface<HomeCase> { };

TEST_P(SettingHomeCity, FollowsTheRules)
{
    const auto& c = GetParam();
    writeSettings(c.userSections);
    auto dialog = open();
    for (int i = 0; i < kRows; ++i)
        EXPECT_EQ(dialog->Option3(i).value(), i == c.homeRowAtLoad) << "row " << i;

    c.edit(*dialog);
    dialog->Command1.click();

    EXPECT_FALSE(dialog->loaded());
    EXPECT_EQ(savedHome(), c.savedHome);
}

const HomeCase kHomeCases[] {
    { "TwoRowsWithTheHomeCityTheLaterWins", "[SELECT_CITY]\nTimeZone=2\nCity_SelectNo1=2\nCity_SelectNo3=2\n",
      [](Setting&) {}, 3, 2 },
    { "NoRowWithTheHomeCityKeepsIt", "[SELECT_CITY]\nTimeZone=3\nCity_SelectNo0=1\nCity_SelectNo1=2\n",
      [](Setting&) {}, -1, 3 },
    { "UncheckedHomeRowKeepsTheHomeCity", "[SELECT_CITY]\nTimeZone=4\nCity_SelectNo2=4\nCity_SelectNo5=1\n",
      [](Setting& dialog) {
          dialog.Check1(2).setValue(0);
          EXPECT_FALSE(dialog.Option3(2).visible());
          EXPECT_TRUE(dialog.Option3(2).value());
      },
      2, 4 },
    { "HomeRowWithAnotherCityMovesTheHomeCity", "[SELECT_CITY]\nTimeZone=4\nCity_SelectNo2=4\n",
      [](Setting& dialog) { dialog.Combo1(2).setListIndex(5); }, 2, 5 },
    { "AnotherRowChosenAsHome", "[SELECT_CITY]\nTimeZone=4\nCity_SelectNo2=4\nCity_SelectNo6=1\n",
      [](Setting& dialog) {
          dialog.Option3(6).setValue(true);
          EXPECT_FALSE(dialog.Option3(2).value());
      },
      2, 1 },
};

INSTANTIATE_TEST_SUITE_P(Settings, SettingHomeCity, testing::ValuesIn(kHomeCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(SettingTest, LanguageAndNameKindRewriteEveryListAndKeepEachSelection)
{
    writeSettings("[SELECT_CITY]\nCity_SelectNo0=1\nCity_SelectNo3=4\nCity_SelectNo9=5\n");
    auto dialog = open();
    // The user picks cities in two more rows, one of them empty.
    dialog->Combo1(5).setListIndex(2);
    dialog->Check1(6).setValue(1);
    dialog->Combo1(6).setListIndex(3);
    std::vector<int32_t> selected;
    for (int i = 0; i < kRows; ++i)
        selected.push_back(dialog->Combo1(i).listIndex());

    struct Click {
        const char* name;
        platform::OptionButton& button;
        const std::vector<std::string>& names;
    };
    const Click clicks[] {
        { "日本語", dialog->Option1(0), kCityJa },  { "国名", dialog->Option2(0), kCountryJa },
        { "英語", dialog->Option1(1), kCountryEn }, { "都市名", dialog->Option2(1), kCityEn },
        { "国名", dialog->Option2(0), kCountryEn }, { "日本語", dialog->Option1(0), kCountryJa },
    };
    for (const auto& click : clicks) {
        SCOPED_TRACE(click.name);
        click.button.setValue(true);
        platform::Runtime::current().processPendingEvents();
        expectListsShow(*dialog, click.names);
        for (int i = 0; i < kRows; ++i) {
            EXPECT_EQ(dialog->Combo1(i).listIndex(), selected[i]) << "row " << i;
            EXPECT_EQ(dialog->Combo1(i).text(), click.names[selected[i]]) << "row " << i;
            EXPECT_TRUE(dialog->Combo1(i).visible()) << "row " << i;
        }
    }

    dialog->Command1.click();
    EXPECT_EQ(savedCity(0), 1);
    EXPECT_EQ(savedCity(3), 4);
    EXPECT_EQ(savedCity(5), -1);
    EXPECT_EQ(savedCity(6), 3);
    EXPECT_EQ(savedCity(9), 5);
}

// Typing into a city list: an exact name selects its city, a text that
// names none is dropped when the list loses the focus or at 設定, so 設定
// never stores -1 for a checked row.
TEST_F(SettingTest, TypingAnExactNameSelectsThatCity)
{
    writeSettings("[SELECT_CITY]\nCity_SelectNo0=1\n");
    auto dialog = open();
    auto& list = dialog->Combo1(0);
    list.setFocus();
    list.setText("");
    platform::typeForTesting(list, "Par");
    EXPECT_EQ(list.listIndex(), -1);
    platform::typeForTesting(list, "is");
    EXPECT_EQ(list.text(), "Paris");
    EXPECT_EQ(list.listIndex(), 5);

    dialog->Command1.click();
    EXPECT_EQ(savedCity(0), 5);
}

TEST_F(SettingTest, TypingASharedNameKeepsTheSelectedCityThatHasIt)
{
    writeSettings("[SELECT_CITY]\nCity_SelectNo0=4\nCity_SelectNo1=1\n[PROC_INFO]\nPrint_Name0=-1\n");
    auto dialog = open();
    ASSERT_EQ(dialog->Combo1(0).text(), "United States");

    for (int row : { 0, 1 }) {
        dialog->Combo1(row).setFocus();
        dialog->Combo1(row).setText("");
        platform::typeForTesting(dialog->Combo1(row), "United States");
    }
    // Row 0 stood on the second city of that country and stays there; row 1
    // takes the first.
    EXPECT_EQ(dialog->Combo1(0).listIndex(), 4);
    EXPECT_EQ(dialog->Combo1(1).listIndex(), 3);
}

TEST_F(SettingTest, LeavingAListWithAnUnknownNamePutsBackItsCity)
{
    writeSettings("[SELECT_CITY]\nCity_SelectNo0=1\n");
    auto dialog = open();
    auto& list = dialog->Combo1(0);
    list.setFocus();
    platform::typeForTesting(list, "xyz");
    EXPECT_EQ(list.text(), "Tokyoxyz");
    EXPECT_EQ(list.listIndex(), -1);

    dialog->Check2(0).setFocus();
    platform::Runtime::current().processPendingEvents();

    EXPECT_EQ(list.text(), "Tokyo");
    EXPECT_EQ(list.listIndex(), 1);
}

TEST_F(SettingTest, ApplyWithAnUnknownNameInAListSavesTheRowsCity)
{
    // Row 2 is the home row: its city must not become -1 either.
    writeSettings("[SELECT_CITY]\nTimeZone=3\nCity_SelectNo2=3\n");
    auto dialog = open();
    auto& list = dialog->Combo1(2);
    list.setFocus();
    list.setText("");
    platform::typeForTesting(list, "Atlantis");
    ASSERT_EQ(list.listIndex(), -1);

    dialog->Command1.click();

    EXPECT_FALSE(dialog->loaded());
    EXPECT_EQ(savedCity(2), 3);
    EXPECT_EQ(savedHome(), 3);
}

TEST_F(SettingTest, ARefusedWriteKeepsTheDialogAndTheFile)
{
    writeSettings("[SELECT_CITY]\nTimeZone=1\nCity_SelectNo0=1\n");
    const std::string path = folder.file("zandreth.ini");
    ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
    const std::string before = fileBytes();
    auto dialog = open();
    dialog->Check1(3).setValue(1);
    dialog->Combo1(3).setListIndex(2);
    dialog->Option3(3).setValue(true);
    dialog->HScroll2.setValue(25);

    dialog->Command1.click();

    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].icon, platform::MessageBoxIcon::Exclamation);
    EXPECT_EQ(boxes.shown[0].title, "Zandreth");
    EXPECT_EQ(boxes.shown[0].text, "設定を保存できませんでした。\n\n" + path + "\n\nファイルが読み取り専用になっています。");
    EXPECT_TRUE(dialog->loaded());
    EXPECT_EQ(fileBytes(), before);
    // The user's choices are still there; the settings in memory are the
    // file's again.
    EXPECT_EQ(dialog->Check1(3).value(), 1);
    EXPECT_EQ(dialog->Combo1(3).listIndex(), 2);
    EXPECT_TRUE(dialog->Option3(3).value());
    EXPECT_EQ(dialog->HScroll2.value(), 25);
    EXPECT_EQ(zandreth::SelectedCity[3].SelectNo, -1);
    EXPECT_EQ(zandreth::Settings.HomeCity, 1);

    // Once the file can be written, 設定 saves and closes.
    ASSERT_EQ(::chmod(path.c_str(), 0644), 0);
    dialog->Command1.click();
    EXPECT_EQ(boxes.shown.size(), 1u);
    EXPECT_FALSE(dialog->loaded());
    EXPECT_EQ(savedCity(3), 2);
    EXPECT_EQ(savedHome(), 2);
    EXPECT_EQ(saved("PROC_INFO", "RND_INTERVAL"), 25);
}

// The reason of a failed save is told in Japanese; only a cause the program
// does not know is told in the system's own words.
struct SaveFailureCase {
    const char* name;
    // Makes the next save fail; gets the settings file's path.
    std::function<void(const std::string&)> breakTheSave;
    std::string reason;
};

void PrintTo(const SaveFailureCase& c, std::ostream* out)
{
    *out << c.name;
}

class SettingSaveFailure : public SettingTest, public testing::WithParamInterface<SaveFailureCase> {
protected:
    void TearDown() override
    {
        std::filesystem::remove_all(folder.file("zandreth.ini"));
        SettingTest::TearDown();
    }
};

TEST_P(SettingSaveFailure, SaysWhyInJapanese)
{
    writeSettings("");
    const std::string path = folder.file("zandreth.ini");
    auto dialog = open();
    GetParam().breakTheSave(path);

    dialog->Command1.click();

    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, "設定を保存できませんでした。\n\n" + path + "\n\n" + GetParam().reason);
    EXPECT_TRUE(dialog->loaded());
}

void failNext(platform::FileReplaceStep step, int errorNumber)
{
    platform::failNextFileReplaceStepForTesting(step, errorNumber);
}

const SaveFailureCase kSaveFailureCases[] = {
    { "ReadOnlyFile", [](const std::string& path) { ::chmod(path.c_str(), 0444); },
      "ファイルが読み取り専用になっています。" },
    { "ReadOnlyFolder", [](const std::string&) { failNext(platform::FileReplaceStep::CreateTemporary, EACCES); },
      "ファイルのあるフォルダーが読み取り専用になっています。" },
    { "ReadOnlyDisk", [](const std::string&) { failNext(platform::FileReplaceStep::CreateTemporary, EROFS); },
      "ファイルのあるディスクが読み取り専用になっています。" },
    { "DiskFull", [](const std::string&) { failNext(platform::FileReplaceStep::Write, ENOSPC); },
      "ディスクの空き領域が足りません。" },
    { "QuotaExceeded", [](const std::string&) { failNext(platform::FileReplaceStep::Sync, EDQUOT); },
      "ディスクの空き領域が足りません。" },
    { "PermissionDenied", [](const std::string&) { failNext(platform::FileReplaceStep::Rename, EPERM); },
      "ファイルへのアクセスが拒否されました。" },
    { "FolderInItsPlace",
      [](const std::string& path) {
          std::filesystem::remove(path);
          std::filesystem::create_directory(path);
      },
      "ファイルの場所に、ファイルではないもの（フォルダーなど）があります。" },
    { "PipeInItsPlace",
      [](const std::string& path) {
          std::filesystem::remove(path);
          ::mkfifo(path.c_str(), 0644);
      },
      "ファイルの場所に、ファイルではないもの（フォルダーなど）があります。" },
    { "UnknownCause", [](const std::string&) { failNext(platform::FileReplaceStep::Sync, EIO); },
      std::strerror(EIO) },
};

INSTANTIATE_TEST_SUITE_P(Settings, SettingSaveFailure, testing::ValuesIn(kSaveFailureCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(SettingTest, AMissingCatalogueUnloadsTheDialog)
{
    folder.write("zandreth.ini", "[SELECT_CITY]\nCity_SelectNo0=1\n");
    auto dialog = open();

    EXPECT_FALSE(dialog->loaded());
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].icon, platform::MessageBoxIcon::Critical);
}

// The focus starts on the first row's box and Tab runs across the rows, then
// the options, the bars and the buttons; hidden controls are skipped.
class SettingTabOrder : public SettingTest {
protected:
    std::vector<std::pair<std::string, platform::Control*>> focusable(Setting& dialog)
    {
        std::vector<std::pair<std::string, platform::Control*>> controls;
        for (int i = 0; i < kRows; ++i) {
            std::string index = "(" + std::to_string(i) + ")";
            controls.emplace_back("Check1" + index, &dialog.Check1(i));
            controls.emplace_back("Combo1" + index, &dialog.Combo1(i));
            controls.emplace_back("Check2" + index, &dialog.Check2(i));
            controls.emplace_back("Option3" + index, &dialog.Option3(i));
        }
        controls.emplace_back("Option1(0)", &dialog.Option1(0));
        controls.emplace_back("Option1(1)", &dialog.Option1(1));
        controls.emplace_back("Option2(0)", &dialog.Option2(0));
        controls.emplace_back("Option2(1)", &dialog.Option2(1));
        controls.emplace_back("HScroll2", &dialog.HScroll2);
        controls.emplace_back("HScroll1", &dialog.HScroll1);
        controls.emplace_back("Command1", &dialog.Command1);
        controls.emplace_back("Command2", &dialog.Command2);
        controls.emplace_back("Command3", &dialog.Command3);
        // The frame of the two choices added to the dialog comes after all
        // of the controls above.
        controls.emplace_back("Check3", &dialog.Check3);
        controls.emplace_back("Check4", &dialog.Check4);
        return controls;
    }

    std::string focused(Setting& dialog)
    {
        std::string names;
        for (auto& [name, control] : focusable(dialog))
            if (control->hasFocus())
                names += (names.empty() ? "" : ",") + name;
        return names.empty() ? "(none)" : names;
    }

    // The controls the focus visits from the start, one Tab at a time, until
    // it comes back to where it started.
    std::vector<std::string> tour(Setting& dialog)
    {
        std::vector<std::string> visited { focused(dialog) };
        for (int step = 0; step < 60; ++step) {
            platform::pressKeyForTesting(dialog, 9);
            std::string now = focused(dialog);
            if (now == visited.front())
                break;
            visited.push_back(now);
        }
        return visited;
    }
};

TEST_F(SettingTabOrder, AllRowsInUse)
{
    std::string rows = "[SELECT_CITY]\n";
    for (int i = 0; i < kRows; ++i)
        rows += "City_SelectNo" + std::to_string(i) + "=1\n";
    writeSettings(rows);
    auto dialog = open();

    std::vector<std::string> expected;
    for (auto& [name, control] : focusable(*dialog))
        expected.push_back(name);
    EXPECT_EQ(tour(*dialog), expected);
}

TEST_F(SettingTabOrder, EmptyRowsAreSkipped)
{
    writeSettings("[SELECT_CITY]\nCity_SelectNo1=1\n");
    auto dialog = open();

    std::vector<std::string> expected;
    for (auto& [name, control] : focusable(*dialog)) {
        bool rowControl = name.rfind("Check2", 0) == 0 || name.rfind("Option3", 0) == 0;
        if (!rowControl || name.ends_with("(1)"))
            expected.push_back(name);
    }
    EXPECT_EQ(tour(*dialog), expected);
}

// The scroll bars' keys, as in Windows: Left and Up lower the value by the
// small change, Right and Down raise it, Page Up and Page Down move by the
// large change, Home and End go to the ends; each change echoes the value.
struct ScrollKeyCase {
    const char* name;
    int16_t keyCode;
    int16_t start;
    int16_t relocation;
    int16_t blink;
};

void PrintTo(const ScrollKeyCase& c, std::ostream* out)
{
    *out << c.name;
}

class SettingScrollKeys : public SettingTest, public testing::WithParamInterface<ScrollKeyCase> { };

TEST_P(SettingScrollKeys, MoveTheFocusedBar)
{
    const ScrollKeyCase& c = GetParam();
    writeSettings("[PROC_INFO]\nRND_INTERVAL=" + std::to_string(c.start) + "\nMARK_INTERVAL=5\n");
    auto dialog = open();

    dialog->HScroll2.setFocus();
    platform::pressKeyForTesting(*dialog, c.keyCode);
    EXPECT_EQ(dialog->HScroll2.value(), c.relocation);
    EXPECT_EQ(dialog->Label4.caption(), std::to_string(c.relocation) + "秒");

    dialog->HScroll1.setFocus();
    platform::pressKeyForTesting(*dialog, c.keyCode);
    EXPECT_EQ(dialog->HScroll1.value(), c.blink);
    EXPECT_EQ(dialog->Label5.caption(), std::to_string(c.blink) + "秒");
    EXPECT_TRUE(dialog->loaded());
}

const ScrollKeyCase kScrollKeyCases[] = {
    { "Left", 37, 30, 29, 4 },     { "Up", 38, 30, 29, 4 },      { "Right", 39, 30, 31, 6 },
    { "Down", 40, 30, 31, 6 },     { "PageUp", 33, 30, 29, 4 },  { "PageDown", 34, 30, 31, 6 },
    { "Home", 36, 30, 5, 1 },      { "End", 35, 30, 60, 10 },    { "LeftAtTheStart", 37, 5, 5, 4 },
    { "RightAtTheEnd", 39, 60, 60, 6 },
};

INSTANTIATE_TEST_SUITE_P(Settings, SettingScrollKeys, testing::ValuesIn(kScrollKeyCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(SettingTest, AFocusedScrollBarShowsItsFocus)
{
    writeSettings("");
    auto dialog = open();
    platform::Runtime::current().processPendingEvents();
    const auto unfocused = platform::pixelsForTesting(dialog->HScroll2);

    dialog->HScroll2.setFocus();
    platform::Runtime::current().processPendingEvents();
    ASSERT_TRUE(dialog->HScroll2.hasFocus());
    EXPECT_TRUE(platform::pixelsForTesting(dialog->HScroll2) != unfocused) << "the focused bar looks different";

    dialog->HScroll1.setFocus();
    platform::Runtime::current().processPendingEvents();
    EXPECT_TRUE(platform::pixelsForTesting(dialog->HScroll2) == unfocused) << "the mark goes with the focus";
}

// Enter on a focused button presses it, as Space does; there is still no
// default button (see EnterDoesNotApply).
TEST_F(SettingTest, EnterOnAFocusedButtonPressesIt)
{
    writeSettings("");
    auto dialog = open();
    dialog->Check1(2).setValue(1);
    dialog->Combo1(2).setListIndex(4);

    const std::string before = fileBytes();
    dialog->Command2.setFocus();
    platform::pressKeyForTesting(*dialog, 13);
    EXPECT_FALSE(dialog->loaded()) << "キャンセル closed the dialog";
    EXPECT_EQ(fileBytes(), before);

    auto again = open();
    again->Check1(2).setValue(1);
    again->Combo1(2).setListIndex(4);
    again->Command1.setFocus();
    platform::pressKeyForTesting(*again, 13);
    EXPECT_FALSE(again->loaded()) << "設定 saved and closed the dialog";
    EXPECT_EQ(savedCity(2), 4);
}

// A name longer than its list's field shows from its start, as the short
// name that begins the same way does: the left of both fields looks alike.
TEST_F(SettingTest, ALongNameShowsItsStart)
{
    folder.write("zandreth.ini",
                 "[MAP_INFO]\nNUMBER_OF_CITY=2\n"
                 "CODE_0=UTC,UTC,UTC,UTC,0,0.00,0.00\n"
                 "CODE_1=シント・マールテン,ローワー・プリンセズ・クウォーター・オブ・シント・マールテン,Sint Maarten,"
                 "Lower Prince's Quarter of Sint Maarten by the Great Salt Pond,-14400,-63.05,-18.05\n"
                 "CODE_2=シント・マールテン,ローワー,Sint Maarten,Lower,-14400,-63.05,-18.05\n"
                 "[SELECT_CITY]\nCity_SelectNo0=1\nCity_SelectNo1=2\n");
    auto dialog = open();

    auto leftOfTheField = [&](int row) {
        platform::Runtime::current().processPendingEvents();
        auto pixels = platform::pixelsForTesting(dialog->Combo1(row));
        for (auto& line : pixels)
            line.resize(std::min<std::size_t>(line.size(), 40));
        return pixels;
    };
    ASSERT_FALSE(dialog->Combo1(0).hasFocus());
    EXPECT_TRUE(leftOfTheField(0) == leftOfTheField(1)) << dialog->Combo1(0).text();

    // The lists rewritten in Japanese show the start of the new name too.
    dialog->Option1(0).setValue(true);
    EXPECT_EQ(dialog->Combo1(0).text(), "ローワー・プリンセズ・クウォーター・オブ・シント・マールテン");
    EXPECT_TRUE(leftOfTheField(0) == leftOfTheField(1));

    // So does a list the user has left.
    dialog->Combo1(0).setFocus();
    dialog->Check2(0).setFocus();
    EXPECT_TRUE(leftOfTheField(0) == leftOfTheField(1));
}

// The two choices of the frame at the lower right: 昼夜を表示 (DAY_NIGHT)
// and 夏時間を使う (SUMMER_TIME).

struct Rectangle {
    float left, top, right, bottom;
};

// A control's rectangle in the dialog's client area, in twips.
Rectangle onDialog(const platform::Control& control, float frameLeft = 0, float frameTop = 0)
{
    return { frameLeft + control.left(), frameTop + control.top(), frameLeft + control.left() + control.width(),
             frameTop + control.top() + control.height() };
}

bool overlap(const Rectangle& a, const Rectangle& b)
{
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

TEST_F(SettingTest, TheChoicesSitInAFrameOfTheirOwnInTheFreeCorner)
{
    writeSettings("");
    auto dialog = open();

    EXPECT_EQ(&dialog->Check3.container(), &dialog->Frame5);
    EXPECT_EQ(&dialog->Check4.container(), &dialog->Frame5);
    EXPECT_EQ(dialog->Frame5.caption(), "表示オプション");
    EXPECT_EQ(dialog->Check3.caption(), "昼夜を表示");
    EXPECT_EQ(dialog->Check4.caption(), "夏時間を使う");
    EXPECT_FALSE(dialog->Check3.toolTipText().empty());
    EXPECT_FALSE(dialog->Check4.toolTipText().empty());
    EXPECT_TRUE(dialog->Check3.shownInForm());
    EXPECT_TRUE(dialog->Check4.shownInForm());

    // Inside the client area (7665 x 6690), clear of every control that
    // lies on the dialog itself; the two boxes inside their frame.
    const Rectangle frame = onDialog(dialog->Frame5);
    EXPECT_GE(frame.left, 0);
    EXPECT_GE(frame.top, 0);
    EXPECT_LE(frame.right, 7665);
    EXPECT_LE(frame.bottom, 6690);
    std::vector<std::pair<std::string, Rectangle>> others {
        { "Frame1", onDialog(dialog->Frame1) },     { "Frame2", onDialog(dialog->Frame2) },
        { "Command1", onDialog(dialog->Command1) }, { "Command2", onDialog(dialog->Command2) },
        { "Command3", onDialog(dialog->Command3) },
    };
    for (int i = 0; i < kRows; ++i) {
        const std::string index = "(" + std::to_string(i) + ")";
        others.emplace_back("Check1" + index, onDialog(dialog->Check1(i)));
        others.emplace_back("Combo1" + index, onDialog(dialog->Combo1(i)));
        others.emplace_back("Check2" + index, onDialog(dialog->Check2(i)));
    }
    for (const auto& [name, rectangle] : others)
        EXPECT_FALSE(overlap(frame, rectangle)) << name;
    for (const platform::CheckBox* box : { &dialog->Check3, &dialog->Check4 }) {
        const Rectangle inside = onDialog(*box, frame.left, frame.top);
        EXPECT_GT(inside.left, frame.left);
        EXPECT_GT(inside.top, frame.top);
        EXPECT_LT(inside.right, frame.right);
        EXPECT_LT(inside.bottom, frame.bottom);
    }
    EXPECT_FALSE(overlap(onDialog(dialog->Check3), onDialog(dialog->Check4)));

    // After every control of the original dialog in the tab order, frames
    // and labels included.
    EXPECT_EQ(dialog->Check3.tabIndex(), 60);
    EXPECT_EQ(dialog->Check4.tabIndex(), 61);
    EXPECT_EQ(dialog->Frame5.tabIndex(), 62);
}

struct ChoiceLoadCase {
    const char* name;
    const char* procInfo;
    int16_t dayNight;
    int16_t summerTime;
};

void PrintTo(const ChoiceLoadCase& c, std::ostream* out) { *out << c.name; }

class SettingChoicesAtLoad : public SettingTest, public testing::WithParamInterface<ChoiceLoadCase> { };

TEST_P(SettingChoicesAtLoad, CheckABoxOnlyForExactlyOne)
{
    const auto& c = GetParam();
    writeSettings(std::string("[PROC_INFO]\n") + c.procInfo);
    auto dialog = open();

    ASSERT_TRUE(dialog->loaded());
    EXPECT_EQ(dialog->Check3.value(), c.dayNight);
    EXPECT_EQ(dialog->Check4.value(), c.summerTime);
    EXPECT_TRUE(boxes.shown.empty());
}

const ChoiceLoadCase kChoiceLoadCases[] {
    { "Missing", "", 0, 0 },
    { "BothOn", "DAY_NIGHT=1\nSUMMER_TIME=1\n", 1, 1 },
    { "DayNightOnly", "DAY_NIGHT=1\n", 1, 0 },
    { "SummerTimeOnly", "SUMMER_TIME=1\n", 0, 1 },
    { "BothOff", "DAY_NIGHT=0\nSUMMER_TIME=0\n", 0, 0 },
    { "TrueOfTheOtherOptions", "DAY_NIGHT=-1\nSUMMER_TIME=-1\n", 0, 0 },
    { "NotNumbers", "DAY_NIGHT=on\nSUMMER_TIME=\n", 0, 0 },
    { "BeyondSixteenBits", "DAY_NIGHT=65537\nSUMMER_TIME=99999999999\n", 0, 0 },
};

INSTANTIATE_TEST_SUITE_P(Settings, SettingChoicesAtLoad, testing::ValuesIn(kChoiceLoadCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(SettingTest, ApplySavesTheChoicesAndASecondLoadShowsThem)
{
    writeSettings("");
    {
        auto dialog = open();
        dialog->Check3.setValue(1);
        dialog->Check4.setValue(1);
        dialog->Command1.click();
        EXPECT_FALSE(dialog->loaded());
    }
    EXPECT_EQ(saved("PROC_INFO", "DAY_NIGHT"), 1);
    EXPECT_EQ(saved("PROC_INFO", "SUMMER_TIME"), 1);
    EXPECT_EQ(zandreth::DayNight, 1);
    EXPECT_EQ(zandreth::SummerTime, 1);
    {
        auto again = open();
        EXPECT_EQ(again->Check3.value(), 1);
        EXPECT_EQ(again->Check4.value(), 1);
        again->Check3.setValue(0);
        again->Command1.click();
    }
    EXPECT_EQ(saved("PROC_INFO", "DAY_NIGHT"), 0) << "a key in the file is kept, and stores the choice";
    EXPECT_EQ(saved("PROC_INFO", "SUMMER_TIME"), 1);
    auto third = open();
    EXPECT_EQ(third->Check3.value(), 0);
    EXPECT_EQ(third->Check4.value(), 1);
}

TEST_F(SettingTest, ApplyWithBothChoicesOffAddsNeitherKey)
{
    writeSettings("[SELECT_CITY]\nTimeZone=1\n[PROC_INFO]\nRND_INTERVAL=30\n");
    auto dialog = open();
    dialog->Command1.click();

    EXPECT_FALSE(dialog->loaded());
    const std::string written = fileBytes();
    EXPECT_EQ(written.find("DAY_NIGHT"), std::string::npos) << written;
    EXPECT_EQ(written.find("SUMMER_TIME"), std::string::npos) << written;
    EXPECT_EQ(saved("PROC_INFO", "RND_INTERVAL"), 30);
}

TEST_F(SettingTest, ARefusedWriteKeepsTheChoicesOfTheFileInMemory)
{
    writeSettings("[PROC_INFO]\nSUMMER_TIME=1\n");
    const std::string path = folder.file("zandreth.ini");
    ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
    auto dialog = open();
    dialog->Check3.setValue(1);
    dialog->Check4.setValue(0);

    dialog->Command1.click();

    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_TRUE(dialog->loaded());
    EXPECT_EQ(dialog->Check3.value(), 1);
    EXPECT_EQ(dialog->Check4.value(), 0);
    EXPECT_EQ(zandreth::DayNight, 0);
    EXPECT_EQ(zandreth::SummerTime, 1);
}

} // namespace
