// The real program on displays of high resolution: run mode on one or two
// 4K monitors at twice the scale (Xft.dpi 192, as GNOME and KDE set it), on
// a monitor at 1 beside one at 2 (QT_SCREEN_SCALE_FACTORS, as KDE sets it),
// and hosted in a screen-saver host's windows at 2. Each time the picture
// lies wholly on one monitor, drawn at that monitor's scale from the map's
// finer copy, its labels whole.

#include "support/child_process.h"
#include "support/fixture.h"
#include "support/temp_dir.h"
#include "support/virtual_display.h"
#include "program/screenshot.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;
using testing_support::Process;
using testing_support::TempDir;
using testing_support::VirtualDisplay;

constexpr int kMapWidth = 740;
constexpr int kMapHeight = 370;
// The time labels' box and the UTC line's height, in logical pixels.
constexpr int kTimeLabelWidth = 41;
constexpr int kTimeLabelHeight = 17;
constexpr int kUtcLineHeight = 16;

using program_test::black;
using program_test::Pixel;
using program_test::Screenshot;

bool edgeGrey(Pixel p) { return p.r == 216 && p.g == 216 && p.b == 216; }
// The time labels' background, and the UTC line's light blue text.
bool labelBlue(Pixel p) { return p.r == 0 && p.g == 0 && p.b == 255; }
bool utcBlue(Pixel p) { return p.b > 200 && p.r > 90 && p.r < 170 && p.g > 90 && p.g < 170; }

struct Rect {
    int x = 0, y = 0, width = 0, height = 0;
    bool contains(const Rect& other) const
    {
        return other.x >= x && other.y >= y && other.x + other.width <= x + width
            && other.y + other.height <= y + height;
    }
};

// The map drawn `scale` device pixels to its pixel: its light grey edge
// columns, the left and the right one, run its whole height.
std::optional<Rect> findMap(const Screenshot& shot, int scale)
{
    const int width = shot.width;
    const int height = shot.height;
    auto at = [&shot](int x, int y) { return shot.at(x, y); };
    const int mapWidth = kMapWidth * scale;
    const int mapHeight = kMapHeight * scale;
    for (int y = 0; y + mapHeight <= height; y += 3)
        for (int x = 0; x + mapWidth <= width; ++x) {
            if (!edgeGrey(at(x, y)) || !edgeGrey(at(x + mapWidth - 1, y)))
                continue;
            int top = y;
            while (top > 0 && edgeGrey(at(x, top - 1)) && edgeGrey(at(x + mapWidth - 1, top - 1)))
                --top;
            if (top + mapHeight > height)
                continue;
            bool columns = true;
            for (int row = top; row < top + mapHeight && columns; row += 5)
                columns = edgeGrey(at(x, row)) && edgeGrey(at(x + mapWidth - 1, row));
            if (columns && edgeGrey(at(x, top + mapHeight - 1)) && !edgeGrey(at(x, top + mapHeight))
                && (x == 0 || !edgeGrey(at(x - 1, top + mapHeight / 2)) || x + mapWidth == width
                    || !edgeGrey(at(x + mapWidth, top + mapHeight / 2))))
                return Rect { x, top, mapWidth, mapHeight };
        }
    return std::nullopt;
}

// The boxes of the time labels on the map: each run of label blue, as
// the rectangle its pixels span.
std::vector<Rect> timeLabels(const Screenshot& shot, const Rect& map)
{
    const int width = shot.width;
    const int height = shot.height;
    auto at = [&shot](int x, int y) { return shot.at(x, y); };
    std::vector<char> seen(static_cast<std::size_t>(width) * height, 0);
    std::vector<Rect> boxes;
    for (int y = map.y; y < map.y + map.height; ++y)
        for (int x = map.x; x < map.x + map.width; ++x) {
            std::size_t i = static_cast<std::size_t>(y) * width + x;
            if (seen[i] || !labelBlue(at(x, y)))
                continue;
            int left = x, right = x, top = y, bottom = y;
            std::vector<std::pair<int, int>> todo { { x, y } };
            seen[i] = 1;
            while (!todo.empty()) {
                auto [px, py] = todo.back();
                todo.pop_back();
                left = std::min(left, px), right = std::max(right, px);
                top = std::min(top, py), bottom = std::max(bottom, py);
                const std::pair<int, int> next[] = { { px + 1, py }, { px - 1, py }, { px, py + 1 }, { px, py - 1 } };
                for (auto [nx, ny] : next) {
                    if (nx < 0 || ny < 0 || nx >= width || ny >= height)
                        continue;
                    std::size_t j = static_cast<std::size_t>(ny) * width + nx;
                    if (!seen[j] && labelBlue(at(nx, ny))) {
                        seen[j] = 1;
                        todo.push_back({ nx, ny });
                    }
                }
            }
            boxes.push_back({ left, top, right - left + 1, bottom - top + 1 });
        }
    return boxes;
}

// The text in a time label's box, below the rows that its city's name
// label covers (the name stands 10 pixels above the time, 17 high): the
// pixels that are not its blue, black and its blends with the blue. None
// where something else lies over those rows (another city's name).
std::optional<Rect> textIn(const Screenshot& shot, const Rect& box, int scale)
{
    auto at = [&shot](int x, int y) { return shot.at(x, y); };
    int left = box.x + box.width, right = -1, top = box.y + box.height, bottom = -1;
    for (int y = box.y + 7 * scale; y < box.y + box.height; ++y)
        for (int x = box.x; x < box.x + box.width; ++x)
            if (Pixel p = at(x, y); p.r > 60 || p.g > 60)
                return std::nullopt;
            else if (!labelBlue(p)) {
                left = std::min(left, x), right = std::max(right, x);
                top = std::min(top, y), bottom = std::max(bottom, y);
            }
    if (right < 0)
        return std::nullopt;
    return Rect { left, top, right - left + 1, bottom - top + 1 };
}

// The UTC line's text under the map: the rectangle its light blue spans.
std::optional<Rect> utcLine(const Screenshot& shot, const Rect& map, int scale)
{
    const int width = shot.width;
    const int height = shot.height;
    auto at = [&shot](int x, int y) { return shot.at(x, y); };
    int left = width, right = -1, top = height, bottom = -1;
    for (int y = map.y + map.height; y < std::min(height, map.y + map.height + kUtcLineHeight * scale); ++y)
        for (int x = map.x; x < std::min(width, map.x + map.width + 5 * scale); ++x)
            if (utcBlue(at(x, y))) {
                left = std::min(left, x), right = std::max(right, x);
                top = std::min(top, y), bottom = std::max(bottom, y);
            }
    if (right < 0)
        return std::nullopt;
    return Rect { left, top, right - left + 1, bottom - top + 1 };
}


// The map's own picture at `scale` (map.bmp, or its finer copy map-2x.bmp),
// as ImageMagick reads it.
std::optional<Screenshot> mapPicture(const VirtualDisplay& display, const std::string& file, int scale)
{
    std::string picture = std::string(ZANDRETH_ASSETS) + (scale == 2 ? "/map-2x.bmp" : "/map.bmp");
    if (!display.run("convert '" + picture + "' -depth 8 ppm:'" + file + "'"))
        return std::nullopt;
    std::ifstream in(file, std::ios::binary);
    std::string magic;
    int width = 0, height = 0, maximum = 0;
    in >> magic >> width >> height >> maximum;
    in.get();
    Screenshot shot { width, height, std::vector<unsigned char>(static_cast<std::size_t>(width) * height * 3) };
    in.read(reinterpret_cast<char*>(shot.rgb.data()), static_cast<std::streamsize>(shot.rgb.size()));
    if (magic != "P6" || maximum != 255 || !in)
        return std::nullopt;
    return shot;
}

// The share of the map's pixels on the screen that are the picture's own,
// pixel for pixel (the labels over it take the rest): near all of them
// where the picture of the scale is drawn as it is, far fewer where a
// smaller one is enlarged.
double sharpShare(const Screenshot& shot, const Rect& map, const Screenshot& picture)
{
    int same = 0, all = 0;
    for (int y = 0; y < map.height && y < picture.height; y += 2)
        for (int x = 0; x < map.width && x < picture.width; x += 2) {
            ++all;
            same += shot.at(map.x + x, map.y + y) == picture.at(x, y);
        }
    return all == 0 ? 0 : static_cast<double>(same) / all;
}

// The picture's parts, drawn at `scale`, each whole: the map, the time
// labels (a box of 41 x 17 pixels at the scale, its text inside it and clear
// of its sides) and the UTC line under the map, its text as wide for the map
// as at scale 1.
void expectWholePicture(const Screenshot& shot, const Rect& map, int scale)
{
    int whole = 0;
    for (const Rect& box : timeLabels(shot, map)) {
        // A box partly under another label, or cut by the map's edge, says
        // nothing of its own size.
        if (box.width < kTimeLabelWidth * scale - 2 * scale || box.height < kTimeLabelHeight * scale - 2 * scale)
            continue;
        SCOPED_TRACE("time label at " + std::to_string(box.x) + "," + std::to_string(box.y));
        EXPECT_NEAR(box.width, kTimeLabelWidth * scale, 1);
        EXPECT_NEAR(box.height, kTimeLabelHeight * scale, 1);
        auto text = textIn(shot, box, scale);
        if (!text)
            continue;
        ++whole;
        EXPECT_GT(text->x, box.x) << "the time's first digit clear of the box's left side";
        EXPECT_LT(text->x + text->width, box.x + box.width) << "its last digit clear of the right side";
        EXPECT_GE(text->width, 25 * scale) << "five characters drawn at the scale";
    }
    EXPECT_GE(whole, 3) << "time labels with their times";

    auto utc = utcLine(shot, map, scale);
    ASSERT_TRUE(utc) << "the UTC line under the map";
    EXPECT_GT(utc->width, map.width * 4 / 10) << "the UTC line's text drawn at the map's scale";
    EXPECT_LT(utc->x + utc->width, map.x + map.width + 5 * scale) << "within the line's width";
}

class ScaledDisplay : public testing::Test {
protected:
    void SetUp() override
    {
        for (const char* command : { "Xvfb", "xdotool", "import", "xrdb" })
            if (std::system(("command -v " + std::string(command) + " >/dev/null 2>&1").c_str()) != 0)
                GTEST_SKIP() << "needs Xvfb, xdotool, xrdb and ImageMagick's import";
        std::filesystem::copy_file(ZANDRETH_PROGRAM, folder.file("zandreth"));
        std::filesystem::copy_file(testing_support::fixturePath("zandreth.ini"), folder.file("zandreth.ini"));
    }

    // A screen of `size`, its resolution `dpi` as desktops tell X11
    // programs (Xft.dpi), split into `monitors` (none: one monitor).
    void startDisplay(const std::string& size, int dpi, const std::vector<std::string>& monitors = {})
    {
        ASSERT_TRUE(display.start(size));
        if (dpi != 0) {
            ASSERT_TRUE(display.run("sh -c \"printf 'Xft.dpi:\\t" + std::to_string(dpi) + "\\n' | xrdb -nocpp -merge\""));
        }
        if (monitors.empty())
            return;
        std::vector<std::string> command { X_WINDOW_CLIENT, "monitors" };
        command.insert(command.end(), monitors.begin(), monitors.end());
        monitorSplit_ = std::make_unique<Process>(command, std::vector<std::string> { display.environment() });
        std::string expected = "Monitors: " + std::to_string(monitors.size());
        for (int wait = 0; wait < 100; ++wait) {
            if (display.output("xrandr --listactivemonitors").find(expected) != std::string::npos)
                return;
            std::this_thread::sleep_for(50ms);
        }
        FAIL() << display.output("xrandr --listactivemonitors");
    }

    std::unique_ptr<Process> start(const std::vector<std::string>& arguments,
                                   const std::vector<std::string>& environment = {}) const
    {
        std::vector<std::string> command { folder.file("zandreth") };
        command.insert(command.end(), arguments.begin(), arguments.end());
        std::vector<std::string> full { display.environment(), "HOME=" + folder.file("home"), "XDG_CONFIG_HOME" };
        full.insert(full.end(), environment.begin(), environment.end());
        return std::make_unique<Process>(command, full);
    }

    Rect geometryOf(const std::string& window) const
    {
        std::string text = display.output("xdotool getwindowgeometry --shell " + window);
        Rect geometry { -1, -1, 0, 0 };
        std::sscanf(text.c_str(), "%*s X=%d Y=%d WIDTH=%d HEIGHT=%d", &geometry.x, &geometry.y, &geometry.width,
                    &geometry.height);
        return geometry;
    }

    std::string windowNamed(const std::string& name) const
    {
        for (int wait = 0; wait < 200; ++wait) {
            std::string id = display.output("xdotool search --onlyvisible --name '" + name + "'");
            if (!id.empty())
                return id.substr(0, id.find('\n'));
            std::this_thread::sleep_for(50ms);
        }
        return {};
    }

    std::optional<Screenshot> capture(const std::string& window = "root") const
    {
        return Screenshot::take(display, folder.file("shot.ppm"), window);
    }

    // Screenshots until one shows the map at `scale` with its times and its
    // UTC line written (after the first clock tick), for ten seconds at most.
    struct Found {
        std::optional<Screenshot> shot;
        std::optional<Rect> map;
    };
    Found lookForMap(int scale, const std::string& window = "root") const
    {
        Found found;
        for (int look = 0; look < 40; ++look) {
            std::this_thread::sleep_for(250ms);
            found.shot = capture(window);
            found.map = found.shot ? findMap(*found.shot, scale) : std::nullopt;
            if (found.map && utcLine(*found.shot, *found.map, scale))
                break;
        }
        return found;
    }

    TempDir folder;
    VirtualDisplay display;

private:
    std::unique_ptr<Process> monitorSplit_;
};

// Run mode on monitors of these sizes and scales: the window covers the
// whole desktop in device pixels, and each start puts the picture wholly
// on one monitor at that monitor's scale.
struct RunCase {
    const char* name;
    const char* screen;
    int dpi;
    std::vector<std::string> monitors;
    std::vector<Rect> monitorAreas;
    std::vector<int> scales;
    std::vector<std::string> environment;
};

class ScaledRunMode : public ScaledDisplay, public testing::WithParamInterface<RunCase> { };

TEST_P(ScaledRunMode, CoversTheDesktopAndDrawsThePictureWholeAtItsMonitorsScale)
{
    const RunCase& c = GetParam();
    startDisplay(c.screen, c.dpi, c.monitors);
    if (HasFatalFailure())
        return;
    int screenWidth = 0, screenHeight = 0;
    std::sscanf(c.screen, "%dx%d", &screenWidth, &screenHeight);
    std::vector<bool> used(c.monitorAreas.size(), false);
    for (int runNumber = 0; runNumber < 3; ++runNumber) {
        SCOPED_TRACE("start " + std::to_string(runNumber));
        auto run = start({ "/S" }, c.environment);
        std::string window = windowNamed("^Form1$");
        ASSERT_FALSE(window.empty());
        Rect geometry;
        for (int wait = 0; wait < 100; ++wait) {
            geometry = geometryOf(window);
            if (geometry.width == screenWidth && geometry.height == screenHeight)
                break;
            std::this_thread::sleep_for(50ms);
        }
        EXPECT_EQ(geometry.x, 0);
        EXPECT_EQ(geometry.y, 0);
        EXPECT_EQ(geometry.width, screenWidth) << "the window is the desktop, in device pixels";
        EXPECT_EQ(geometry.height, screenHeight);

        // The map at one of the monitors' scales, on the monitor of that scale.
        std::optional<Screenshot> shot;
        std::optional<Rect> map;
        std::size_t on = c.monitorAreas.size();
        for (int look = 0; look < 40 && on == c.monitorAreas.size(); ++look) {
            std::this_thread::sleep_for(250ms);
            shot = capture();
            for (std::size_t m = 0; shot && m < c.monitorAreas.size() && on == c.monitorAreas.size(); ++m) {
                map = findMap(*shot, c.scales[m]);
                if (map && c.monitorAreas[m].contains(*map) && utcLine(*shot, *map, c.scales[m]))
                    on = m;
            }
        }
        ASSERT_LT(on, c.monitorAreas.size()) << "the map, whole, on a monitor and at its scale";
        used[on] = true;
        const int scale = c.scales[on];
        Rect picture { map->x, map->y, map->width, map->height + kUtcLineHeight * scale };
        EXPECT_TRUE(c.monitorAreas[on].contains(picture)) << "the map and its line on one monitor";
        expectWholePicture(*shot, *map, scale);
        auto own = mapPicture(display, folder.file("map.ppm"), scale);
        ASSERT_TRUE(own);
        EXPECT_GT(sharpShare(*shot, *map, *own), 0.9) << "the map of the scale, as sharp as its picture";
        run->terminate(5s);
    }
}

INSTANTIATE_TEST_SUITE_P(
    HighResolution, ScaledRunMode,
    testing::Values(RunCase { "OneFourKMonitorAtTwo", "3840x2160", 192, {}, { { 0, 0, 3840, 2160 } }, { 2 }, {} },
                    RunCase { "TwoFourKMonitorsAtTwo",
                              "7680x2160",
                              192,
                              { "3840x2160+0+0", "3840x2160+3840+0" },
                              { { 0, 0, 3840, 2160 }, { 3840, 0, 3840, 2160 } },
                              { 2, 2 },
                              {} },
                    RunCase { "OneMonitorAtOneBesideOneAtTwo",
                              "5760x2160",
                              0,
                              { "1920x1080+0+0", "3840x2160+1920+0" },
                              { { 0, 0, 1920, 1080 }, { 1920, 0, 3840, 2160 } },
                              { 1, 2 },
                              { "QT_SCREEN_SCALE_FACTORS=TEST-0=1;TEST-1=2" } }),
    [](const auto& info) { return std::string(info.param.name); });

// A copy in a screen-saver host's window at scale 2: the window's size is
// in device pixels, the picture placed within it whole, scaled down to fit
// a small one, never black and never cut.
TEST_F(ScaledDisplay, HostedCopiesAtTwoShowTheWholePictureInAWindowOfAnySize)
{
    startDisplay("2560x1600", 192);
    if (HasFatalFailure())
        return;
    auto hostWindow = [&](int width, int height, const std::string& file) {
        auto host = std::make_unique<Process>(std::vector<std::string> { X_WINDOW_CLIENT, "create", std::to_string(width),
                                                                         std::to_string(height), "0", "0",
                                                                         folder.file(file) },
                                              std::vector<std::string> { display.environment() });
        for (int wait = 0; wait < 200 && !std::filesystem::exists(folder.file(file)); ++wait)
            std::this_thread::sleep_for(50ms);
        std::string id;
        std::ifstream(folder.file(file)) >> id;
        return std::pair { std::move(host), id };
    };

    {
        auto [host, id] = hostWindow(1920, 1080, "large");
        ASSERT_FALSE(id.empty());
        auto copy = start({ "--window-id", id });
        auto [shot, map] = lookForMap(2, id);
        ASSERT_TRUE(shot && map) << "the map at scale 2, whole, in the 1920 x 1080 window";
        EXPECT_EQ(shot->width, 1920);
        EXPECT_TRUE((Rect { 0, 0, 1920, 1080 }.contains({ map->x, map->y, map->width,
                                                          map->height + kUtcLineHeight * 2 })));
        expectWholePicture(*shot, *map, 2);
        copy->terminate(5s);
    }
    {
        // 740 x 387 at 300 / 740: the map and its line 300 wide, about 157
        // rows high, somewhere between black rows.
        auto [host, id] = hostWindow(300, 200, "small");
        ASSERT_FALSE(id.empty());
        auto copy = start({ "--window-id", id });
        auto blackRow = [](const Screenshot& shot, int y) {
            for (int x = 0; x < shot.width; ++x)
                if (!black(shot.at(x, y)))
                    return false;
            return true;
        };
        auto mapRow = [](const Screenshot& shot, int y) {
            int sea = 0;
            for (int x = 0; x < shot.width; ++x) {
                Pixel p = shot.at(x, y);
                if (black(p))
                    return false;
                sea += p.b > p.r + 20;
            }
            return sea > shot.width / 5;
        };
        std::optional<Screenshot> shot;
        int top = 0, bottom = 0;
        for (int look = 0; look < 40; ++look) {
            std::this_thread::sleep_for(250ms);
            shot = capture(id);
            if (!shot || shot->width != 300 || shot->height != 200)
                continue;
            top = 0;
            while (top < 200 && blackRow(*shot, top))
                ++top;
            bottom = 199;
            while (bottom > top && blackRow(*shot, bottom))
                --bottom;
            if (top < 200 && mapRow(*shot, top + 75) && bottom - top + 1 >= 150)
                break;
        }
        ASSERT_TRUE(shot);
        ASSERT_EQ(shot->width, 300);
        ASSERT_EQ(shot->height, 200);
        EXPECT_TRUE(mapRow(*shot, top + 75)) << "the map across the whole width";
        EXPECT_GE(bottom - top + 1, 150) << "the whole map, 150 rows high, and its line under it";
        EXPECT_LE(bottom - top + 1, 158);
        copy->terminate(5s);
    }
}

// The settings dialog at the screen's resolution: at 144 and 192 dots per
// inch everything in it, its window too, is 1.5 and 2 times its size at 96.
class ScaledDialog : public ScaledDisplay, public testing::WithParamInterface<int> { };

TEST_P(ScaledDialog, GrowsWithTheScreensResolution)
{
    const int dpi = GetParam();
    startDisplay("2560x1600", dpi);
    if (HasFatalFailure())
        return;
    auto dialog = start({ "/c" });
    std::string window = windowNamed("^Zandreth$");
    ASSERT_FALSE(window.empty());
    // The client area at 96 dots per inch: 511 x 446 pixels.
    const double scale = dpi / 96.0;
    Rect geometry;
    for (int wait = 0; wait < 100 && geometry.width < 511 * scale - 2; ++wait) {
        std::this_thread::sleep_for(50ms);
        geometry = geometryOf(window);
    }
    EXPECT_NEAR(geometry.width, 511 * scale, 2);
    EXPECT_NEAR(geometry.height, 446 * scale, 2);
    dialog->terminate(5s);
}

// QT_SCALE_FACTOR=2 on a display of 96 dots per inch draws the dialog as a
// desktop's 200 % (Xft.dpi 192) does: fonts, check boxes, option buttons
// and arrows all twice their size.
TEST_F(ScaledDisplay, TheDialogAtQtsScaleFactorIsTheDialogAtTheDesktopsScale)
{
    startDisplay("2560x1600", 0);
    if (HasFatalFailure())
        return;
    auto dialogShot = [&](const std::vector<std::string>& environment) -> std::optional<Screenshot> {
        auto dialog = start({ "/c" }, environment);
        std::string window = windowNamed("^Zandreth$");
        if (window.empty())
            return std::nullopt;
        std::optional<Screenshot> shot;
        for (int look = 0; look < 20; ++look) {
            std::this_thread::sleep_for(250ms);
            shot = capture(window);
            if (shot && shot->width == 1022)
                break;
        }
        dialog->terminate(5s);
        return shot;
    };
    auto factor = dialogShot({ "QT_SCALE_FACTOR=2" });
    ASSERT_TRUE(display.run("sh -c \"printf 'Xft.dpi:\\t192\\n' | xrdb -nocpp -merge\""));
    auto desktop = dialogShot({});
    ASSERT_TRUE(factor && desktop);
    ASSERT_EQ(factor->width, 1022);
    ASSERT_EQ(desktop->width, 1022);
    ASSERT_EQ(factor->height, desktop->height);
    std::size_t differ = 0;
    for (std::size_t i = 0; i < factor->rgb.size(); i += 3)
        differ += factor->rgb[i] != desktop->rgb[i] || factor->rgb[i + 1] != desktop->rgb[i + 1]
            || factor->rgb[i + 2] != desktop->rgb[i + 2];
    EXPECT_EQ(differ, 0u) << "pixels that differ";
}

INSTANTIATE_TEST_SUITE_P(HighResolution, ScaledDialog, testing::Values(96, 144, 192),
                         [](const auto& info) { return std::to_string(info.param) + "Dpi"; });

} // namespace
