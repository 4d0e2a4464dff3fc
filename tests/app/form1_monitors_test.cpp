// Run mode on a screen of two monitors of different sizes, side by side:
// a 1024 x 768 one on the left and an 800 x 1080 one on the right, so that
// under the left one lies a gap that no monitor shows.

#include "app/form1.h"

#include "platform/forms/app.h"
#include "platform/forms/cursor.h"
#include "platform/runtime/random.h"
#include "platform/forms/runtime.h"
#include "platform/testing/hooks.h"
#include "support/fixture.h"
#include "support/program_state.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace {

using testing_support::fixture;
using testing_support::TempDir;
using zandreth::Form1;

class Form1OnTwoMonitors : public testing_support::FreshProgramState<> {
protected:
    void SetUp() override
    {
        FreshProgramState::SetUp();
        platform::setAppPathForTesting(folder.path().string());
        folder.write("zandreth.ini", fixture("three_cities.ini"));
        platform::setCommandForTesting("/S");
        form = std::make_unique<Form1>();
        form->load();
    }
    void TearDown() override
    {
        form.reset();
        FreshProgramState::TearDown();
    }

    TempDir folder;
    std::unique_ptr<Form1> form;
};

TEST_F(Form1OnTwoMonitors, TheWindowCoversBothMonitors)
{
    ASSERT_TRUE(form->shown());
    EXPECT_FLOAT_EQ(form->scaleWidth(), 1824);
    EXPECT_FLOAT_EQ(form->scaleHeight(), 1080);
    auto monitors = form->monitors();
    ASSERT_EQ(monitors.size(), 2u);
    EXPECT_FLOAT_EQ(monitors[0].left, 0);
    EXPECT_FLOAT_EQ(monitors[0].width, 1024);
    EXPECT_FLOAT_EQ(monitors[0].height, 768);
    EXPECT_FLOAT_EQ(monitors[1].left, 1024);
    EXPECT_FLOAT_EQ(monitors[1].top, 0);
    EXPECT_FLOAT_EQ(monitors[1].width, 800);
    EXPECT_FLOAT_EQ(monitors[1].height, 1080);
}

// The first draw picks the monitor; the next two (0.25 and 0.75) place the
// map within that monitor as on a screen of the monitor's size. The map's
// place, worked out by hand with the UTC line 16 pixels high: on the left
// monitor (1024 x 768 at 0, 0) left = (1024 - 739) x 0.25 = 71.25 and top =
// (768 - 387) x 0.75 = 285.75; on the right one (800 x 1080 at 1024, 0) left
// = 1024 + (800 - 739) x 0.25 = 1039.25 and top = (1080 - 387) x 0.75 =
// 519.75.
struct MonitorDrawCase {
    const char* name;
    float monitorDraw;
    float mapLeft;
    float mapTop;
};

void PrintTo(const MonitorDrawCase& c, std::ostream* out) { *out << c.name; }

class Form1MonitorDraw : public Form1OnTwoMonitors, public testing::WithParamInterface<MonitorDrawCase> { };

TEST_P(Form1MonitorDraw, FirstDrawPicksTheMonitorAndTheNextTwoPlaceTheMapOnIt)
{
    const auto& c = GetParam();
    float draws[] = { c.monitorDraw, 0.25f, 0.75f };
    int next = 0;
    platform::setRandomSourceForTesting([&] { return draws[next++ % 3]; });
    form->RelocateMap();
    EXPECT_EQ(next, 3);
    ASSERT_FLOAT_EQ(form->L_UTCtime.height(), 16);
    EXPECT_FLOAT_EQ(form->Image1.left(), c.mapLeft);
    EXPECT_FLOAT_EQ(form->Image1.top(), c.mapTop);
    EXPECT_FLOAT_EQ(form->L_UTCtime.left(), c.mapLeft);
    EXPECT_FLOAT_EQ(form->L_UTCtime.top(), c.mapTop + 370);
}

INSTANTIATE_TEST_SUITE_P(Monitors, Form1MonitorDraw,
                         testing::Values(MonitorDrawCase { "LowestDrawTakesTheLeftMonitor", 0.0f, 71.25f, 285.75f },
                                         MonitorDrawCase { "DrawBelowHalfTakesTheLeftMonitor", 0.49f, 71.25f, 285.75f },
                                         MonitorDrawCase { "HalfTakesTheRightMonitor", 0.5f, 1039.25f, 519.75f },
                                         MonitorDrawCase { "HighestDrawTakesTheRightMonitor", 0.9999f, 1039.25f, 519.75f }),
                         [](const testing::TestParamInfo<MonitorDrawCase>& info) { return std::string(info.param.name); });

TEST_F(Form1OnTwoMonitors, MapNeverStraddlesTwoMonitorsNorFallsIntoTheGap)
{
    float utcHeight = form->L_UTCtime.height();
    int onLeft = 0;
    int onRight = 0;
    for (int draw = 0; draw < 2000; ++draw) {
        form->RelocateMap();
        float left = form->Image1.left();
        float top = form->Image1.top();
        ASSERT_GE(top, 0);
        if (left < 1024) {
            ++onLeft;
            ASSERT_GE(left, 0);
            ASSERT_LE(left + 740, 1024 + 1) << "the map stays on the left monitor";
            ASSERT_LE(top + 370 + utcHeight, 768 + 1) << "the map and its line stay above the gap";
        } else {
            ++onRight;
            ASSERT_LE(left + 740, 1824 + 1);
            ASSERT_LE(top + 370 + utcHeight, 1080 + 1);
        }
    }
    EXPECT_GT(onLeft, 500);
    EXPECT_GT(onRight, 500);
}

} // namespace
