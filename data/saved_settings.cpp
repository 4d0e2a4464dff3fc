#include "data/saved_settings.h"

#include "platform/private_profile.h"
#include "platform/text_functions.h"

#include <string>

namespace zandreth {

std::array<SelectedCityRow, kDisplayRows> SelectedCity;
SettingsRecord Settings;
int16_t DayNight = 0;

namespace {

std::string lastWriteError;
platform::FileReplaceFailure lastWriteFailure;

constexpr const char* kCitySection = "SELECT_CITY";
constexpr const char* kProcessSection = "PROC_INFO";

// What each key reads as when the file, its section or the key is missing:
// no city in any row, no row blinking, home city record 0, a relocation every
// minute, a blink toggle every second, English city names.
constexpr int32_t kDefaultHomeCity = 0;
constexpr int32_t kDefaultSelectNo = -1;
constexpr int32_t kDefaultMarkNo = -1;
constexpr int32_t kDefaultRndInterval = 60;
constexpr int32_t kDefaultMarkInterval = 1;
constexpr int32_t kDefaultOption = 0;

constexpr int kOptionPairs = 2;

// A repeated key is its stem followed directly by the index in decimal:
// "City_SelectNo" and 3 give "City_SelectNo3".
std::string indexedKey(const char* stem, int index)
{
    return stem + platform::CStr(index);
}

// Reads one 16-bit field; a value beyond 16 bits is the overflow run-time
// error, its report naming the key and the value.
int16_t readInteger(const platform::ProfileFile& file, const char* section, const std::string& key,
                    int32_t defaultValue)
{
    return platform::ToInteger(platform::GetPrivateProfileIntA(section, key, defaultValue, file), key);
}

void readAll()
{
    // One load for every key: the file is read and parsed once per call.
    const auto file = platform::ProfileFile::load(SettingsFilePath());

    // Each field is stored as soon as it is read, so when a later key
    // overflows, the fields before it already hold their new values.
    Settings.HomeCity = readInteger(file, kCitySection, "TimeZone", kDefaultHomeCity);
    for (int i = 0; i < kDisplayRows; ++i) {
        SelectedCity[i].SelectNo = readInteger(file, kCitySection, indexedKey("City_SelectNo", i), kDefaultSelectNo);
        SelectedCity[i].MarkNo = readInteger(file, kCitySection, indexedKey("City_MarkNo", i), kDefaultMarkNo);
    }

    // The intervals are 32-bit fields and take the value whole.
    Settings.RndInterval = platform::GetPrivateProfileIntA(kProcessSection, "RND_INTERVAL", kDefaultRndInterval, file);
    Settings.MarkInterval =
        platform::GetPrivateProfileIntA(kProcessSection, "MARK_INTERVAL", kDefaultMarkInterval, file);

    for (int i = 0; i < kOptionPairs; ++i) {
        Settings.LangSelect[i] = readInteger(file, kProcessSection, indexedKey("Lang_Select", i), kDefaultOption);
        Settings.PrintName[i] = readInteger(file, kProcessSection, indexedKey("Print_Name", i), kDefaultOption);
    }

    DayNight = platform::GetPrivateProfileIntA(kProcessSection, "DAY_NIGHT", kDefaultOption, file) == 1 ? 1 : 0;
}

bool writeAll()
{
    // Every key is set in memory and the file replaced once at the end, so
    // a save lands as a whole or not at all: a read-only file or a full disk
    // leaves the old text in place instead of half the new one.
    auto file = platform::ProfileFile::load(SettingsFilePath());
    bool stored = true;
    auto write = [&](const char* section, const std::string& key, int64_t value) {
        stored = platform::WritePrivateProfileStringA(section, key, platform::CStr(value), file) && stored;
    };

    write(kCitySection, "TimeZone", Settings.HomeCity);
    for (int i = 0; i < kDisplayRows; ++i) {
        write(kCitySection, indexedKey("City_SelectNo", i), SelectedCity[i].SelectNo);
        write(kCitySection, indexedKey("City_MarkNo", i), SelectedCity[i].MarkNo);
    }

    write(kProcessSection, "RND_INTERVAL", Settings.RndInterval);
    write(kProcessSection, "MARK_INTERVAL", Settings.MarkInterval);

    for (int i = 0; i < kOptionPairs; ++i) {
        write(kProcessSection, indexedKey("Lang_Select", i), Settings.LangSelect[i]);
        write(kProcessSection, indexedKey("Print_Name", i), Settings.PrintName[i]);
    }

    // Decimal text always fits a key's value; should one ever be refused,
    // nothing is written rather than a file with some keys missing.
    if (!stored) {
        lastWriteError = "Cannot save \"" + file.path() + "\": a setting could not be stored in it";
        lastWriteFailure = { platform::FileReplaceCause::Other, 0 };
        return false;
    }
    bool committed = file.commit();
    lastWriteError = committed ? std::string() : file.errorText();
    lastWriteFailure = file.failure();
    return committed;
}

} // namespace

bool LoadSaveSettings(int16_t mode)
{
    if (mode == kFalse) {
        readAll();
        return true;
    }
    if (mode == kTrue)
        return writeAll();
    return true;
}

const std::string& LastSettingsWriteError()
{
    return lastWriteError;
}

const platform::FileReplaceFailure& LastSettingsWriteFailure()
{
    return lastWriteFailure;
}

const std::string& ChooseName(const CityInfo& city, int16_t language, int16_t kind)
{
    // Only exactly -1 counts as true, so a hand-edited 1 reads as false and
    // shows the English name.
    bool japanese = language == kTrue;
    bool country = kind == kTrue;
    if (japanese)
        return country ? city.CountryJa : city.CityJa;
    return country ? city.CountryEn : city.CityEn;
}

} // namespace zandreth
