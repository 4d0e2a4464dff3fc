// Map placement: the map at a random place on the form, each city's labels
// at its point on the map, the UTC line under the map.

#include "app/form1.h"

#include "data/city_catalogue.h"
#include "data/saved_settings.h"
#include "platform/runtime/random.h"
#include "platform/runtime/runtime_error.h"
#include "platform/runtime/text_functions.h"

#include <algorithm>
#include <vector>

namespace zandreth {

namespace {

constexpr float kMapWidth = 740;
constexpr float kMapHeight = 370;
// Degrees spanned by the map: |-180| + |180| across, |-90| + |90| down.
constexpr double kHorizontalSpan = 360;
constexpr double kVerticalSpan = 180;
// A time label's top lies this far below its city's point.
constexpr float kTimeLabelDrop = 10;

constexpr int16_t kComputeScales = -1;
constexpr int16_t kMapAPoint = 0;

std::string rowKey(int row)
{
    return "City_SelectNo" + std::to_string(row);
}

} // namespace

void Form1::RelocateMap()
{
    platform::Randomize();
    // On a form over several monitors the map goes on one of them, picked at
    // random, so that it never straddles two monitors or falls into a gap
    // between monitors of different sizes. One monitor is the whole form and
    // takes no draw. The picture is drawn at the scale of its monitor.
    float utcLineHeight = L_UTCtime.height();
    platform::Area monitor = pickMonitor(kMapWidth, utcLineHeight + kMapHeight + 1);
    Image1.setWidth(kMapWidth);
    Image1.setHeight(kMapHeight);
    float horizontalDraw = platform::Rnd();
    Image1.setLeft(monitor.left + static_cast<float>((monitor.width - kMapWidth + 1) * horizontalDraw));
    float verticalDraw = platform::Rnd();
    Image1.setTop(monitor.top
                  + static_cast<float>((monitor.height - (utcLineHeight + kMapHeight + 1)) * verticalDraw));
    float unusedY = 0;
    float unusedX = 0;
    MapPoint(kComputeScales, 0, 0, unusedY, unusedX);
    PlaceCityLabels();
    PlaceUtcLabel();
    if (DayNight == 1)
        ShadeMap(ShadeWhen::Always);
}

platform::Area Form1::pickMonitor(float pictureWidth, float pictureHeight)
{
    std::size_t count = monitors().size();
    std::size_t pick = 0;
    if (count > 1)
        pick = std::min(static_cast<std::size_t>(platform::Rnd() * static_cast<float>(count)), count - 1);
    return drawOnMonitor(pick, pictureWidth, pictureHeight);
}

void Form1::MapPoint(const int16_t& mode, double horizontal, double vertical, float& outY, float& outX)
{
    if (mode == kComputeScales) {
        ScaleX = Image1.width() / kHorizontalSpan;
        ScaleY = Image1.height() / kVerticalSpan;
    } else if (mode == kMapAPoint) {
        outX = platform::ToSingle((horizontal + 180) * ScaleX + Image1.left(), "the horizontal map position");
        outY = platform::ToSingle((vertical + 90) * ScaleY + Image1.top(), "the vertical map position");
    }
}

void Form1::PlaceCityLabels()
{
    for (int i = 0; i < kDisplayRows; ++i) {
        int16_t city = SelectedCity[i].SelectNo;
        if (city == -1)
            continue;
        const CityInfo& record = CityTable.at(city, rowKey(i));
        float y = 0;
        float x = 0;
        try {
            MapPoint(kMapAPoint, record.PosX, record.PosY, y, x);
        } catch (const platform::RuntimeError& error) {
            throw error.withContext("CODE_" + std::to_string(city));
        }
        Label3(i).setLeft(x);
        Label3(i).setTop(y);
        Label1(i).setLeft(x);
        Label1(i).setTop(y + kTimeLabelDrop);
        Label3(i).setWidth(NameWidth[i]);
    }
}

void Form1::PlaceUtcLabel()
{
    L_UTCtime.setTop(Image1.top() + Image1.height());
    L_UTCtime.setLeft(Image1.left());
}

} // namespace zandreth
