#include "data/sun_position.h"

#include "data/civil_days.h"

#include <cmath>
#include <cstdint>
#include <numbers>

namespace zandreth {

namespace {

constexpr double kDegrees = 180.0 / std::numbers::pi;
constexpr double kRadians = std::numbers::pi / 180.0;
// Julian date of 2000 January 1, 12:00 UTC (the epoch J2000.0), and of the
// Unix epoch, 1970 January 1, 00:00 UTC.
constexpr double kJ2000 = 2451545.0;
constexpr double kUnixEpochJulianDate = 2440587.5;
constexpr double kSecondsPerDay = 86400.0;
constexpr double kMinutesPerDegree = 4.0; // the earth turns one degree in four minutes

// An angle in degrees brought into [-180, 180).
double signedDegrees(double angle)
{
    double turned = std::fmod(angle + 180.0, 360.0);
    if (turned < 0)
        turned += 360.0;
    return turned - 180.0;
}

} // namespace

SunPosition SunPositionAt(const platform::SYSTEMTIME& utc)
{
    // Months past December roll over into the next years first, so that the
    // day count takes them as a calendar would.
    int64_t monthIndex = static_cast<int64_t>(utc.wMonth) - 1;
    const int64_t year = utc.wYear + monthIndex / 12;
    monthIndex %= 12;
    const double secondOfDay = utc.wHour * 3600.0 + utc.wMinute * 60.0 + utc.wSecond;
    const double julianDate = kUnixEpochJulianDate + static_cast<double>(daysFromCivil(year, monthIndex + 1, utc.wDay))
        + secondOfDay / kSecondsPerDay;
    const double n = julianDate - kJ2000;

    const double meanLongitude = 280.460 + 0.9856474 * n;
    const double meanAnomaly = (357.528 + 0.9856003 * n) * kRadians;
    const double eclipticLongitude =
        (meanLongitude + 1.915 * std::sin(meanAnomaly) + 0.020 * std::sin(2 * meanAnomaly)) * kRadians;
    const double obliquity = (23.439 - 0.0000004 * n) * kRadians;

    const double rightAscension = std::atan2(std::cos(obliquity) * std::sin(eclipticLongitude),
                                             std::cos(eclipticLongitude)) * kDegrees;
    const double declination = std::asin(std::sin(obliquity) * std::sin(eclipticLongitude)) * kDegrees;
    // The mean sun runs ahead of or behind the true one by the difference of
    // their right ascensions.
    const double equationOfTimeDegrees = signedDegrees(meanLongitude - rightAscension);

    SunPosition sun;
    sun.declination = declination;
    sun.equationOfTime = equationOfTimeDegrees * kMinutesPerDegree;
    sun.subSolarLatitude = declination;
    // Local apparent noon where the sun is overhead: 12:00 UTC at longitude 0
    // for the mean sun, moved by the equation of time.
    const double hoursFromNoon = secondOfDay / 3600.0 - 12.0;
    sun.subSolarLongitude = signedDegrees(-15.0 * hoursFromNoon - equationOfTimeDegrees);
    return sun;
}

} // namespace zandreth
