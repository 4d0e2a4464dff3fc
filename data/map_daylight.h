#pragma once

// Day and night on the map: the sun's elevation over each pixel of an
// equirectangular map of the whole earth (longitude -180 at the left edge to
// 180 at the right, latitude 90 north at the top to 90 south at the bottom),
// and the map's picture with its night side darkened. The day side keeps
// its pixels as they are; across the twilight band, from the sun on the
// horizon down to kTwilightDepth degrees below it, the light fades evenly
// into the night's.

#include "data/sun_position.h"

#include <cstdint>
#include <vector>

namespace zandreth {

// How far below the horizon the sun sinks before the night is at its
// darkest (nautical twilight), in degrees.
inline constexpr double kTwilightDepth = 12.0;
// The share of its light a pixel keeps, in 256ths: all of it by day, less
// than half at night (still enough to make out the coasts).
inline constexpr int kFullLight = 256;
inline constexpr int kNightLight = 104;

class MapDaylight {
public:
    // The map `width` x `height` pixels with the sun at `sun`'s sub-solar
    // point. Pixel (x, y) stands for the point at its centre.
    MapDaylight(const SunPosition& sun, int width, int height);

    int width() const { return width_; }
    int height() const { return height_; }

    // The sun's elevation above the horizon at pixel (x, y), in degrees.
    double elevation(int x, int y) const;
    // The light pixel (x, y) keeps: kFullLight with the sun above the
    // horizon, kNightLight with it kTwilightDepth or more below, and in
    // between in the twilight.
    int light(int x, int y) const;

    // `day`, width x height pixels 0x00RRGGBB (rows top first), with the
    // night side darkened, into `shaded` (resized to fit). A `day` of another
    // size leaves `shaded` a copy of it.
    void shade(const std::vector<uint32_t>& day, std::vector<uint32_t>& shaded) const;

private:
    // The sine of the elevation at pixel (x, y) is
    // rowSine_[y] + rowCosine_[y] * columnCosine_[x].
    double sineOfElevation(int x, int y) const;
    int lightOfSine(double sine) const;

    int width_ = 0;
    int height_ = 0;
    std::vector<double> rowSine_;
    std::vector<double> rowCosine_;
    std::vector<double> columnCosine_;
};

} // namespace zandreth
