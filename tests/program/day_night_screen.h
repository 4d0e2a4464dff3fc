#pragma once

// The map with day and night as a program under test shows it on a virtual
// X server, for the whole-program tests of both systems: screenshots, the
// map found in them, the shipped picture, and the picture as the map's
// daylight darkens it for a minute.

#include "data/map_daylight.h"
#include "data/sun_position.h"
#include "support/file_bytes.h"
#include "support/virtual_display.h"

#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <ctime>
#include <fstream>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace day_night_test {

inline constexpr int kMapWidth = 740;
inline constexpr int kMapHeight = 370;

// A screenshot, each pixel 0x00RRGGBB.
struct Screenshot {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;

    uint32_t at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }

    // Of the root window, or of the X window `window`.
    static std::optional<Screenshot> take(const testing_support::VirtualDisplay& display, const std::string& file,
                                          const std::string& window = "root")
    {
        auto captured = display.capture(file, window);
        if (!captured)
            return std::nullopt;
        Screenshot shot;
        shot.width = captured->width;
        shot.height = captured->height;
        const std::vector<unsigned char>& rgb = captured->rgb;
        for (std::size_t i = 0; i < rgb.size(); i += 3)
            shot.pixels.push_back(uint32_t { rgb[i] } << 16 | uint32_t { rgb[i + 1] } << 8 | rgb[i + 2]);
        return shot;
    }

    // The map's top-left corner, the map drawn `mapWidth` x `mapHeight`
    // device pixels. Its outermost columns are grey, by day and darkened by
    // night alike, and the black around it is not.
    std::optional<std::pair<int, int>> findMap(int mapWidth = kMapWidth, int mapHeight = kMapHeight) const
    {
        auto grey = [](uint32_t p) { return p != 0 && (p >> 16 & 0xFF) == (p & 0xFF) && (p >> 8 & 0xFF) == (p & 0xFF); };
        for (int y = 0; y + mapHeight <= height; ++y)
            for (int x = 0; x + mapWidth <= width; ++x) {
                bool edges = true;
                for (int dy = 0; dy < mapHeight && edges; dy += dy == 0 ? 1 : 7)
                    edges = grey(at(x, y + dy)) && grey(at(x + mapWidth - 1, y + dy));
                if (edges && grey(at(x, y + mapHeight - 1)) && (x == 0 || !grey(at(x - 1, y))))
                    return std::make_pair(x, y);
            }
        return std::nullopt;
    }
};

// assets/map.bmp of the source tree at `sourceFolder` (or another picture
// of the map there, of its size): 740 x 370, 8 bits a pixel with a palette
// of 256 colours, rows stored bottom first.
inline std::vector<uint32_t> mapPicture(const std::string& sourceFolder, const std::string& name = "map.bmp",
                                        int width = kMapWidth, int height = kMapHeight)
{
    const std::string bytes = testing_support::readFile(sourceFolder + "/assets/" + name);
    auto byte = [&](std::size_t at) { return static_cast<uint32_t>(static_cast<unsigned char>(bytes.at(at))); };
    const std::size_t palette = 14 + 40;
    const std::size_t rows = palette + 256 * 4;
    const std::size_t stride = (static_cast<std::size_t>(width) + 3) & ~std::size_t { 3 };
    std::vector<uint32_t> pixels;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            std::size_t entry = palette + byte(rows + static_cast<std::size_t>(height - 1 - y) * stride + x) * 4;
            pixels.push_back(byte(entry + 2) << 16 | byte(entry + 1) << 8 | byte(entry));
        }
    return pixels;
}

// The UTC minute of `when`.
inline platform::SYSTEMTIME utcMinute(std::chrono::system_clock::time_point when)
{
    std::time_t seconds = std::chrono::system_clock::to_time_t(when);
    std::tm parts {};
    ::gmtime_r(&seconds, &parts);
    platform::SYSTEMTIME time;
    time.wYear = static_cast<uint16_t>(parts.tm_year + 1900);
    time.wMonth = static_cast<uint16_t>(parts.tm_mon + 1);
    time.wDay = static_cast<uint16_t>(parts.tm_mday);
    time.wHour = static_cast<uint16_t>(parts.tm_hour);
    time.wMinute = static_cast<uint16_t>(parts.tm_min);
    return time;
}

inline std::vector<uint32_t> shadedFor(const std::vector<uint32_t>& picture, const platform::SYSTEMTIME& minute)
{
    std::vector<uint32_t> shaded;
    zandreth::MapDaylight(zandreth::SunPositionAt(minute), kMapWidth, kMapHeight).shade(picture, shaded);
    return shaded;
}

// How the map on the screen compares with the picture: the share of the
// pixels the shading darkens that show the darkened picture (or, when the
// shading is not expected, the picture as it is), and the share of the
// others that show the picture. Only the labels over the map differ.
struct MapMatch {
    double darkened = 0;
    double day = 0;
    std::size_t darkenedCount = 0;
};

inline MapMatch compareMap(const Screenshot& shot, std::pair<int, int> map, const std::vector<uint32_t>& picture,
                           const std::vector<uint32_t>& shaded, bool expectShaded)
{
    MapMatch match;
    std::size_t dayCount = 0;
    for (int y = 0; y < kMapHeight; ++y)
        for (int x = 0; x < kMapWidth; ++x) {
            std::size_t i = static_cast<std::size_t>(y) * kMapWidth + x;
            uint32_t seen = shot.at(map.first + x, map.second + y);
            if (shaded[i] != picture[i]) {
                ++match.darkenedCount;
                match.darkened += seen == (expectShaded ? shaded[i] : picture[i]);
            } else {
                ++dayCount;
                match.day += seen == picture[i];
            }
        }
    match.darkened /= static_cast<double>(std::max<std::size_t>(match.darkenedCount, 1));
    match.day /= static_cast<double>(std::max<std::size_t>(dayCount, 1));
    return match;
}

// Screenshots a few a second for ten seconds at most, until one shows the
// map as expected: the best match seen. The program draws the shading for
// the minute of its clock tick (every 900 ms), so the minute of the
// screenshot and the one before it are both tried.
inline std::optional<MapMatch> bestMapMatch(const testing_support::VirtualDisplay& display, const std::string& file,
                                            const std::vector<uint32_t>& picture, bool expectShaded)
{
    using namespace std::chrono_literals;
    std::optional<MapMatch> best;
    for (int look = 0; look < 40 && !(best && best->darkened > 0.97 && best->day > 0.97); ++look) {
        std::this_thread::sleep_for(250ms);
        auto before = std::chrono::system_clock::now();
        auto shot = Screenshot::take(display, file);
        auto after = std::chrono::system_clock::now();
        auto map = shot ? shot->findMap() : std::nullopt;
        if (!map)
            continue;
        for (auto when : { after, before - 2s }) {
            MapMatch match = compareMap(*shot, *map, picture, shadedFor(picture, utcMinute(when)), expectShaded);
            if (!best || match.darkened + match.day > best->darkened + best->day)
                best = match;
        }
    }
    return best;
}

} // namespace day_night_test
