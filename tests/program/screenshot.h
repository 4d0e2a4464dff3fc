#pragma once

// What the real program shows on a virtual X server, as the whole-program
// tests read it: screenshots as plain RGB rasters, and the map in them.

#include "support/virtual_display.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace program_test {

struct Pixel {
    int r, g, b;
    bool operator==(const Pixel&) const = default;
};

inline bool black(Pixel p) { return p.r + p.g + p.b == 0; }

// A screenshot as a plain RGB raster.
struct Screenshot {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgb;

    Pixel at(int x, int y) const
    {
        std::size_t i = (static_cast<std::size_t>(y) * width + x) * 3;
        return { rgb[i], rgb[i + 1], rgb[i + 2] };
    }

    static std::optional<Screenshot> take(const testing_support::VirtualDisplay& display, const std::string& file,
                                          const std::string& window = "root")
    {
        auto captured = display.capture(file, window);
        if (!captured)
            return std::nullopt;
        return Screenshot { captured->width, captured->height, std::move(captured->rgb) };
    }

    // The map's top-left corner: its outermost left column is a 370-pixel run
    // of light grey (216, 216, 216).
    std::optional<std::pair<int, int>> findMap() const
    {
        auto edgeGrey = [](Pixel p) { return p.r == 216 && p.g == 216 && p.b == 216; };
        for (int y = 0; y + 370 <= height; ++y) {
            for (int x = 0; x + 740 <= width; ++x) {
                if (!edgeGrey(at(x, y)) || !edgeGrey(at(x + 739, y)))
                    continue;
                bool column = true;
                for (int dy = 0; dy < 370 && column; dy += 7)
                    column = edgeGrey(at(x, y + dy)) && edgeGrey(at(x + 739, y + dy));
                if (column && edgeGrey(at(x, y + 369)))
                    return std::make_pair(x, y);
            }
        }
        return std::nullopt;
    }
};

} // namespace program_test
