#include "data/saved_settings.h"

#include "platform/profile/private_profile.h"
#include "platform/runtime/text_functions.h"

#include <string>

namespace zandreth {

std::array<SelectedCityRow, kDisplayRows> SelectedCity;
SettingsRecord Settings;
int16_t DayNight = 0;
int16_t SummerTime = 0;

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

constexpr const char* kDayNightKey = "DAY_NIGHT";
constexpr const char* kSummerTimeKey = "SUMMER_TIME";
constexpr int16_t kChoiceOn = 1;
constexpr int16_t kChoiceOff = 0;

// A repeated key is its stem followed directly by the index in decimal:
// "City_SelectNo" and 3 give "City_SelectNo3".
std::string indexedKey(const char* stem, int index)
{
    return stem + platform::CStr(index);
}

// A check-box choice: on only when the key reads exactly 1. Any other
// value, however large, is off rather than an overflow: these keys are
// newer than the file format and must never stop the program.
int16_t readChoice(const platform::ProfileFile& file, const char* key)
{
    return platform::GetPrivateProfileIntA(kProcessSection, key, kChoiceOff, file) == kChoiceOn ? kChoiceOn
                                                                                             : kChoiceOff;
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

    DayNight = readChoice(file, kDayNightKey);
    SummerTime = readChoice(file, kSummerTimeKey);
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

    // A choice that is off and not yet in the file is left out, so that a
    // file saved without ever turning one on keeps the bytes the original
    // keys give it.
    auto writeChoice = [&](const char* key, int16_t value) {
        std::string present;
        if (value == kChoiceOn || file.find(kProcessSection, key, present))
            write(kProcessSection, key, value);
    };
    writeChoice(kDayNightKey, DayNight);
    writeChoice(kSummerTimeKey, SummerTime);

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
