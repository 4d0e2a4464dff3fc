// The program icon: assets/zandreth.ico with a 32 x 32 and a 16 x 16
// 16-colour globe, and the same pictures as PNG files for the windows.

#include "binary_file.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {

struct PngCase {
    const char* file;
    uint32_t size;
};

TEST(IconPictures, PngFilesAreRgbaOfTheirSize)
{
    const PngCase cases[] = {{"zandreth-32.png", 32}, {"zandreth-16.png", 16}};
    for (const PngCase& png : cases) {
        SCOPED_TRACE(png.file);
        const asset_test::BinaryFile file(std::string(ZANDRETH_SOURCE_DIR "/assets/") + png.file);
        ASSERT_GT(file.size(), 33u + 12u);
        EXPECT_EQ(file.text(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
        // The first chunk is IHDR: width, height, bit depth, colour type.
        EXPECT_EQ(file.be32(8), 13u);
        EXPECT_EQ(file.text(12, 4), "IHDR");
        EXPECT_EQ(file.be32(16), png.size);
        EXPECT_EQ(file.be32(20), png.size);
        EXPECT_EQ(file.byte(24), 8);  // bits per channel
        EXPECT_EQ(file.byte(25), 6);  // RGBA: the corners are transparent
        EXPECT_EQ(file.text(file.size() - 8, 4), "IEND");
    }
}

// One image of the .ico file, located through its directory entry.
class IcoImage {
public:
    IcoImage(const asset_test::BinaryFile& file, int entry) : file_(file)
    {
        const std::size_t at = 6 + 16 * static_cast<std::size_t>(entry);
        size = file.byte(at);
        colours = file.byte(at + 2);
        bitsPerPixel = file.le16(at + 6);
        bytes = file.le32(at + 8);
        offset = file.le32(at + 12);
    }

    int headerHeight() const { return file_.le32Signed(offset + 8); }
    int headerBits() const { return file_.le16(offset + 14); }

    // Rows are stored bottom-up, each padded to four bytes.
    int colourIndex(int x, int y) const
    {
        const std::size_t row = offset + 40 + 16 * 4 + static_cast<std::size_t>(size - 1 - y) * colourRow();
        const uint8_t pair = file_.byte(row + x / 2);
        return x % 2 ? pair & 0x0f : pair >> 4;
    }
    bool transparent(int x, int y) const
    {
        const std::size_t mask = offset + 40 + 16 * 4 + static_cast<std::size_t>(size) * colourRow();
        const std::size_t row = mask + static_cast<std::size_t>(size - 1 - y) * maskRow();
        return file_.byte(row + x / 8) & (0x80 >> (x % 8));
    }
    void colour(int index, int& red, int& green, int& blue) const
    {
        const std::size_t at = offset + 40 + static_cast<std::size_t>(index) * 4;
        blue = file_.byte(at);
        green = file_.byte(at + 1);
        red = file_.byte(at + 2);
    }

    std::size_t colourRow() const { return (static_cast<std::size_t>(size) * 4 + 31) / 32 * 4; }
    std::size_t maskRow() const { return (static_cast<std::size_t>(size) + 31) / 32 * 4; }

    int size = 0;
    int colours = 0;
    int bitsPerPixel = 0;
    uint32_t bytes = 0;
    uint32_t offset = 0;

private:
    const asset_test::BinaryFile& file_;
};

class IconFile : public ::testing::Test {
protected:
    asset_test::BinaryFile file {ZANDRETH_SOURCE_DIR "/assets/zandreth.ico"};
};

TEST_F(IconFile, HoldsA32And16Pixel16ColourImage)
{
    ASSERT_GE(file.size(), 6u + 2 * 16u);
    EXPECT_EQ(file.le16(0), 0u);
    EXPECT_EQ(file.le16(2), 1u); // an icon, not a cursor
    ASSERT_EQ(file.le16(4), 2u);
    const int sizes[] = {32, 16};
    for (int entry = 0; entry < 2; ++entry) {
        const IcoImage image(file, entry);
        SCOPED_TRACE(image.size);
        EXPECT_EQ(image.size, sizes[entry]);
        EXPECT_EQ(image.colours, 16);
        EXPECT_EQ(image.bitsPerPixel, 4);
        // Header, 16-colour palette, colour rows and AND mask, all inside the file.
        const std::size_t expected = 40 + 16 * 4 + (image.colourRow() + image.maskRow()) * image.size;
        EXPECT_EQ(image.bytes, expected);
        EXPECT_LE(image.offset + image.bytes, file.size());
        EXPECT_EQ(image.headerHeight(), 2 * image.size); // colour bitmap and mask
        EXPECT_EQ(image.headerBits(), 4);
    }
}

// A globe: transparent outside the disc, a black rim, blue sea and green
// land inside.
TEST_F(IconFile, ImagesAreGlobesWithTransparentCorners)
{
    for (int entry = 0; entry < 2; ++entry) {
        const IcoImage image(file, entry);
        SCOPED_TRACE(image.size);
        const int last = image.size - 1;
        EXPECT_TRUE(image.transparent(0, 0));
        EXPECT_TRUE(image.transparent(last, 0));
        EXPECT_TRUE(image.transparent(0, last));
        EXPECT_TRUE(image.transparent(last, last));

        int blue = 0;
        int green = 0;
        int opaque = 0;
        const double radius = image.size / 2.0;
        for (int y = 0; y < image.size; ++y) {
            for (int x = 0; x < image.size; ++x) {
                const double distance = std::hypot(x + 0.5 - radius, y + 0.5 - radius);
                if (distance < radius - 1.5) {
                    EXPECT_FALSE(image.transparent(x, y)) << x << ", " << y;
                }
                if (image.transparent(x, y)) continue;
                ++opaque;
                int r = 0, g = 0, b = 0;
                image.colour(image.colourIndex(x, y), r, g, b);
                if (b > r && b > g) ++blue;
                if (g > r && g > b) ++green;
            }
        }
        EXPECT_GT(blue, opaque / 4) << "sea";
        EXPECT_GT(green, opaque / 10) << "land";

        // The rim: the first opaque pixel of the middle row is black.
        const int middle = image.size / 2;
        int x = 0;
        while (x < image.size && image.transparent(x, middle)) ++x;
        ASSERT_LT(x, image.size);
        int r = 0, g = 0, b = 0;
        image.colour(image.colourIndex(x, middle), r, g, b);
        EXPECT_EQ(r + g + b, 0) << "the outline is black";
    }
}

} // namespace
