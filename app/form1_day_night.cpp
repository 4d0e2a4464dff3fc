// Day and night on the map: the picture's night side darkened for the
// current UTC minute, drawn at each placement and once a minute. The labels
// are controls of their own over the map and stay as they are.

#include "app/form1.h"

#include "data/map_daylight.h"
#include "data/sun_position.h"
#include "platform/runtime/system_time.h"

namespace zandreth {

namespace {

// The time's minute as one number: a later minute of the calendar gives a
// greater one.
int64_t minuteOf(const platform::SYSTEMTIME& time)
{
    return (((int64_t { time.wYear } * 13 + time.wMonth) * 32 + time.wDay) * 24 + time.wHour) * 60 + time.wMinute;
}

} // namespace

void Form1::ShadeMap(ShadeWhen when)
{
    platform::SYSTEMTIME now;
    platform::GetSystemTime(now);
    const int64_t minute = minuteOf(now);
    if (when == ShadeWhen::NewMinute && shadedMinute_ == minute)
        return;
    // The sun of the minute's start, so that the picture drawn at a
    // placement is the one the minute's tick would draw.
    now.wSecond = 0;
    now.wMilliseconds = 0;
    const platform::PixelPicture& map = Image1.picturePixels();
    // A picture the window system could not hand over stays as it is.
    if (map.pixels.empty())
        return;
    MapDaylight daylight(SunPositionAt(now), map.width, map.height);
    shadedMap_.width = map.width;
    shadedMap_.height = map.height;
    daylight.shade(map.pixels, shadedMap_.pixels);
    Image1.setPixels(shadedMap_);
    shadedMinute_ = minute;
}

} // namespace zandreth
