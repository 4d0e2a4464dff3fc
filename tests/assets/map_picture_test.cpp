// The shipped map picture, assets/map.bmp: the display places every label
// from the picture's geometry, so its size, projection and format are
// checked here byte by byte, together with the look it promises.

#include "binary_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <string>

namespace {

constexpr int kWidth = 740;
constexpr int kHeight = 370;
constexpr std::size_t kFileSize = 274878;
constexpr std::size_t kPaletteOffset = 14 + 40;
constexpr std::size_t kPixelOffset = kPaletteOffset + 256 * 4;

struct Rgb {
    int red = 0;
    int green = 0;
    int blue = 0;
    bool isGrey() const { return red == green && green == blue; }
    bool isSeaBlue() const
    {
        return red >= 126 && red <= 168 && green >= 152 && green <= 196 && blue >= 192 && blue <= 204 &&
               blue > red;
    }
};

class MapPicture : public ::testing::Test {
protected:
    static void SetUpTestSuite() { file_ = new asset_test::BinaryFile(ZANDRETH_SOURCE_DIR "/assets/map.bmp"); }
    static void TearDownTestSuite()
    {
        delete file_;
        file_ = nullptr;
    }

    static const asset_test::BinaryFile& file() { return *file_; }

    static Rgb paletteEntry(int index)
    {
        const std::size_t at = kPaletteOffset + static_cast<std::size_t>(index) * 4;
        return {file().byte(at + 2), file().byte(at + 1), file().byte(at)};
    }

    // Rows are stored bottom-up: row 0 of the picture is the last one stored.
    static int indexAt(int x, int y)
    {
        return file().byte(kPixelOffset + static_cast<std::size_t>(kHeight - 1 - y) * kWidth + x);
    }
    static Rgb pixel(int x, int y) { return paletteEntry(indexAt(x, y)); }

    // The map's projection: x = (lon + 180) * 740 / 360, y = (90 - lat) * 370 / 180.
    static Rgb pixelAtDegrees(double latitude, double longitude)
    {
        const int x = static_cast<int>(std::floor((longitude + 180.0) * kWidth / 360.0));
        const int y = static_cast<int>(std::floor((90.0 - latitude) * kHeight / 180.0));
        return pixel(x, y);
    }

private:
    static inline asset_test::BinaryFile* file_ = nullptr;
};

TEST_F(MapPicture, IsAnUncompressedBottomUp8BitBitmapOfTheMapSize)
{
    ASSERT_EQ(file().size(), kFileSize);
    EXPECT_EQ(file().text(0, 2), "BM");
    EXPECT_EQ(file().le32(2), kFileSize);
    EXPECT_EQ(file().le32(10), kPixelOffset);
    EXPECT_EQ(file().le32(14), 40u);             // BITMAPINFOHEADER
    EXPECT_EQ(file().le32Signed(18), kWidth);
    EXPECT_EQ(file().le32Signed(22), kHeight);   // positive: bottom-up
    EXPECT_EQ(file().le16(26), 1u);              // planes
    EXPECT_EQ(file().le16(28), 8u);              // bits per pixel
    EXPECT_EQ(file().le32(30), 0u);              // no compression
    EXPECT_EQ(file().le32(34), static_cast<uint32_t>(kWidth * kHeight));
    EXPECT_EQ(file().le32(46), 256u);            // colours used
}

TEST_F(MapPicture, PaletteHoldsNinetySixGreysAndOneHundredSixtySeaBlues)
{
    int greys = 0;
    int seaBlues = 0;
    for (int index = 0; index < 256; ++index) {
        const Rgb colour = paletteEntry(index);
        if (colour.isGrey())
            ++greys;
        else if (colour.isSeaBlue())
            ++seaBlues;
        else
            ADD_FAILURE() << "palette entry " << index << " (" << colour.red << ", " << colour.green << ", "
                          << colour.blue << ") is neither grey nor a sea blue";
    }
    EXPECT_EQ(greys, 96);
    EXPECT_EQ(seaBlues, 160);
}

TEST_F(MapPicture, AboutThirtySixPercentOfThePixelsAreGrey)
{
    int grey = 0;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            grey += pixel(x, y).isGrey() ? 1 : 0;
    const double percent = 100.0 * grey / (kWidth * kHeight);
    EXPECT_NEAR(percent, 36.0, 3.0);
}

TEST_F(MapPicture, OutermostColumnsAreLightGrey)
{
    for (int y = 0; y < kHeight; ++y) {
        for (int x : {0, kWidth - 1}) {
            const Rgb colour = pixel(x, y);
            ASSERT_TRUE(colour.red == 216 && colour.green == 216 && colour.blue == 216)
                << "pixel (" << x << ", " << y << ") is (" << colour.red << ", " << colour.green << ", "
                << colour.blue << ")";
        }
    }
}

struct KnownPoint {
    const char* name;
    double latitude;
    double longitude;
    bool land;
};

TEST_F(MapPicture, KnownPlacesFallOnLandOrSea)
{
    const KnownPoint points[] = {
        {"Tokyo", 35.68, 139.69, true},
        {"London", 51.51, -0.13, true},
        {"Sao Paulo", -23.55, -46.63, true},
        {"Nairobi", -1.29, 36.82, true},
        {"Sydney region", -33.0, 150.0, true},
        {"mid-Pacific", 0.0, -160.0, false},
        {"mid-Atlantic", 30.0, -40.0, false},
        {"Indian Ocean", -20.0, 75.0, false},
        {"Caspian Sea", 42.0, 50.5, false},
    };
    for (const KnownPoint& point : points) {
        const Rgb colour = pixelAtDegrees(point.latitude, point.longitude);
        EXPECT_EQ(colour.isGrey(), point.land) << point.name;
        if (!point.land) {
            EXPECT_TRUE(colour.isSeaBlue()) << point.name;
        }
    }
}

// Antarctica's coast runs round the pole: it must be closed along the bottom
// edge, not across the map or towards the north pole.
TEST_F(MapPicture, AntarcticaFillsTheBottomEdgeAndTheArcticTopIsSea)
{
    for (int x = 0; x < kWidth; ++x) {
        ASSERT_TRUE(pixel(x, kHeight - 1).isGrey()) << "bottom row, column " << x;
        if (x > 0 && x < kWidth - 1) {
            ASSERT_TRUE(pixel(x, 0).isSeaBlue()) << "top row, column " << x;
        }
    }
}

// Land that the antimeridian cuts shows on both sides of the map: Chukotka
// in the far east of Siberia and Wrangel Island beyond it, just inside the
// light-grey edge columns.
TEST_F(MapPicture, LandAcrossTheAntimeridianShowsOnBothSides)
{
    const KnownPoint points[] = {
        {"Chukotka west of 180", 66.0, 175.0, true},
        {"Chukotka east of 180", 66.0, -175.0, true},
        {"Wrangel Island west of 180", 71.2, 179.5, true},
        {"Wrangel Island east of 180", 71.2, -179.5, true},
    };
    for (const KnownPoint& point : points)
        EXPECT_TRUE(pixelAtDegrees(point.latitude, point.longitude).isGrey()) << point.name;
}

TEST_F(MapPicture, SeaIsDarkerInTheWestThanInTheEast)
{
    auto seaBrightness = [](int firstColumn, int lastColumn) {
        double sum = 0;
        int count = 0;
        for (int y = 0; y < kHeight; ++y) {
            for (int x = firstColumn; x <= lastColumn; ++x) {
                const Rgb colour = pixel(x, y);
                if (!colour.isSeaBlue()) continue;
                sum += colour.red + colour.green + colour.blue;
                ++count;
            }
        }
        return count ? sum / count : 0.0;
    };
    EXPECT_LT(seaBrightness(1, 100), seaBrightness(kWidth - 101, kWidth - 2));
}

// Lit from above: land with sea just above it (an upper coast) is lighter
// than land with sea just below it (a lower coast).
TEST_F(MapPicture, CoastsAreLitFromAbove)
{
    double upper = 0;
    double lower = 0;
    int upperCount = 0;
    int lowerCount = 0;
    for (int y = 1; y < kHeight - 1; ++y) {
        for (int x = 1; x < kWidth - 1; ++x) {
            const Rgb here = pixel(x, y);
            if (!here.isGrey()) continue;
            if (pixel(x, y - 1).isSeaBlue() && pixel(x, y + 1).isGrey()) {
                upper += here.red;
                ++upperCount;
            }
            if (pixel(x, y + 1).isSeaBlue() && pixel(x, y - 1).isGrey()) {
                lower += here.red;
                ++lowerCount;
            }
        }
    }
    ASSERT_GT(upperCount, 0);
    ASSERT_GT(lowerCount, 0);
    EXPECT_GT(upper / upperCount, 200.0);
    EXPECT_LT(lower / lowerCount, 150.0);
}

// The same map drawn at twice the size, assets/map-2x.bmp, for screens of
// two device pixels per pixel: the same format and palette, and, averaged
// over each block of 2 x 2 pixels, the same picture as the map.
class DoubleSizeMap : public ::testing::Test {
protected:
    static constexpr int kScale = 2;
    asset_test::BinaryFile map {ZANDRETH_SOURCE_DIR "/assets/map.bmp"};
    asset_test::BinaryFile doubled {ZANDRETH_SOURCE_DIR "/assets/map-2x.bmp"};

    static int indexAt(const asset_test::BinaryFile& file, int width, int height, int x, int y)
    {
        return file.byte(kPixelOffset + static_cast<std::size_t>(height - 1 - y) * width + x);
    }
    static Rgb colour(const asset_test::BinaryFile& file, int index)
    {
        const std::size_t at = kPaletteOffset + static_cast<std::size_t>(index) * 4;
        return {file.byte(at + 2), file.byte(at + 1), file.byte(at)};
    }
};

TEST_F(DoubleSizeMap, IsTheMapsFormatAndPaletteAtTwiceTheSize)
{
    const std::size_t pixelBytes = static_cast<std::size_t>(kWidth * kScale) * (kHeight * kScale);
    ASSERT_EQ(doubled.size(), kPixelOffset + pixelBytes);
    EXPECT_EQ(doubled.text(0, 2), "BM");
    EXPECT_EQ(doubled.le32(2), doubled.size());
    EXPECT_EQ(doubled.le32(10), kPixelOffset);
    EXPECT_EQ(doubled.le32(14), 40u);
    EXPECT_EQ(doubled.le32Signed(18), kWidth * kScale);
    EXPECT_EQ(doubled.le32Signed(22), kHeight * kScale);
    EXPECT_EQ(doubled.le16(26), 1u);
    EXPECT_EQ(doubled.le16(28), 8u);
    EXPECT_EQ(doubled.le32(30), 0u);
    EXPECT_EQ(doubled.text(kPaletteOffset, 256 * 4), map.text(kPaletteOffset, 256 * 4));
}

// Each 2 x 2 block averaged is compared with the map's pixel: the colours
// differ little on average, few pixels differ much (a coast's rim falls a
// little differently at the finer size) and land and sea agree almost
// everywhere. A map shifted or drawn with another projection by a single
// pixel of the map fails all three.
TEST_F(DoubleSizeMap, ScaledDownItIsTheMap)
{
    const int width = kWidth * kScale;
    const int height = kHeight * kScale;
    double difference = 0;
    int farOff = 0;
    int landDisagrees = 0;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            const int index = indexAt(map, kWidth, kHeight, x, y);
            const Rgb expected = colour(map, index);
            double sum[3] = {0, 0, 0};
            int greys = 0;
            for (int dy = 0; dy < kScale; ++dy) {
                for (int dx = 0; dx < kScale; ++dx) {
                    const int at = indexAt(doubled, width, height, kScale * x + dx, kScale * y + dy);
                    const Rgb c = colour(doubled, at);
                    sum[0] += c.red;
                    sum[1] += c.green;
                    sum[2] += c.blue;
                    greys += at < 96;
                }
            }
            const double cells = kScale * kScale;
            const double channels[3] = {std::abs(sum[0] / cells - expected.red),
                                        std::abs(sum[1] / cells - expected.green),
                                        std::abs(sum[2] / cells - expected.blue)};
            difference += channels[0] + channels[1] + channels[2];
            if (std::max({channels[0], channels[1], channels[2]}) > 48)
                ++farOff;
            if ((greys * 2 >= kScale * kScale) != (index < 96))
                ++landDisagrees;
        }
    }
    const double pixels = static_cast<double>(kWidth) * kHeight;
    EXPECT_LT(difference / (3 * pixels), 1.5) << "mean difference per channel";
    EXPECT_LT(farOff / pixels, 0.006) << "share of pixels off by more than 48";
    EXPECT_LT(landDisagrees / pixels, 0.012) << "share of pixels where land and sea disagree";
}

} // namespace
