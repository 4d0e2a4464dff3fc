// The map pictures compiled into the program: "map", the map the display is
// designed on, and "map-2x", the same map at twice the size for screens of
// two device pixels per pixel. Each is read back through an Image control.

#include "platform/forms/form.h"
#include "platform/forms/image.h"

#include "support/program_state.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

const platform::FormDesign kDesign {
    .caption = "Maps",
    .borderStyle = platform::BorderStyle::None,
    .scaleMode = platform::ScaleMode::Pixels,
    .clientWidth = 200,
    .clientHeight = 100,
};

class MapsForm : public platform::Form {
public:
    MapsForm()
        : Form(kDesign)
    {
    }
    platform::Image Map { *this };
    platform::Image DoubleMap { *this };
};

// The mean difference per colour channel between `large`, averaged over
// blocks of `scale` x `scale` pixels, and `small`.
double meanDifference(const platform::PixelPicture& small, const platform::PixelPicture& large, int scale)
{
    double total = 0;
    for (int y = 0; y < small.height; ++y) {
        for (int x = 0; x < small.width; ++x) {
            const uint32_t expected = small.pixels[static_cast<std::size_t>(y) * small.width + x];
            for (int shift : { 16, 8, 0 }) {
                int sum = 0;
                for (int dy = 0; dy < scale; ++dy)
                    for (int dx = 0; dx < scale; ++dx)
                        sum += (large.pixels[static_cast<std::size_t>(scale * y + dy) * large.width + scale * x + dx]
                                >> shift) & 0xFF;
                total += std::abs(static_cast<double>(sum) / (scale * scale) - ((expected >> shift) & 0xFF));
            }
        }
    }
    return total / (3.0 * small.width * small.height);
}

using MapPictures = testing_support::FreshProgramState<>;

TEST_F(MapPictures, TheProgramCarriesTheMapAtOneAndTwoDevicePixelsPerPixel)
{
    MapsForm form;
    form.Map.setPicture("map");
    form.DoubleMap.setPicture("map-2x");
    EXPECT_FLOAT_EQ(form.Map.width(), 740);
    EXPECT_FLOAT_EQ(form.Map.height(), 370);
    EXPECT_FLOAT_EQ(form.DoubleMap.width(), 1480);
    EXPECT_FLOAT_EQ(form.DoubleMap.height(), 740);

    const platform::PixelPicture& map = form.Map.picturePixels();
    const platform::PixelPicture& doubled = form.DoubleMap.picturePixels();
    ASSERT_EQ(map.pixels.size(), 740u * 370u);
    ASSERT_EQ(doubled.pixels.size(), 1480u * 740u);
    EXPECT_LT(meanDifference(map, doubled, 2), 1.5) << "scaled down, the larger map is the map";
}

// An image twice the size of its picture is drawn from the finer copy, and
// the picture's own pixels it hands over are that copy's, also after other
// pixels have been shown in the picture's place (a map shaded for the
// night, shaded anew from those pixels at every scale).
TEST_F(MapPictures, AnImageTwiceItsPicturesSizeHandsOverTheFinerCopy)
{
    MapsForm form;
    form.Map.setPicture("map");
    form.DoubleMap.setPicture("map-2x");
    const platform::PixelPicture doubled = form.DoubleMap.picturePixels();
    platform::PixelPicture shaded = form.Map.picturePixels();
    for (uint32_t& pixel : shaded.pixels)
        pixel = pixel >> 1 & 0x7F7F7F;
    form.Map.setPixels(shaded);
    EXPECT_FLOAT_EQ(form.Map.width(), 740) << "pixels of the picture's size keep the picture's size";

    form.Map.move(0, 0, 1480, 740);
    platform::PixelPicture own = form.Map.native().picturePixels();
    ASSERT_EQ(own.width, 1480);
    ASSERT_EQ(own.height, 740);
    EXPECT_TRUE(own.pixels == doubled.pixels) << "the finer copy's own pixels, not the shaded ones";

    form.Map.move(0, 0, 740, 370);
    own = form.Map.native().picturePixels();
    EXPECT_EQ(own.width, 740);
    EXPECT_TRUE(own.pixels != shaded.pixels);
}

} // namespace
