// Day and night on run mode's map: with DAY_NIGHT=1 the map shows its night
// side darkened for the current UTC minute, drawn again at each placement
// and when the minute changes; with the key missing or any other value the
// map is the picture as it is, pixel for pixel.

#include "app/form1.h"

#include "data/map_daylight.h"
#include "data/saved_settings.h"
#include "data/sun_position.h"
#include "platform/runtime/system_time.h"
#include "platform/testing/hooks.h"
#include "support/form_drivers.h"
#include "support/fixture.h"
#include "support/program_state.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

using testing_support::TempDir;
using zandreth::Form1;

constexpr int kMapWidth = 740;
constexpr int kMapHeight = 370;

platform::SYSTEMTIME utc(uint16_t day, uint16_t hour, uint16_t minute, uint16_t second)
{
    platform::SYSTEMTIME time;
    time.wYear = 2024, time.wMonth = 3, time.wDay = day;
    time.wHour = hour, time.wMinute = minute, time.wSecond = second;
    return time;
}

// The map as drawn now, each pixel 0x00RRGGBB, rows top first.
std::vector<uint32_t> drawnMap(const Form1& form)
{
    std::vector<uint32_t> pixels;
    for (const auto& line : platform::pixelsForTesting(form.Image1))
        for (uint32_t pixel : line)
            pixels.push_back(pixel & 0x00FFFFFFu);
    return pixels;
}

class Form1DayNight : public testing_support::FreshProgramState<> {
protected:
    void SetUp() override
    {
        FreshProgramState::SetUp();
        platform::setAppPathForTesting(folder.path().string());
        // The picture itself, as a form that has not run shows it.
        Form1 unloaded;
        picture = drawnMap(unloaded);
        ASSERT_EQ(picture.size(), static_cast<std::size_t>(kMapWidth) * kMapHeight);
    }
    void TearDown() override
    {
        zandreth::DayNight = 0;
        FreshProgramState::TearDown();
    }

    // The test catalogue with `line` added to PROC_INFO.
    void writeSettings(const std::string& line)
    {
        std::string text = testing_support::fixture("three_cities.ini");
        text.replace(text.find("[PROC_INFO]\r\n"), 13, "[PROC_INFO]\r\n" + line);
        folder.write("zandreth.ini", text);
    }

    std::unique_ptr<Form1> startRunMode()
    {
        platform::setCommandForTesting("/S");
        auto form = std::make_unique<Form1>();
        form->load();
        return form;
    }

    // The picture with its night side darkened for `time`'s minute.
    std::vector<uint32_t> shadedFor(platform::SYSTEMTIME time) const
    {
        time.wSecond = 0;
        std::vector<uint32_t> shaded;
        zandreth::MapDaylight(zandreth::SunPositionAt(time), kMapWidth, kMapHeight).shade(picture, shaded);
        return shaded;
    }

    TempDir folder;
    std::vector<uint32_t> picture;
};

TEST_F(Form1DayNight, OffMissingOrInvalidShowsThePicturePixelForPixel)
{
    platform::setFixedSystemTimeForTesting(utc(20, 12, 0, 0));
    for (const char* line : { "", "DAY_NIGHT=0\r\n", "DAY_NIGHT=-1\r\n", "DAY_NIGHT=2\r\n", "DAY_NIGHT=yes\r\n",
                              "DAY_NIGHT=70000\r\n" }) {
        writeSettings(line);
        auto form = startRunMode();
        form->Timer1.tick();
        form->RelocateMap();
        EXPECT_EQ(zandreth::DayNight, 0) << line;
        EXPECT_TRUE(drawnMap(*form) == picture) << "with '" << line << "' the map is the picture";
        form->unload();
    }
}

TEST_F(Form1DayNight, OnShowsTheNightSideDarkened)
{
    writeSettings("DAY_NIGHT=1\r\n");
    platform::setFixedSystemTimeForTesting(utc(20, 12, 0, 40));
    auto form = startRunMode();
    ASSERT_TRUE(form->loaded());
    EXPECT_EQ(zandreth::DayNight, 1);
    std::vector<uint32_t> drawn = drawnMap(*form);
    ASSERT_EQ(drawn.size(), picture.size());
    // Noon over Greenwich: Africa in daylight, the Pacific in the night.
    const std::size_t overAfrica = 184 * kMapWidth + 380;
    const std::size_t overThePacific = 184 * kMapWidth + 10;
    EXPECT_EQ(drawn[overAfrica], picture[overAfrica]);
    EXPECT_NE(drawn[overThePacific], picture[overThePacific]);
    EXPECT_TRUE(drawn == shadedFor(utc(20, 12, 0, 0)));
}

TEST_F(Form1DayNight, DrawnAgainWhenTheMinuteChangesAndAtEachPlacement)
{
    writeSettings("DAY_NIGHT=1\r\n");
    platform::setFixedSystemTimeForTesting(utc(20, 12, 0, 0));
    auto form = startRunMode();
    const std::vector<uint32_t> atNoon = shadedFor(utc(20, 12, 0, 0));
    ASSERT_TRUE(drawnMap(*form) == atNoon);

    // Within the minute the clock ticks leave the map alone.
    platform::setFixedSystemTimeForTesting(utc(20, 12, 0, 59));
    form->Timer1.tick();
    EXPECT_TRUE(drawnMap(*form) == atNoon);

    // A tick in a new minute draws it for that minute...
    platform::setFixedSystemTimeForTesting(utc(20, 18, 0, 1));
    form->Timer1.tick();
    EXPECT_TRUE(drawnMap(*form) == shadedFor(utc(20, 18, 0, 0))) << "the tick of a new minute";

    // ...and so does a placement.
    platform::setFixedSystemTimeForTesting(utc(21, 0, 30, 0));
    form->RelocateMap();
    EXPECT_TRUE(drawnMap(*form) == shadedFor(utc(21, 0, 30, 0))) << "a placement";
    EXPECT_EQ(form->Image1.width(), kMapWidth);
    EXPECT_EQ(form->Image1.height(), kMapHeight);
}

} // namespace
