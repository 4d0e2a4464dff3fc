// Time to draw day and night on the map: the sun's position and the light
// of every pixel computed and the picture darkened (Compute), and that plus
// showing the result in an image control of a form (ComputeAndShow), at the
// map's size, 740 x 370, and at twice it, 1480 x 740. The program does this
// once a minute and at each placement of the map.
// Runs headless unless QT_QPA_PLATFORM says otherwise:
//   <build>/bench/day_night_bench

#include "data/map_daylight.h"
#include "data/sun_position.h"
#include "platform/forms/form.h"
#include "platform/forms/image.h"
#include "platform/forms/pixel_picture.h"
#include "platform/forms/runtime.h"
#include "platform/runtime/system_time.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

const platform::FormDesign kDesign {
    .caption = "Map",
    .borderStyle = platform::BorderStyle::None,
    .scaleMode = platform::ScaleMode::Pixels,
    .clientWidth = 1480,
    .clientHeight = 740,
    .backColor = 0,
};

class MapForm : public platform::Form {
public:
    MapForm()
        : platform::Form(kDesign)
    {
        Image1.setPicture("map");
    }
    platform::Image Image1 { *this };
};

MapForm* mapForm = nullptr;

// The map's picture at `scale` times its size, each pixel repeated.
platform::PixelPicture mapAtScale(int scale)
{
    const platform::PixelPicture& map = mapForm->Image1.picturePixels();
    platform::PixelPicture scaled { map.width * scale, map.height * scale, {} };
    scaled.pixels.reserve(static_cast<std::size_t>(scaled.width) * static_cast<std::size_t>(scaled.height));
    for (int y = 0; y < scaled.height; ++y)
        for (int x = 0; x < scaled.width; ++x)
            scaled.pixels.push_back(map.pixels[static_cast<std::size_t>(y / scale) * map.width + x / scale]);
    return scaled;
}

platform::SYSTEMTIME minuteOfTheDay(int64_t iteration)
{
    platform::SYSTEMTIME time;
    time.wYear = 2024;
    time.wMonth = 6;
    time.wDay = 20;
    time.wHour = static_cast<uint16_t>(iteration / 60 % 24);
    time.wMinute = static_cast<uint16_t>(iteration % 60);
    return time;
}

void Compute(benchmark::State& state)
{
    const platform::PixelPicture picture = mapAtScale(static_cast<int>(state.range(0)));
    std::vector<uint32_t> shaded;
    int64_t minute = 0;
    for (auto _ : state) {
        zandreth::MapDaylight daylight(zandreth::SunPositionAt(minuteOfTheDay(minute++)), picture.width,
                                       picture.height);
        daylight.shade(picture.pixels, shaded);
        benchmark::DoNotOptimize(shaded.data());
    }
    state.counters["pixels"] = static_cast<double>(picture.pixels.size());
}

void ComputeAndShow(benchmark::State& state)
{
    const platform::PixelPicture picture = mapAtScale(static_cast<int>(state.range(0)));
    platform::PixelPicture shaded { picture.width, picture.height, {} };
    int64_t minute = 0;
    for (auto _ : state) {
        zandreth::MapDaylight daylight(zandreth::SunPositionAt(minuteOfTheDay(minute++)), picture.width,
                                       picture.height);
        daylight.shade(picture.pixels, shaded.pixels);
        mapForm->Image1.setPixels(shaded);
    }
    state.counters["pixels"] = static_cast<double>(picture.pixels.size());
}

BENCHMARK(Compute)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);
BENCHMARK(ComputeAndShow)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    platform::Runtime runtime(argc, argv);
    MapForm form;
    mapForm = &form;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
