#pragma once

// The city catalogue: section MAP_INFO of zandreth.ini, read into CityTable.
// Everywhere else a city is named by its record number, its index here.

#include "data/time_zone_rule.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zandreth {

struct CityInfo {
    int16_t Code = 0;
    std::string CountryJa;
    std::string CityJa;
    std::string CountryEn;
    std::string CityEn;
    int32_t TimeDiff = 0; // seconds added to UTC to give local time
    double PosX = 0;      // degrees, -180 at the map's left edge .. 180 at its right
    double PosY = 0;      // degrees, -90 at the map's top edge .. 90 at its bottom
    // The zone's daylight-saving rule, from the key CODE_TZ_<number> beside
    // the record; none when the key is missing or is not a rule. Used only
    // when the user chose daylight-saving time (SummerTime).
    std::optional<TimeZoneRule> ZoneRule;
};

// The catalogue's records 0 .. upper bound. It does not exist until the first
// load that reads a record count; looking up a record outside the table, or
// any record before it exists, raises the subscript run-time error with a
// report that says which records there are.
class CityArray {
public:
    bool exists() const { return exists_; }
    // Creates the table anew with records 0 .. upperBound, all empty.
    void recreate(int16_t upperBound);

    CityInfo& operator()(int index);
    const CityInfo& operator()(int index) const;

    // The same lookup, with the report naming where the number came from:
    // "City_SelectNo3 = 250: the catalogue has records 0 to 120".
    const CityInfo& at(int index, const std::string& source) const;

private:
    [[noreturn]] void raiseMissing(int index, const std::string& source) const;

    bool exists_ = false;
    std::vector<CityInfo> records_;
};

extern CityArray CityTable;
// The highest record number read from NUMBER_OF_CITY (negative after a
// load that found none).
extern int16_t CityCount;

inline constexpr const char* kSettingsFileName = "zandreth.ini";

// AppPath, the system's separator ("\\" on Windows, "/" elsewhere) and
// "zandreth.ini", built anew at every call.
std::string SettingsFilePath();

// Reads the catalogue. Each record's key CODE_<n> may have a key
// CODE_TZ_<n> beside it holding the zone's POSIX TZ rule
// ("AEST-10AEDT,M10.1.0,M4.1.0/3"); it is read into ZoneRule, and a value
// that is not a rule leaves the record without one. Returns -1 (true) when every record was read, 0 (false)
// when the file has no NUMBER_OF_CITY or a negative one, or a record lacks its
// fields; in both cases after showing the catalogue message box.
int16_t LoadCityTable();

} // namespace zandreth
