// The running screen saver: the labels are named once, then three timers
// rewrite the clocks, move the map and blink the marked names.

#include "app/form1.h"

#include "data/city_catalogue.h"
#include "data/clock_text.h"
#include "data/saved_settings.h"
#include "platform/runtime/runtime_error.h"
#include "platform/runtime/text_functions.h"

namespace zandreth {

namespace {

constexpr int64_t kMillisecondsPerSecond = 1000;
constexpr int kBlanksBetweenClocks = 10;

std::string rowKey(int row)
{
    return "City_SelectNo" + std::to_string(row);
}

// Interval in seconds from the settings file to a timer interval in
// milliseconds; the product must fit in 32 bits.
void setTimerSeconds(platform::Timer& timer, int32_t seconds, const std::string& key)
{
    int32_t milliseconds = platform::ToLong(seconds * kMillisecondsPerSecond, key + " × 1000");
    try {
        timer.setInterval(milliseconds);
    } catch (const platform::RuntimeError& error) {
        throw error.withContext(key + " = " + std::to_string(seconds));
    }
}

} // namespace

void Form1::SetupCityLabels()
{
    LoadSaveSettings(kFalse);
    for (int i = 0; i < kDisplayRows; ++i) {
        int16_t city = SelectedCity[i].SelectNo;
        if (city == -1) {
            Label1(i).setVisible(false);
            Label3(i).setVisible(false);
            continue;
        }
        const CityInfo& record = CityTable.at(city, rowKey(i));
        Label3(i).setCaption(ChooseName(record, Settings.LangSelect[0], Settings.PrintName[0]));
        NameWidth[i] = Label3(i).width();
        Label3(i).setAutoSize(false);
    }
    setTimerSeconds(Timer2, Settings.RndInterval, "RND_INTERVAL");
    setTimerSeconds(Timer3, Settings.MarkInterval, "MARK_INTERVAL");
}

void Form1::UpdateUtcLabel()
{
    std::string home = CityTimeText(Settings.HomeCity, kFalse, "TimeZone");
    std::string utc = CityTimeText(0, kFalse);
    L_UTCtime.setCaption(utc + platform::Space(kBlanksBetweenClocks) + home);
}

void Form1::Timer1_Timer()
{
    UpdateUtcLabel();
    for (int i = 0; i < kDisplayRows; ++i) {
        int16_t city = SelectedCity[i].SelectNo;
        if (city != -1)
            Label1(i).setCaption(CityTimeText(city, kTrue, rowKey(i)));
    }
    if (DayNight == 1)
        ShadeMap(ShadeWhen::NewMinute);
}

void Form1::Timer2_Timer()
{
    // The first tick only arms the timer: the map first moves after two
    // intervals, then at every interval.
    if (RelocArmed == 1)
        RelocateMap();
    else
        RelocArmed = 1;
}

void Form1::Timer3_Timer()
{
    for (int i = 0; i < kDisplayRows; ++i)
        if (SelectedCity[i].SelectNo != -1 && SelectedCity[i].MarkNo == 1)
            Label3(i).setVisible(BlinkOn == kTrue);
    BlinkOn = BlinkOn == kTrue ? kFalse : kTrue;
}

} // namespace zandreth
