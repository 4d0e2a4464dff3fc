#pragma once

// Decodes the shipped PNG pictures (8-bit RGBA, not interlaced, any row
// filter) into their pixels, so that the tests can look at their alpha.

#include "binary_file.h"

#include <zlib.h>

#include <cstdint>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <vector>

namespace asset_test {

struct RgbaPicture {
    uint32_t width = 0;
    uint32_t height = 0;
    int bitDepth = 0;
    int colourType = 0;
    std::vector<uint8_t> rgba; // width * height * 4, top row first

    uint8_t alpha(uint32_t x, uint32_t y) const { return rgba.at((static_cast<std::size_t>(y) * width + x) * 4 + 3); }
};

inline uint8_t paeth(int left, int above, int aboveLeft)
{
    const int estimate = left + above - aboveLeft;
    const int toLeft = std::abs(estimate - left);
    const int toAbove = std::abs(estimate - above);
    const int toAboveLeft = std::abs(estimate - aboveLeft);
    if (toLeft <= toAbove && toLeft <= toAboveLeft)
        return static_cast<uint8_t>(left);
    return static_cast<uint8_t>(toAbove <= toAboveLeft ? above : aboveLeft);
}

// The picture in `file` from byte `start` on (a PNG file, or one inside an
// icon file). Only the header is read when it is not 8-bit RGBA.
inline RgbaPicture decodePng(const BinaryFile& file, std::size_t start = 0)
{
    if (file.text(start, 8) != std::string("\x89PNG\r\n\x1a\n", 8))
        throw std::runtime_error("not a PNG picture");
    RgbaPicture picture;
    std::string compressed;
    for (std::size_t at = start + 8;;) {
        const uint32_t length = file.be32(at);
        const std::string type = file.text(at + 4, 4);
        if (type == "IHDR") {
            picture.width = file.be32(at + 8);
            picture.height = file.be32(at + 12);
            picture.bitDepth = file.byte(at + 16);
            picture.colourType = file.byte(at + 17);
            if (file.byte(at + 20) != 0)
                throw std::runtime_error("interlaced");
        } else if (type == "IDAT") {
            compressed += file.text(at + 8, length);
        } else if (type == "IEND") {
            break;
        }
        at += 12 + length;
    }
    if (picture.bitDepth != 8 || picture.colourType != 6)
        return picture;

    const std::size_t stride = static_cast<std::size_t>(picture.width) * 4;
    std::vector<uint8_t> raw((stride + 1) * picture.height);
    uLongf rawSize = static_cast<uLongf>(raw.size());
    if (uncompress(raw.data(), &rawSize, reinterpret_cast<const Bytef*>(compressed.data()),
                   static_cast<uLong>(compressed.size())) != Z_OK
        || rawSize != raw.size())
        throw std::runtime_error("the picture's data does not inflate to its size");

    picture.rgba.assign(stride * picture.height, 0);
    for (std::size_t row = 0; row < picture.height; ++row) {
        const uint8_t filter = raw[row * (stride + 1)];
        const uint8_t* in = &raw[row * (stride + 1) + 1];
        uint8_t* out = &picture.rgba[row * stride];
        const uint8_t* above = row > 0 ? out - stride : nullptr;
        for (std::size_t i = 0; i < stride; ++i) {
            const int left = i >= 4 ? out[i - 4] : 0;
            const int up = above ? above[i] : 0;
            const int upLeft = above && i >= 4 ? above[i - 4] : 0;
            int predicted = 0;
            switch (filter) {
            case 0: predicted = 0; break;
            case 1: predicted = left; break;
            case 2: predicted = up; break;
            case 3: predicted = (left + up) / 2; break;
            case 4: predicted = paeth(left, up, upLeft); break;
            default: throw std::runtime_error("unknown row filter");
            }
            out[i] = static_cast<uint8_t>(in[i] + predicted);
        }
    }
    return picture;
}

} // namespace asset_test
