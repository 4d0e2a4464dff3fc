#pragma once

// The user's saved choices: sections SELECT_CITY and PROC_INFO of
// zandreth.ini, held in memory for the life of the process.

#include "data/city_catalogue.h"
#include "platform/system/file_replace.h"

#include <array>
#include <cstdint>
#include <string>

namespace zandreth {

struct SelectedCityRow {
    int16_t SelectNo = 0; // record number of the row's city; -1 for a row with no city
    int16_t MarkNo = 0;   // 1 when the row's name blinks; anything else means steady
};

struct SettingsRecord {
    int16_t HomeCity = 0;
    int32_t RndInterval = 0;  // seconds between two relocations of the map
    int32_t MarkInterval = 0; // seconds between two blink toggles
    std::array<int16_t, 2> LangSelect {};  // 0 Japanese, 1 English; -1 selected, 0 not
    std::array<int16_t, 2> PrintName {};   // 0 country name, 1 city name; -1 selected, 0 not
};

inline constexpr int kDisplayRows = 10;

extern std::array<SelectedCityRow, kDisplayRows> SelectedCity;
extern SettingsRecord Settings;
// Two choices of the dialog's own frame, check-box values: 1 on, 0 off (the
// default). Keys DAY_NIGHT and SUMMER_TIME of PROC_INFO; a choice is on only
// when its key reads exactly 1, and a missing, non-numeric or out-of-range
// value reads as off, never as an error.
// DayNight: the night side of the earth shaded on the map.
extern int16_t DayNight;
// SummerTime: a record with a daylight-saving rule (CityInfo::ZoneRule)
// shows its local time by that rule instead of its fixed offset.
extern int16_t SummerTime;

// Truth values of the settings file: -1 true, 0 false.
inline constexpr int16_t kTrue = -1;
inline constexpr int16_t kFalse = 0;

// mode false (0) reads every setting from the file, true (-1) writes every
// setting to it, any other value does nothing. A missing file, section or
// key reads as its default (no city in a row, no blinking, home city 0,
// intervals 60 and 1, both options false). A write stores every key in one
// replacement of the file, so it lands whole or not at all; it returns false
// when the file could not be replaced (read-only, full disk), and the file
// then keeps its old text. Reading and the other modes return true. A 16-bit
// value out of range in the file raises the overflow run-time error naming
// the key and the value; the fields read before it keep their new values.
// Keys beyond the ten rows and the two options of each pair
// (City_SelectNo10, Lang_Select2) are never read or written.
// DAY_NIGHT and SUMMER_TIME are read after every other key; a write stores
// each only when its choice is on or the file already has the key, so a
// file saved with both choices off keeps exactly the keys it had.
bool LoadSaveSettings(int16_t mode);

// Why the last write of LoadSaveSettings failed: a sentence naming the file
// and the reason, for a message to the user. Empty after a write that
// succeeded.
const std::string& LastSettingsWriteError();
// The cause of that failure, for a message in the program's own words; cause
// None after a write that succeeded.
const platform::FileReplaceFailure& LastSettingsWriteFailure();

// The displayed name of a record: the language value picks Japanese, the kind
// value the country name; each counts as true only when it is exactly -1.
const std::string& ChooseName(const CityInfo& city, int16_t language, int16_t kind);

} // namespace zandreth
