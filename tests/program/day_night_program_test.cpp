// The real program in run mode under a virtual X server, with and without
// day and night on the map: DAY_NIGHT=1 shows the map's night side darkened
// for the current UTC minute, pixel for pixel as the map's daylight gives it;
// 0 or no key shows the picture as it is.

#include "program/day_night_screen.h"

#include "support/fixture.h"
#include "support/temp_dir.h"
#include "support/virtual_display.h"

#include <gtest/gtest.h>

#include <signal.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <optional>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;
using testing_support::commandExists;
using testing_support::Process;
using testing_support::TempDir;
using testing_support::VirtualDisplay;

using day_night_test::bestMapMatch;
using day_night_test::kMapHeight;
using day_night_test::kMapWidth;
using day_night_test::Screenshot;
using day_night_test::utcMinute;

struct SettingCase {
    const char* name;
    const char* line; // added to PROC_INFO
    bool shaded;
};

void PrintTo(const SettingCase& setting, std::ostream* out) { *out << setting.name; }

class DayNightProgram : public testing::TestWithParam<SettingCase> {
protected:
    void SetUp() override
    {
        if (!commandExists("Xvfb") || !commandExists("xdotool") || !commandExists("import"))
            GTEST_SKIP() << "needs Xvfb, xdotool and ImageMagick's import";
        ASSERT_TRUE(display.start("1024x768"));
        std::filesystem::copy_file(ZANDRETH_PROGRAM, folder.file("zandreth"));
        std::string settings = testing_support::fixture("zandreth.ini");
        settings.replace(settings.find("[PROC_INFO]\r\n"), 13, std::string("[PROC_INFO]\r\n") + GetParam().line);
        folder.write("zandreth.ini", settings);
    }

    TempDir folder;
    VirtualDisplay display;
};

// The map on the screen against the picture and against the picture shaded
// for the minute: by day the screen shows the picture, at night and in the
// twilight the shaded picture; only the labels over the map differ.
TEST_P(DayNightProgram, RunModeMapShowsTheNightSideOnlyWhenChosen)
{
    Process run({ folder.file("zandreth"), "/S" },
                { display.environment(), "HOME=" + folder.file("home"), "XDG_CONFIG_HOME" });
    ASSERT_TRUE(run.started());
    const std::vector<uint32_t> picture = day_night_test::mapPicture(ZANDRETH_SOURCE_DIR);
    auto best = bestMapMatch(display, folder.file("shot.ppm"), picture, GetParam().shaded);
    ASSERT_TRUE(best) << "the map is on the screen";
    // Half the earth is in the night or the twilight at any time: nearly
    // half the map's pixels.
    EXPECT_GT(best->darkenedCount, static_cast<std::size_t>(kMapWidth * kMapHeight / 3));
    EXPECT_GT(best->day, 0.97) << "the day side shows the picture";
    EXPECT_GT(best->darkened, 0.97) << (GetParam().shaded ? "the night side shows the picture darkened"
                                                          : "the night side shows the picture as it is");
    ::kill(run.pid(), SIGTERM);
    EXPECT_TRUE(run.waitFor(10s));
}

// The picture in a screen-saver host's window too small for it: scaled down
// with the rest of the picture, the night side darker than the same window
// shows without the choice, the day side the same.
TEST(DayNightHosted, ScaledPictureShowsTheNightSide)
{
    if (!commandExists("Xvfb") || !commandExists("import"))
        GTEST_SKIP() << "needs Xvfb and ImageMagick's import";
    TempDir folder;
    VirtualDisplay display;
    ASSERT_TRUE(display.start("1024x768"));
    std::filesystem::copy_file(ZANDRETH_PROGRAM, folder.file("zandreth"));
    Process host({ X_WINDOW_CLIENT, "create", "300", "200", "0", "0", folder.file("host-id") }, { display.environment() });
    for (int wait = 0; wait < 200 && !std::filesystem::exists(folder.file("host-id")); ++wait)
        std::this_thread::sleep_for(50ms);
    std::string window;
    std::ifstream(folder.file("host-id")) >> window;
    ASSERT_FALSE(window.empty());

    // The window as the copy with `line` in PROC_INFO draws it, once the
    // map is there (its middle row not black), a few seconds in.
    auto drawnWith = [&](const std::string& line) -> std::optional<Screenshot> {
        std::string settings = testing_support::fixture("zandreth.ini");
        settings.replace(settings.find("[PROC_INFO]\r\n"), 13, "[PROC_INFO]\r\n" + line);
        folder.write("zandreth.ini", settings);
        Process copy({ folder.file("zandreth"), "--window-id", window },
                     { display.environment(), "HOME=" + folder.file("home"), "XDG_CONFIG_HOME" });
        std::optional<Screenshot> shot;
        for (int look = 0; look < 40; ++look) {
            std::this_thread::sleep_for(250ms);
            shot = Screenshot::take(display, folder.file("window.ppm"), window);
            if (look >= 8 && shot && shot->width == 300 && shot->at(150, 100) != 0)
                break;
        }
        ::kill(copy.pid(), SIGTERM);
        copy.waitFor(10s);
        return shot;
    };
    auto plain = drawnWith("");
    auto shaded = drawnWith("DAY_NIGHT=1\r\n");
    ASSERT_TRUE(plain && shaded);
    ASSERT_EQ(plain->width, 300);
    ASSERT_EQ(shaded->width, 300);

    // The map, 740 x 370 of the 740 x 387 picture, fills the width: one
    // window pixel per 740 / 300 map pixels, from its first row that is not
    // black down. A sample counts where the map's light is the same all
    // round it.
    const double scale = 300.0 / 740.0;
    auto mapTop = [](const Screenshot& shot) {
        for (int y = 0; y < shot.height; ++y) {
            int lit = 0;
            for (int x = 0; x < shot.width; ++x)
                lit += shot.at(x, y) != 0;
            if (lit > shot.width / 2)
                return y;
        }
        return 0;
    };
    const int plainTop = mapTop(*plain);
    const int shadedTop = mapTop(*shaded);
    zandreth::MapDaylight daylight(zandreth::SunPositionAt(utcMinute(std::chrono::system_clock::now())), kMapWidth,
                                   kMapHeight);
    auto uniformLight = [&](int mapX, int mapY) -> std::optional<int> {
        int light = daylight.light(mapX, mapY);
        for (int dy = -8; dy <= 8; dy += 4)
            for (int dx = -8; dx <= 8; dx += 4)
                if (daylight.light(mapX + dx, mapY + dy) != light)
                    return std::nullopt;
        return light;
    };
    auto brightness = [](uint32_t p) { return (p >> 16 & 0xFF) + (p >> 8 & 0xFF) + (p & 0xFF); };
    int night = 0, darkened = 0, day = 0, same = 0;
    for (int mapY = 10; mapY < kMapHeight - 10; mapY += 5)
        for (int mapX = 10; mapX < kMapWidth - 10; mapX += 5) {
            auto light = uniformLight(mapX, mapY);
            if (!light || (*light != zandreth::kFullLight && *light != zandreth::kNightLight))
                continue;
            int x = static_cast<int>(mapX * scale);
            int y = static_cast<int>(mapY * scale);
            double before = brightness(plain->at(x, plainTop + y));
            double after = brightness(shaded->at(x, shadedTop + y));
            if (*light == zandreth::kNightLight) {
                ++night;
                darkened += before > 0 && std::abs(after / before - zandreth::kNightLight / 256.0) < 0.06;
            } else {
                ++day;
                same += std::abs(after - before) <= 6;
            }
        }
    ASSERT_GT(night, 100);
    ASSERT_GT(day, 100);
    EXPECT_GT(darkened, night * 9 / 10) << "of " << night << " samples of the night side";
    EXPECT_GT(same, day * 9 / 10) << "of " << day << " samples of the day side";
}

const SettingCase kSettings[] = {
    { "on", "DAY_NIGHT=1\r\n", true },
    { "off", "DAY_NIGHT=0\r\n", false },
    { "missing", "", false },
};

INSTANTIATE_TEST_SUITE_P(DayNight, DayNightProgram, testing::ValuesIn(kSettings),
                         [](const testing::TestParamInfo<SettingCase>& info) { return std::string(info.param.name); });

} // namespace
