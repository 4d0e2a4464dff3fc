// The sun's position against published values: the instants of the
// equinoxes and solstices (the sun on the equator, or at its farthest north
// or south: the obliquity, 23.44 degrees in these years) and the equation of
// time at its extremes and near its zeros, as almanacs list them for 12:00
// UTC. The sub-solar point follows from both: its latitude is the
// declination, its longitude where the apparent noon falls.

#include "data/sun_position.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <optional>
#include <ostream>

namespace {

using zandreth::SunPositionAt;

// A fifth of a degree, on the sky and on the map; the equation of time is
// compared as the degrees of longitude it moves the sub-solar point (one
// degree per four minutes).
constexpr double kTolerance = 0.2;

struct PublishedSun {
    uint16_t year, month, day, hour, minute;
    std::optional<double> declination;    // degrees
    std::optional<double> equationOfTime; // minutes
};

void PrintTo(const PublishedSun& sun, std::ostream* out)
{
    *out << sun.year << "-" << sun.month << "-" << sun.day << " " << sun.hour << ":" << sun.minute << " UTC";
}

platform::SYSTEMTIME utcOf(const PublishedSun& sun)
{
    platform::SYSTEMTIME time;
    time.wYear = sun.year;
    time.wMonth = sun.month;
    time.wDay = sun.day;
    time.wHour = sun.hour;
    time.wMinute = sun.minute;
    return time;
}

double signedDegrees(double angle)
{
    double turned = std::fmod(angle + 180.0, 360.0);
    return (turned < 0 ? turned + 360.0 : turned) - 180.0;
}

const PublishedSun kPublished[] = {
    // Equinoxes and solstices.
    { 2023, 3, 20, 21, 24, 0.0, {} },
    { 2024, 3, 20, 3, 6, 0.0, {} },
    { 2024, 6, 20, 20, 51, 23.44, {} },
    { 2024, 9, 22, 12, 44, 0.0, {} },
    { 2024, 12, 21, 9, 21, -23.44, {} },
    { 2025, 6, 21, 2, 42, 23.44, {} },
    { 2025, 12, 21, 15, 3, -23.44, {} },
    // The equation of time: its least (-14 min 13 s) and greatest (+16 min
    // 25 s), the smaller turns of May and July, and four days near zero.
    { 2024, 2, 11, 12, 0, {}, -14.22 },
    { 2024, 5, 14, 12, 0, {}, 3.65 },
    { 2024, 7, 26, 12, 0, {}, -6.54 },
    { 2024, 11, 3, 12, 0, {}, 16.42 },
    { 2024, 4, 15, 12, 0, {}, 0.0 },
    { 2024, 6, 13, 12, 0, {}, 0.0 },
    { 2024, 9, 1, 12, 0, {}, 0.0 },
    { 2024, 12, 25, 12, 0, {}, 0.0 },
};

class SunAgainstPublishedValues : public testing::TestWithParam<PublishedSun> { };

TEST_P(SunAgainstPublishedValues, DeclinationEquationOfTimeAndSubSolarPoint)
{
    const PublishedSun& published = GetParam();
    const auto sun = SunPositionAt(utcOf(published));
    EXPECT_DOUBLE_EQ(sun.subSolarLatitude, sun.declination);
    if (published.declination) {
        EXPECT_NEAR(sun.declination, *published.declination, kTolerance);
        EXPECT_NEAR(sun.subSolarLatitude, *published.declination, kTolerance);
    }
    if (published.equationOfTime) {
        EXPECT_NEAR(sun.equationOfTime / 4, *published.equationOfTime / 4, kTolerance);
        // Apparent noon at longitude 0 comes the equation of time before
        // 12:00 UTC: the sun stands that many quarter-degrees east of it.
        const double hoursFromNoon = published.hour + published.minute / 60.0 - 12.0;
        const double longitude = signedDegrees(-15.0 * hoursFromNoon - *published.equationOfTime / 4);
        EXPECT_NEAR(signedDegrees(sun.subSolarLongitude - longitude), 0.0, kTolerance);
    }
    EXPECT_GE(sun.subSolarLongitude, -180.0);
    EXPECT_LT(sun.subSolarLongitude, 180.0);
}

INSTANTIATE_TEST_SUITE_P(Almanac, SunAgainstPublishedValues, testing::ValuesIn(kPublished),
                         [](const testing::TestParamInfo<PublishedSun>& info) {
                             const auto& sun = info.param;
                             return std::to_string(sun.year) + "_" + std::to_string(sun.month) + "_"
                                 + std::to_string(sun.day) + "_" + std::to_string(sun.hour) + "h"
                                 + std::to_string(sun.minute);
                         });

// The sun goes round once a day: at 00:00 UTC it stands over the date line,
// at 18:00 UTC over the Americas (90 degrees west), give or take the
// equation of time.
TEST(SunPosition, SubSolarLongitudeTurnsWestwardFifteenDegreesAnHour)
{
    platform::SYSTEMTIME time;
    time.wYear = 2024;
    time.wMonth = 4;
    time.wDay = 15;
    const double atMidnight = SunPositionAt(time).subSolarLongitude;
    EXPECT_NEAR(std::fabs(atMidnight), 180.0, 0.5);
    time.wHour = 18;
    EXPECT_NEAR(SunPositionAt(time).subSolarLongitude, -90.0, 0.5);
    time.wHour = 6;
    time.wMinute = 30;
    EXPECT_NEAR(SunPositionAt(time).subSolarLongitude, 82.5, 0.5);
}

} // namespace
