#pragma once

// The clock texts of the display: the current UTC time plus a record's fixed
// offset from UTC, or, when the user chose daylight-saving time (SummerTime
// 1), plus the offset its daylight-saving rule gives for the current instant
// (standard or daylight time), for a record that has a rule.

#include "platform/runtime/system_time.h"

#include <cstdint>
#include <string>

namespace zandreth {

// The UTC time of the latest CityTimeText call.
extern platform::SYSTEMTIME UtcNow;

// style -1: the short local time " hh:mm"; style 0: the record's name
// (by the saved language and kind), "  ddd, mmm d yyyy" of the UTC date, two
// blanks and "hh:mm:ss"; any other style: the empty text. The date is the
// UTC date; the offset moves only the time of day, whichever offset it is. An offset of more than a
// day either way (only a hand-edited file holds one) is taken modulo a day,
// so the text still reads as a time of day. The clock is read into UtcNow
// first; then a record number outside the catalogue raises the subscript
// run-time error, whatever the style; `source` names where the number came
// from (e.g. "TimeZone") for its report.
std::string CityTimeText(int16_t city, int16_t style, const std::string& source = {});

} // namespace zandreth
