// Day, twilight and night on the map at the March equinox and the June
// solstice of 2024, 12:00 UTC, at the map's size and at twice it: each case
// is a point of the earth, looked up at the pixel that holds it.

#include "data/map_daylight.h"

#include <gtest/gtest.h>

#include <cctype>

#include <cmath>
#include <cstdint>
#include <ostream>
#include <set>
#include <string>
#include <vector>

namespace {

using zandreth::kFullLight;
using zandreth::kNightLight;
using zandreth::MapDaylight;
using zandreth::SunPositionAt;

enum class Daylight { Day, Twilight, Night };

const char* nameOf(Daylight daylight)
{
    switch (daylight) {
    case Daylight::Day:
        return "day";
    case Daylight::Twilight:
        return "twilight";
    default:
        return "night";
    }
}

Daylight daylightOf(int light)
{
    if (light == kFullLight)
        return Daylight::Day;
    if (light == kNightLight)
        return Daylight::Night;
    return Daylight::Twilight;
}

platform::SYSTEMTIME noonUtc(uint16_t month, uint16_t day)
{
    platform::SYSTEMTIME time;
    time.wYear = 2024;
    time.wMonth = month;
    time.wDay = day;
    time.wHour = 12;
    return time;
}

struct Size {
    int width, height;
};
const Size kSizes[] = { { 740, 370 }, { 1480, 740 } };

// The pixel of the equirectangular map that holds the point.
int column(double longitude, int width) { return static_cast<int>(std::floor((longitude + 180) * width / 360)); }
int row(double latitude, int height) { return static_cast<int>(std::floor((90 - latitude) * height / 180)); }

struct PlaceCase {
    const char* what;
    double latitude, longitude;
    Daylight expected;
};

void PrintTo(const PlaceCase& place, std::ostream* out) { *out << place.what; }

void expectDaylight(const platform::SYSTEMTIME& time, const PlaceCase& place)
{
    for (Size size : kSizes) {
        MapDaylight map(SunPositionAt(time), size.width, size.height);
        int x = column(place.longitude, size.width);
        int y = row(place.latitude, size.height);
        EXPECT_STREQ(nameOf(daylightOf(map.light(x, y))), nameOf(place.expected))
            << place.what << " at " << size.width << "x" << size.height << ", pixel " << x << "," << y
            << ", sun " << map.elevation(x, y) << " degrees";
    }
}

// 2024-03-20 12:00 UTC, nine hours after the equinox: the sun over the
// equator at 1.9 E; the terminator runs from pole to pole along 88 W and
// 92 E, and the sun is 12 degrees down at 100 W and 104 E on the equator.
const PlaceCase kEquinox[] = {
    { "sub-solar point", 0, 1.9, Daylight::Day },
    { "equator 85 W", 0, -85, Daylight::Day },
    { "equator 88 E", 0, 88, Daylight::Day },
    { "equator 95 W", 0, -95, Daylight::Twilight },
    { "equator 97 E", 0, 97, Daylight::Twilight },
    { "equator 110 W", 0, -110, Daylight::Night },
    { "equator 110 E", 0, 110, Daylight::Night },
    { "equator 179 W", 0, -179, Daylight::Night },
    { "60 N 100 W", 60, -100, Daylight::Twilight },
    { "60 S 100 E", -60, 100, Daylight::Twilight },
    { "45 N 135 W", 45, -135, Daylight::Night },
};

// 2024-06-20 12:00 UTC, the solstice: the sun over the tropic of Cancer;
// midnight sun north of the arctic circle, polar night south of the
// antarctic one; the northern day longer than the southern.
const PlaceCase kSolstice[] = {
    { "equator 85 W", 0, -85, Daylight::Day },
    { "equator 86 E", 0, 86, Daylight::Day },
    { "equator 97 W", 0, -97, Daylight::Twilight },
    { "equator 97 E", 0, 97, Daylight::Twilight },
    { "equator 110 W", 0, -110, Daylight::Night },
    { "equator 110 E", 0, 110, Daylight::Night },
    { "40 N 105 W", 40, -105, Daylight::Day },
    { "40 N 105 E", 40, 105, Daylight::Day },
    { "40 S 100 W", -40, -100, Daylight::Night },
    { "40 S 100 E", -40, 100, Daylight::Night },
    { "70 N at its midnight", 70, 179, Daylight::Day },
    { "north pole", 89.5, -179, Daylight::Day },
    { "66 N at its midnight, south of the arctic circle", 66, 179, Daylight::Twilight },
    { "70 S at its noon", -70, 0, Daylight::Twilight },
    { "70 S at its midnight", -70, 179, Daylight::Night },
    { "south pole", -89.5, 0, Daylight::Night },
};

// A test name from the place's words: "60 N 100 W" gives "At60N100W".
std::string placeName(const testing::TestParamInfo<PlaceCase>& info)
{
    std::string name = "At";
    bool upper = true;
    for (const char* c = info.param.what; *c != '\0'; ++c) {
        if (std::isalnum(static_cast<unsigned char>(*c))) {
            name += upper ? static_cast<char>(std::toupper(static_cast<unsigned char>(*c))) : *c;
            upper = false;
        } else {
            upper = true;
        }
    }
    return name;
}

class EquinoxNoon : public testing::TestWithParam<PlaceCase> { };
TEST_P(EquinoxNoon, PlaceIsInItsLight) { expectDaylight(noonUtc(3, 20), GetParam()); }
INSTANTIATE_TEST_SUITE_P(March2024, EquinoxNoon, testing::ValuesIn(kEquinox), placeName);

class SolsticeNoon : public testing::TestWithParam<PlaceCase> { };
TEST_P(SolsticeNoon, PlaceIsInItsLight) { expectDaylight(noonUtc(6, 20), GetParam()); }
INSTANTIATE_TEST_SUITE_P(June2024, SolsticeNoon, testing::ValuesIn(kSolstice), placeName);

// Across the twilight on the equator the light falls step by step, never
// rising, from the day's to the night's: a soft band about 12 degrees
// (25 pixels) wide, not an edge.
TEST(MapDaylight, TwilightFadesEvenlyFromDayToNight)
{
    MapDaylight map(SunPositionAt(noonUtc(3, 20)), 740, 370);
    const int equator = 184;
    int previous = kFullLight;
    std::set<int> levels;
    for (int x = column(80, 740); x < column(115, 740); ++x) {
        int light = map.light(x, equator);
        EXPECT_LE(light, previous) << "at column " << x;
        previous = light;
        if (light != kFullLight && light != kNightLight)
            levels.insert(light);
    }
    EXPECT_EQ(previous, kNightLight);
    EXPECT_GE(levels.size(), 20u) << "distinct levels of twilight";
}

// The picture keeps its day side pixel for pixel; each colour of a night
// pixel keeps kNightLight 256ths of its value; a twilight pixel lies in
// between.
TEST(MapDaylight, ShadeDarkensTheNightSideOfThePicture)
{
    const int width = 740;
    const int height = 370;
    MapDaylight map(SunPositionAt(noonUtc(3, 20)), width, height);
    std::vector<uint32_t> day(static_cast<std::size_t>(width) * height);
    for (std::size_t i = 0; i < day.size(); ++i)
        day[i] = i % 2 ? 0x00C8A064u : 0x00FFFFFFu;
    std::vector<uint32_t> shaded;
    map.shade(day, shaded);
    ASSERT_EQ(shaded.size(), day.size());
    auto at = [&](const std::vector<uint32_t>& picture, int x, int y) {
        return picture[static_cast<std::size_t>(y) * width + x];
    };
    auto scaled = [](uint32_t pixel, int light) {
        auto channel = [&](int shift) { return ((pixel >> shift & 0xFF) * static_cast<uint32_t>(light)) >> 8 << shift; };
        return channel(16) | channel(8) | channel(0);
    };
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            ASSERT_EQ(at(shaded, x, y), scaled(at(day, x, y), map.light(x, y))) << x << "," << y;
    EXPECT_EQ(at(shaded, 370, 184), at(day, 370, 184));
    EXPECT_EQ(at(shaded, 0, 184), scaled(at(day, 0, 184), kNightLight));
    EXPECT_EQ(scaled(0x00FFFFFF, kNightLight), 0x00676767u);
}

// A picture of another size than the map's is left as it is.
TEST(MapDaylight, PictureOfAnotherSizeIsLeftAsItIs)
{
    MapDaylight map(SunPositionAt(noonUtc(3, 20)), 740, 370);
    std::vector<uint32_t> day(100, 0x00FFFFFFu);
    std::vector<uint32_t> shaded { 1, 2, 3 };
    map.shade(day, shaded);
    EXPECT_EQ(shaded, day);
}

} // namespace
