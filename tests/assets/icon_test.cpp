// The program icon: the globe at 16, 24, 32, 48, 64, 128 and 256 pixels as
// RGBA PNG pictures (the windows' icons and the desktop's icon theme) and
// all of them in assets/zandreth.ico, 32-bit with alpha, the 256-pixel one
// stored as a PNG picture.

#include "binary_file.h"
#include "png_picture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {

constexpr int kSizes[] = {256, 128, 64, 48, 32, 24, 16};

std::string pngPath(int size) { return ZANDRETH_SOURCE_DIR "/assets/zandreth-" + std::to_string(size) + ".png"; }

// A globe: transparent outside the disc, opaque inside it, a dark rim, blue
// sea and green land.
void expectGlobe(const asset_test::RgbaPicture& picture, int size)
{
    ASSERT_EQ(picture.width, static_cast<uint32_t>(size));
    ASSERT_EQ(picture.height, static_cast<uint32_t>(size));
    ASSERT_EQ(picture.rgba.size(), static_cast<std::size_t>(size) * size * 4);
    const double radius = size / 2.0;
    int blue = 0;
    int green = 0;
    int opaque = 0;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const double distance = std::hypot(x + 0.5 - radius, y + 0.5 - radius);
            const int alpha = picture.alpha(x, y);
            if (distance < radius - 1.5)
                EXPECT_EQ(alpha, 255) << "inside the disc at " << x << ", " << y;
            if (distance > radius + 0.75)
                EXPECT_EQ(alpha, 0) << "outside the disc at " << x << ", " << y;
            if (alpha != 255)
                continue;
            ++opaque;
            const uint8_t* p = &picture.rgba[(static_cast<std::size_t>(y) * size + x) * 4];
            if (p[2] > p[0] && p[2] > p[1])
                ++blue;
            if (p[1] > p[0] && p[1] > p[2])
                ++green;
        }
    }
    EXPECT_GT(blue, opaque / 4) << "sea";
    EXPECT_GT(green, opaque / 10) << "land";

    // The rim: the first opaque pixel of the middle row is black.
    const int middle = size / 2;
    int x = 0;
    while (x < size && picture.alpha(x, middle) != 255)
        ++x;
    ASSERT_LT(x, size);
    const uint8_t* rim = &picture.rgba[(static_cast<std::size_t>(middle) * size + x) * 4];
    EXPECT_EQ(rim[0] + rim[1] + rim[2], 0) << "the outline is black";
}

TEST(IconPictures, EveryPngIsAnRgbaGlobeOfItsSize)
{
    for (int size : kSizes) {
        SCOPED_TRACE(size);
        const asset_test::BinaryFile file(pngPath(size));
        const asset_test::RgbaPicture picture = asset_test::decodePng(file);
        EXPECT_EQ(picture.bitDepth, 8);
        EXPECT_EQ(picture.colourType, 6); // RGBA
        expectGlobe(picture, size);
    }
}

// One image of the .ico file, located through its directory entry.
struct IcoEntry {
    IcoEntry(const asset_test::BinaryFile& file, int entry)
    {
        const std::size_t at = 6 + 16 * static_cast<std::size_t>(entry);
        size = file.byte(at) == 0 ? 256 : file.byte(at); // 0 stands for 256
        height = file.byte(at + 1) == 0 ? 256 : file.byte(at + 1);
        colours = file.byte(at + 2);
        planes = file.le16(at + 4);
        bitsPerPixel = file.le16(at + 6);
        bytes = file.le32(at + 8);
        offset = file.le32(at + 12);
    }
    int size = 0;
    int height = 0;
    int colours = 0;
    int planes = 0;
    int bitsPerPixel = 0;
    uint32_t bytes = 0;
    uint32_t offset = 0;
};

// A bitmap image of the .ico: its BGRA rows and AND mask, stored bottom-up,
// read into RGBA top row first; `masked` tells the mask's transparent pixels.
asset_test::RgbaPicture readIcoBitmap(const asset_test::BinaryFile& file, const IcoEntry& entry,
                                      std::vector<bool>& masked)
{
    const std::size_t size = static_cast<std::size_t>(entry.size);
    const std::size_t colourRow = size * 4;
    const std::size_t maskRow = (size + 31) / 32 * 4;
    asset_test::RgbaPicture picture;
    picture.width = picture.height = static_cast<uint32_t>(size);
    picture.rgba.resize(size * size * 4);
    masked.assign(size * size, false);
    const std::size_t colours = entry.offset + 40;
    const std::size_t mask = colours + colourRow * size;
    for (std::size_t y = 0; y < size; ++y) {
        const std::size_t stored = size - 1 - y;
        for (std::size_t x = 0; x < size; ++x) {
            const std::size_t at = colours + stored * colourRow + x * 4;
            uint8_t* out = &picture.rgba[(y * size + x) * 4];
            out[0] = file.byte(at + 2);
            out[1] = file.byte(at + 1);
            out[2] = file.byte(at);
            out[3] = file.byte(at + 3);
            masked[y * size + x] = file.byte(mask + stored * maskRow + x / 8) & (0x80 >> (x % 8));
        }
    }
    return picture;
}

class IconFile : public ::testing::Test {
protected:
    asset_test::BinaryFile file {ZANDRETH_SOURCE_DIR "/assets/zandreth.ico"};
};

TEST_F(IconFile, DirectoryListsEverySizeAs32BitImages)
{
    ASSERT_GE(file.size(), 6u + std::size(kSizes) * 16u);
    EXPECT_EQ(file.le16(0), 0u);
    EXPECT_EQ(file.le16(2), 1u); // an icon, not a cursor
    ASSERT_EQ(file.le16(4), std::size(kSizes));
    std::size_t end = 6 + std::size(kSizes) * 16;
    for (int i = 0; i < static_cast<int>(std::size(kSizes)); ++i) {
        const IcoEntry entry(file, i);
        SCOPED_TRACE(entry.size);
        EXPECT_EQ(entry.size, kSizes[i]);
        EXPECT_EQ(entry.height, kSizes[i]);
        EXPECT_EQ(entry.colours, 0); // no palette
        EXPECT_EQ(entry.planes, 1);
        EXPECT_EQ(entry.bitsPerPixel, 32);
        EXPECT_EQ(entry.offset, end) << "the images follow each other";
        ASSERT_LE(entry.offset + entry.bytes, file.size());
        end = entry.offset + entry.bytes;
        if (entry.size == 256) {
            // PNG-compressed, as Windows reads its largest icons.
            EXPECT_EQ(file.text(entry.offset, 8), std::string("\x89PNG\r\n\x1a\n", 8));
            continue;
        }
        const std::size_t maskRow = (static_cast<std::size_t>(entry.size) + 31) / 32 * 4;
        EXPECT_EQ(file.le32(entry.offset), 40u); // BITMAPINFOHEADER
        EXPECT_EQ(file.le32Signed(entry.offset + 4), entry.size);
        EXPECT_EQ(file.le32Signed(entry.offset + 8), 2 * entry.size); // colour bitmap and mask
        EXPECT_EQ(file.le16(entry.offset + 14), 32u);
        EXPECT_EQ(file.le32(entry.offset + 16), 0u); // no compression
        EXPECT_EQ(entry.bytes, 40 + (4u * entry.size + maskRow) * entry.size);
    }
    EXPECT_EQ(end, file.size());
}

// Every image of the .ico is the PNG picture of its size, pixel for pixel
// with its alpha, and its AND mask hides exactly the transparent pixels.
TEST_F(IconFile, ImagesAreThePngGlobes)
{
    for (int i = 0; i < static_cast<int>(std::size(kSizes)); ++i) {
        const IcoEntry entry(file, i);
        SCOPED_TRACE(entry.size);
        const asset_test::RgbaPicture png = asset_test::decodePng(asset_test::BinaryFile(pngPath(entry.size)));
        asset_test::RgbaPicture image;
        if (entry.size == 256) {
            image = asset_test::decodePng(file, entry.offset);
        } else {
            std::vector<bool> masked;
            image = readIcoBitmap(file, entry, masked);
            for (std::size_t p = 0; p < masked.size(); ++p)
                ASSERT_EQ(masked[p], image.rgba[p * 4 + 3] == 0) << "pixel " << p;
        }
        expectGlobe(image, entry.size);
        EXPECT_EQ(image.rgba, png.rgba);
    }
}

} // namespace
