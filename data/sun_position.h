#pragma once

// Where the sun stands at a UTC instant, by the low-precision formulas of the
// Astronomical Almanac (the sun's mean longitude and mean anomaly, the
// ecliptic longitude with the first two terms of the equation of centre, and
// the obliquity of the ecliptic): good to about 0.01 degree of declination
// and a few seconds of the equation of time between 1950 and 2050, and
// within a few hundredths of a degree for centuries either side.

#include "platform/runtime/system_time.h"

namespace zandreth {

struct SunPosition {
    // The sun's declination, degrees north of the celestial equator.
    double declination = 0;
    // Apparent minus mean solar time, in minutes: positive when a sundial is
    // ahead of the clock (early November), negative when behind (February).
    double equationOfTime = 0;
    // The point of the earth where the sun stands overhead: latitude in
    // degrees north (the declination), longitude in degrees east, -180 up to
    // but not including 180.
    double subSolarLatitude = 0;
    double subSolarLongitude = 0;
};

// The sun at `utc` (its day of the week and milliseconds are not used). A
// date outside the Gregorian calendar's months and days is counted on from
// its month as a calendar would (February 30 is March 1 or 2).
SunPosition SunPositionAt(const platform::SYSTEMTIME& utc);

} // namespace zandreth
