// Start-up, the end of a run and the running display of Form1, driven the
// way the forms runtime drives them, on small catalogues in temporary folders.

#include "app/form1.h"

#include "data/app_path.h"
#include "data/city_catalogue.h"
#include "data/saved_settings.h"
#include "platform/forms/app.h"
#include "platform/forms/cursor.h"
#include "platform/forms/input_method.h"
#include "platform/runtime/random.h"
#include "platform/forms/runtime.h"
#include "platform/system/files.h"
#include "platform/runtime/system_time.h"
#include "platform/testing/hooks.h"
#include "support/fixture.h"
#include "support/message_box_recorder.h"
#include "support/program_state.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <fstream>
#include <string>

namespace {

using testing_support::MessageBoxRecorder;
using testing_support::TempDir;
using zandreth::Form1;

using testing_support::fixture;

class Form1Test : public testing_support::FreshProgramState<> {
protected:
    void SetUp() override
    {
        FreshProgramState::SetUp();
        platform::setAppPathForTesting(folder.path().string());
    }

    void writeCatalogue(const std::string& text) { folder.write("zandreth.ini", text); }

    // Loads a fresh Form1 with `command` as the command line.
    std::unique_ptr<Form1> start(const std::string& command)
    {
        platform::setCommandForTesting(command);
        auto form = std::make_unique<Form1>();
        form->load();
        return form;
    }

    TempDir folder;
    MessageBoxRecorder boxes;
};

struct DispatchCase {
    const char* command;
    bool runMode;
};

class Form1Dispatch : public Form1Test, public testing::WithParamInterface<DispatchCase> { };

TEST_P(Form1Dispatch, FirstTwoCharactersUpperCasedChooseTheMode)
{
    writeCatalogue(fixture("three_cities.ini"));
    auto form = start(GetParam().command);
    EXPECT_EQ(form->loaded(), GetParam().runMode);
    EXPECT_EQ(form->shown(), GetParam().runMode);
    EXPECT_EQ(platform::cursorVisible(), !GetParam().runMode);
    EXPECT_TRUE(boxes.shown.empty());
    form->unload();
    EXPECT_TRUE(platform::cursorVisible());
    EXPECT_EQ(platform::currentInputContext(form->hWnd()), form->SavedImc == 0 ? 1 : form->SavedImc);
}

const DispatchCase kDispatchCases[] = {
    { "/S", true },   { "/s", true },     { "/s 1234", true }, { "/S:123", true }, { "/c", false },
    { "/C:123", false }, { "/p", false }, { "/P 5", false },   { "-s", false },    { "s", false },
    { "", false },    { "/", false },
};

INSTANTIATE_TEST_SUITE_P(Commands, Form1Dispatch, testing::ValuesIn(kDispatchCases),
                         [](const testing::TestParamInfo<DispatchCase>& info) {
                             std::string name;
                             for (char c : std::string(info.param.command))
                                 name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
                             return "case" + std::to_string(info.index) + "_" + name;
                         });

TEST_F(Form1Test, RunModeDetachesTheInputMethodAndUnloadGivesItBack)
{
    writeCatalogue(fixture("three_cities.ini"));
    auto form = start("/S");
    EXPECT_EQ(platform::currentInputContext(form->hWnd()), platform::kNullInputContext);
    EXPECT_FALSE(platform::cursorVisible());
    form->deliverKeyDown(65, 0);
    EXPECT_FALSE(form->loaded());
    EXPECT_NE(platform::currentInputContext(form->hWnd()), platform::kNullInputContext);
    EXPECT_TRUE(platform::cursorVisible());
}

TEST_F(Form1Test, ClickOnTheFormOrTheMapEndsTheRun)
{
    writeCatalogue(fixture("three_cities.ini"));
    auto onForm = start("/S");
    onForm->deliverMouseDown(1, 0, 5, 5);
    EXPECT_FALSE(onForm->loaded());

    auto onMap = start("/S");
    onMap->Image1.onMouseDown(2, 0, 5, 5);
    EXPECT_FALSE(onMap->loaded());
}

TEST_F(Form1Test, SeventhMoveOnTheSameSurfaceEndsTheRun)
{
    writeCatalogue(fixture("three_cities.ini"));
    auto form = start("/S");
    for (int i = 0; i < 6; ++i) {
        form->deliverMouseMove(0, 0, 1, 1);
        form->Image1.onMouseMove(0, 0, 1, 1);
    }
    EXPECT_TRUE(form->loaded()) << "six moves on each surface only count";
    form->Image1.onMouseMove(0, 0, 1, 1);
    EXPECT_FALSE(form->loaded());

    auto second = start("/S");
    for (int i = 0; i < 6; ++i)
        second->deliverMouseMove(0, 0, 1, 1);
    EXPECT_TRUE(second->loaded());
    second->deliverMouseMove(0, 0, 1, 1);
    EXPECT_FALSE(second->loaded());
}

TEST_F(Form1Test, MissingCatalogueShowsTheMessageInEveryMode)
{
    for (const char* command : { "/S", "/P", "/C" }) {
        MessageBoxRecorder recorder;
        auto form = start(command);
        EXPECT_FALSE(form->loaded()) << command;
        ASSERT_EQ(recorder.shown.size(), 1u) << command;
        EXPECT_EQ(recorder.shown[0].title, "定義ファイル読み込みエラー");
        EXPECT_EQ(recorder.shown[0].text, "zandreth.iniファイルの定義エラーもしくは、ファイルが存在しません。");
        EXPECT_EQ(recorder.shown[0].icon, platform::MessageBoxIcon::Critical);
        EXPECT_TRUE(platform::cursorVisible()) << command;
    }
}

// The user's new settings folder could not get its copy of the installed
// catalogue: the folder and the reason come first, in the words of a failed
// save, then the catalogue's own message.
TEST_F(Form1Test, AFailedFirstCopyNamesTheFolderAndTheReason)
{
    platform::setSettingsCopyFailureForTesting({ platform::FileReplaceCause::DiskFull, ENOSPC });
    auto form = start("/C");
    EXPECT_FALSE(form->loaded());
    ASSERT_EQ(boxes.shown.size(), 2u);
    EXPECT_EQ(boxes.shown[0].title, "Zandreth");
    EXPECT_EQ(boxes.shown[0].icon, platform::MessageBoxIcon::Exclamation);
    EXPECT_EQ(boxes.shown[0].text, "設定ファイルを作成できませんでした。\n\n" + folder.path().string()
                                       + "\n\nディスクの空き領域が足りません。");
    EXPECT_EQ(boxes.shown[1].title, "定義ファイル読み込みエラー");
}

TEST_F(Form1Test, SecondInstanceEndsAtOnceWithoutAWord)
{
    writeCatalogue(fixture("three_cities.ini"));
    // Another process holding the folder's instance lock: a second open file
    // description conflicts just as another process would.
    int other = ::open((folder.path() / platform::system::kInstanceLockFileName).c_str(), O_RDONLY | O_CREAT, 0644);
    ASSERT_GE(other, 0);
    ASSERT_EQ(::flock(other, LOCK_EX | LOCK_NB), 0);

    auto form = start("/S");
    EXPECT_TRUE(platform::Runtime::current().ended());
    EXPECT_EQ(platform::Runtime::current().exitStatus(), 0);
    EXPECT_FALSE(form->shown());
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_TRUE(platform::cursorVisible());
    EXPECT_EQ(platform::currentInputContext(form->hWnd()), 1) << "the input method was never touched";
    ::close(other);
}

TEST_F(Form1Test, RunTimeErrorIsReportedByKeyAndGivesBackCursorAndInputMethod)
{
    std::string catalogue = fixture("three_cities.ini");
    catalogue.replace(catalogue.find("City_SelectNo2=3"), 16, "City_SelectNo2=250");
    writeCatalogue(catalogue);

    auto form = start("/S");
    auto& runtime = platform::Runtime::current();
    EXPECT_TRUE(runtime.ended());
    EXPECT_EQ(runtime.exitStatus(), 1);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].icon, platform::MessageBoxIcon::Critical);
    EXPECT_NE(boxes.shown[0].text.find("Subscript out of range"), std::string::npos) << boxes.shown[0].text;
    EXPECT_NE(boxes.shown[0].text.find("City_SelectNo2 = 250: the catalogue has records 0 to 3"), std::string::npos)
        << boxes.shown[0].text;
    EXPECT_TRUE(platform::cursorVisible());
    EXPECT_NE(platform::currentInputContext(form->hWnd()), platform::kNullInputContext);
    EXPECT_EQ(folder.read("zandreth.ini"), catalogue) << "nothing is written";
}

TEST_F(Form1Test, IntervalThatOverflowsIsReported)
{
    std::string catalogue = fixture("three_cities.ini");
    catalogue.replace(catalogue.find("RND_INTERVAL=5"), 14, "RND_INTERVAL=3000000");
    writeCatalogue(catalogue);
    auto form = start("/S");
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_NE(boxes.shown[0].text.find("Overflow"), std::string::npos);
    EXPECT_NE(boxes.shown[0].text.find("RND_INTERVAL × 1000"), std::string::npos) << boxes.shown[0].text;
    EXPECT_TRUE(platform::cursorVisible());
}

// --- The running display -------------------------------------------------

TEST_F(Form1Test, LabelsOfUsedRowsAreNamedAndUnusedRowsHidden)
{
    writeCatalogue(fixture("three_cities.ini"));
    auto form = start("/S");
    // Lang_Select0 and Print_Name0 are 0: English city names.
    EXPECT_EQ(form->Label3(0).caption(), "Tokyo");
    EXPECT_EQ(form->Label3(1).caption(), "London");
    EXPECT_EQ(form->Label3(2).caption(), "New York");
    EXPECT_GT(form->NameWidth[0], 0);
    EXPECT_FALSE(form->Label3(0).autoSize());
    for (int i = 3; i < 10; ++i) {
        EXPECT_FALSE(form->Label1(i).visible()) << i;
        EXPECT_FALSE(form->Label3(i).visible()) << i;
    }
    EXPECT_EQ(form->Label1(0).caption(), "") << "time labels stay empty until the first clock tick";
    EXPECT_EQ(form->Timer1.interval(), 900);
    EXPECT_EQ(form->Timer2.interval(), 5000);
    EXPECT_EQ(form->Timer3.interval(), 1000);
}

TEST_F(Form1Test, CityAtTheOriginLandsAtTheMapCentreAndTheUtcLineFollowsTheMap)
{
    writeCatalogue(fixture("three_cities.ini"));
    auto form = start("/S");
    zandreth::SelectedCity[3].SelectNo = 0; // UTC at (0, 0)
    form->NameWidth[3] = 30;
    platform::setRandomSourceForTesting([] { return 0.5f; });
    form->RelocateMap();
    float mapLeft = form->Image1.left();
    float mapTop = form->Image1.top();
    EXPECT_FLOAT_EQ(form->Label3(3).left() - mapLeft, 370);
    EXPECT_FLOAT_EQ(form->Label3(3).top() - mapTop, 185);
    EXPECT_FLOAT_EQ(form->Label1(3).left(), form->Label3(3).left());
    EXPECT_FLOAT_EQ(form->Label1(3).top(), form->Label3(3).top() + 10);
    EXPECT_FLOAT_EQ(form->Label3(3).width(), 30);
    EXPECT_FLOAT_EQ(form->L_UTCtime.top(), mapTop + 370);
    EXPECT_FLOAT_EQ(form->L_UTCtime.left(), mapLeft);
    EXPECT_FLOAT_EQ(form->Image1.width(), 740);
    EXPECT_FLOAT_EQ(form->Image1.height(), 370);
}

TEST_F(Form1Test, FirstPlacementAlreadyUsesTheWholeScreen)
{
    writeCatalogue(fixture("three_cities.ini"));
    platform::setRandomSourceForTesting([] { return 0.999f; });
    auto form = start("/S");
    float screenWidth = platform::Screen.width() / platform::twipsPerPixel();
    float screenHeight = platform::Screen.height() / platform::twipsPerPixel();
    ASSERT_GT(screenWidth, 0);
    EXPECT_FLOAT_EQ(form->scaleWidth(), screenWidth);
    EXPECT_FLOAT_EQ(form->scaleHeight(), screenHeight);
    EXPECT_FLOAT_EQ(form->Image1.left(), (screenWidth - 740 + 1) * 0.999f);
    EXPECT_FLOAT_EQ(form->Image1.top(), (screenHeight - (form->L_UTCtime.height() + 371)) * 0.999f);
    ASSERT_EQ(form->monitors().size(), 1u);
    EXPECT_FLOAT_EQ(form->monitors()[0].width, screenWidth);
}

TEST_F(Form1Test, MapStaysWithinTheFormOverManyDraws)
{
    writeCatalogue(fixture("three_cities.ini"));
    auto form = start("/S");
    form->setClientSize(1024, 768);
    ASSERT_FLOAT_EQ(form->scaleWidth(), 1024);
    float utcHeight = form->L_UTCtime.height();
    for (int draw = 0; draw < 2000; ++draw) {
        form->RelocateMap();
        ASSERT_GE(form->Image1.left(), 0);
        ASSERT_LT(form->Image1.left(), 1024 - 739);
        ASSERT_GE(form->Image1.top(), 0);
        ASSERT_LT(form->Image1.top(), 768 - utcHeight - 371);
    }
    form->setClientSize(739, 768);
    for (int draw = 0; draw < 50; ++draw) {
        form->RelocateMap();
        ASSERT_EQ(form->Image1.left(), 0);
    }
}

TEST_F(Form1Test, DrawsAreTakenHorizontalFirst)
{
    writeCatalogue(fixture("three_cities.ini"));
    auto form = start("/S");
    form->setClientSize(1000, 800);
    float draws[] = { 0.25f, 0.75f };
    int next = 0;
    platform::setRandomSourceForTesting([&] { return draws[next++ % 2]; });
    form->RelocateMap();
    EXPECT_FLOAT_EQ(form->Image1.left(), (1000 - 740 + 1) * 0.25f);
    EXPECT_FLOAT_EQ(form->Image1.top(), (800 - (form->L_UTCtime.height() + 371)) * 0.75f);
}

TEST_F(Form1Test, ClockTickWritesTheUtcLineAndTheTimeLabels)
{
    writeCatalogue(fixture("three_cities.ini"));
    platform::SYSTEMTIME time;
    time.wYear = 2002, time.wMonth = 5, time.wDay = 7, time.wDayOfWeek = 2;
    time.wHour = 23, time.wMinute = 30, time.wSecond = 15;
    platform::setFixedSystemTimeForTesting(time);
    auto form = start("/S");
    form->Timer1.tick();
    EXPECT_EQ(form->L_UTCtime.caption(),
              "UTC  Tue, May 7 2002  23:30:15" + std::string(10, ' ') + "Tokyo  Tue, May 7 2002  08:30:15");
    EXPECT_EQ(form->Label1(0).caption(), " 08:30");
    EXPECT_EQ(form->Label1(1).caption(), " 23:30");
    EXPECT_EQ(form->Label1(2).caption(), " 18:30");
    EXPECT_EQ(form->Label1(3).caption(), "");
}

TEST_F(Form1Test, FirstRelocationTickOnlyArms)
{
    writeCatalogue(fixture("three_cities.ini"));
    auto form = start("/S");
    float draws[] = { 0.1f, 0.2f, 0.9f, 0.8f };
    int next = 0;
    platform::setRandomSourceForTesting([&] { return draws[next++ % 4]; });
    float left = form->Image1.left();
    float top = form->Image1.top();
    form->Timer2.tick();
    EXPECT_EQ(form->Image1.left(), left);
    EXPECT_EQ(form->Image1.top(), top);
    EXPECT_EQ(form->RelocArmed, 1);
    form->Timer2.tick();
    EXPECT_EQ(next, 2) << "the second tick relocates";
    form->Timer2.tick();
    EXPECT_EQ(next, 4) << "and so does every tick after it";
}

TEST_F(Form1Test, OnlyMarkOneBlinksStartingHidden)
{
    writeCatalogue(fixture("three_cities.ini"));
    auto form = start("/S");
    // Row 0 has mark 1, row 1 mark 0, row 2 mark -1, row 3 is unused with mark 1.
    std::vector<bool> row0;
    for (int tick = 0; tick < 4; ++tick) {
        form->Timer3.tick();
        row0.push_back(form->Label3(0).visible());
        EXPECT_TRUE(form->Label3(1).visible());
        EXPECT_TRUE(form->Label3(2).visible());
        EXPECT_FALSE(form->Label3(3).visible()) << "an unused row stays hidden";
        EXPECT_TRUE(form->Label1(0).visible()) << "time labels never blink";
    }
    EXPECT_EQ(row0, (std::vector<bool> { false, true, false, true }));
}

} // namespace
