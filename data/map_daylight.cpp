#include "data/map_daylight.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace zandreth {

namespace {

constexpr double kRadians = std::numbers::pi / 180.0;
constexpr double kDegrees = 180.0 / std::numbers::pi;

// The sines of the elevation at the twilight band's edges: with the sun
// higher a pixel is in daylight, lower in the night.
const double kNightSine = std::sin(-kTwilightDepth * kRadians);

} // namespace

MapDaylight::MapDaylight(const SunPosition& sun, int width, int height)
    : width_(std::max(width, 0))
    , height_(std::max(height, 0))
{
    // sin(elevation) = sin(lat) sin(decl) + cos(lat) cos(decl) cos(lon - sub-solar lon):
    // one factor per row, one per column.
    const double declination = sun.subSolarLatitude * kRadians;
    rowSine_.resize(static_cast<std::size_t>(height_));
    rowCosine_.resize(static_cast<std::size_t>(height_));
    for (int y = 0; y < height_; ++y) {
        const double latitude = (90.0 - (y + 0.5) * 180.0 / height_) * kRadians;
        rowSine_[static_cast<std::size_t>(y)] = std::sin(latitude) * std::sin(declination);
        rowCosine_[static_cast<std::size_t>(y)] = std::cos(latitude) * std::cos(declination);
    }
    columnCosine_.resize(static_cast<std::size_t>(width_));
    for (int x = 0; x < width_; ++x) {
        const double longitude = -180.0 + (x + 0.5) * 360.0 / width_;
        columnCosine_[static_cast<std::size_t>(x)] = std::cos((longitude - sun.subSolarLongitude) * kRadians);
    }
}

double MapDaylight::sineOfElevation(int x, int y) const
{
    const auto row = static_cast<std::size_t>(y);
    return rowSine_[row] + rowCosine_[row] * columnCosine_[static_cast<std::size_t>(x)];
}

double MapDaylight::elevation(int x, int y) const
{
    return std::asin(std::clamp(sineOfElevation(x, y), -1.0, 1.0)) * kDegrees;
}

int MapDaylight::lightOfSine(double sine) const
{
    if (sine >= 0)
        return kFullLight;
    if (sine <= kNightSine)
        return kNightLight;
    // In the twilight the light falls evenly with the sun's depth.
    const double depth = -std::asin(sine) * kDegrees / kTwilightDepth;
    return static_cast<int>(std::lround(kFullLight - depth * (kFullLight - kNightLight)));
}

int MapDaylight::light(int x, int y) const { return lightOfSine(sineOfElevation(x, y)); }

void MapDaylight::shade(const std::vector<uint32_t>& day, std::vector<uint32_t>& shaded) const
{
    shaded = day;
    if (day.size() != static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_))
        return;
    for (int y = 0; y < height_; ++y) {
        const auto row = static_cast<std::size_t>(y);
        const double rowSine = rowSine_[row];
        const double rowCosine = rowCosine_[row];
        uint32_t* pixel = shaded.data() + row * static_cast<std::size_t>(width_);
        for (int x = 0; x < width_; ++x, ++pixel) {
            const double sine = rowSine + rowCosine * columnCosine_[static_cast<std::size_t>(x)];
            if (sine >= 0)
                continue;
            const auto light = static_cast<uint32_t>(lightOfSine(sine));
            const uint32_t red = ((*pixel >> 16 & 0xFF) * light) >> 8;
            const uint32_t green = ((*pixel >> 8 & 0xFF) * light) >> 8;
            const uint32_t blue = ((*pixel & 0xFF) * light) >> 8;
            *pixel = red << 16 | green << 8 | blue;
        }
    }
}

} // namespace zandreth
