#include "data/clock_text.h"

#include "data/city_catalogue.h"
#include "data/saved_settings.h"
#include "platform/runtime/text_functions.h"

namespace zandreth {

platform::SYSTEMTIME UtcNow;

namespace {

constexpr int32_t kSecondsPerDay = 86400;
constexpr int32_t kSecondsPerHour = 3600;
constexpr int32_t kSecondsPerMinute = 60;
constexpr int16_t kHoursPerDay = 24;

// Offsets of at most one day either way are what the catalogue holds; the
// single corrections below cover exactly that range.
bool withinOneDay(int32_t timeDifference)
{
    return timeDifference >= -kSecondsPerDay && timeDifference <= kSecondsPerDay;
}

// The offset the record's local time runs at now: by its daylight-saving
// rule when the user chose daylight-saving time and the record has one,
// otherwise its fixed offset.
int32_t offsetNow(const CityInfo& record)
{
    if (SummerTime != 1 || !record.ZoneRule)
        return record.TimeDiff;
    const int64_t now = SecondsSinceEpoch(UtcNow.wYear, UtcNow.wMonth, UtcNow.wDay, UtcNow.wHour, UtcNow.wMinute,
                                          UtcNow.wSecond);
    return record.ZoneRule->offsetAt(now);
}

} // namespace

std::string CityTimeText(int16_t city, int16_t style, const std::string& source)
{
    platform::GetSystemTime(UtcNow);
    int32_t secondsSinceMidnight =
        UtcNow.wHour * kSecondsPerHour + UtcNow.wMinute * kSecondsPerMinute + UtcNow.wSecond;

    // The lookup comes after the clock was read, for every style: an unknown
    // record is an error even where the text would be empty.
    const CityInfo& record = CityTable.at(city, source);

    // 64 bits, since a hand-edited offset near the 32-bit limits would
    // overflow the sum.
    const int32_t timeDifference = offsetNow(record);
    int64_t localSeconds = int64_t { secondsSinceMidnight } + timeDifference;
    if (!withinOneDay(timeDifference)) {
        // Beyond one day the corrections below would leave hours outside
        // 0..23; reduce to a time of day instead so the text still reads as
        // a clock.
        localSeconds %= kSecondsPerDay;
        if (localSeconds < 0)
            localSeconds += kSecondsPerDay;
    }
    if (localSeconds < 0)
        localSeconds += kSecondsPerDay;

    auto hour = static_cast<int16_t>(localSeconds / kSecondsPerHour);
    if (hour > kHoursPerDay - 1)
        hour -= kHoursPerDay;
    auto minute = static_cast<int16_t>(localSeconds % kSecondsPerHour / kSecondsPerMinute);
    auto second = static_cast<int16_t>(localSeconds % kSecondsPerHour % kSecondsPerMinute);

    // Format takes the runtime's number texts joined by ":" and "/"; the date
    // is the UTC date, which the offset never moves.
    std::string timeText = platform::Str(hour) + ":" + platform::Str(minute) + ":" + platform::Str(second);
    std::string dateText =
        platform::Str(UtcNow.wYear) + "/" + platform::Str(UtcNow.wMonth) + "/" + platform::Str(UtcNow.wDay);

    if (style == kTrue)
        return platform::Format(timeText, " hh:mm");
    if (style == kFalse) {
        // The name is followed directly by the two blanks the date pattern
        // begins with.
        return ChooseName(record, Settings.LangSelect[0], Settings.PrintName[0])
            + platform::Format(dateText, "  ddd, mmm d yyyy") + platform::Space(2)
            + platform::Format(timeText, "hh:mm:ss");
    }
    return {};
}

} // namespace zandreth
