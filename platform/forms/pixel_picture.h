#pragma once

// A picture as plain pixels, for code that changes what a picture shows
// (the map's night side): rows top first, each pixel 0x00RRGGBB.

#include <cstdint>
#include <vector>

namespace platform {

struct PixelPicture {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels; // width * height of them

    bool operator==(const PixelPicture&) const = default;
};

} // namespace platform
