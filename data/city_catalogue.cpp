#include "data/city_catalogue.h"

#include "data/app_path.h"
#include "platform/runtime/message_box.h"
#include "platform/profile/private_profile.h"
#include "platform/runtime/runtime_error.h"
#include "platform/profile/settings_folder.h"
#include "platform/runtime/text_functions.h"

namespace zandreth {

CityArray CityTable;
int16_t CityCount = 0;

namespace {

constexpr const char* kSection = "MAP_INFO";
// What a missing CODE_ key reads as. It has four commas only, so such a
// record always fails its fifth field.
constexpr const char* kMissingRecord = "UTC,UTC,0,0,-52.5";
// The key of a record's daylight-saving rule: this stem and the record
// number, beside the record's own CODE_ key.
constexpr const char* kRuleKeyStem = "CODE_TZ_";
// The buffer the records are read into: a value is cut to 255 bytes.
constexpr uint32_t kRecordBufferSize = 256;

void showCatalogueMessage()
{
    platform::MsgBox(std::string(kSettingsFileName) + "ファイルの定義エラーもしくは、ファイルが存在しません。",
                     platform::MessageBoxIcon::Critical, "定義ファイル読み込みエラー");
}

// Walks the comma-separated fields of one record value.
class FieldScanner {
public:
    explicit FieldScanner(std::string_view value)
        : value_(value)
    {
    }

    // The text up to the next comma; false when there is no comma left.
    bool next(std::string_view& field)
    {
        auto comma = value_.find(',', position_);
        if (comma == std::string_view::npos)
            return false;
        field = value_.substr(position_, comma - position_);
        position_ = comma + 1;
        return true;
    }

    std::string_view rest() const { return value_.substr(position_); }

private:
    std::string_view value_;
    std::size_t position_ = 0;
};

} // namespace

void CityArray::recreate(int16_t upperBound)
{
    records_.assign(static_cast<std::size_t>(upperBound) + 1, CityInfo {});
    exists_ = true;
}

void CityArray::raiseMissing(int index, const std::string& source) const
{
    std::string detail;
    if (!exists_)
        detail = "record " + std::to_string(index) + " does not exist: the catalogue has not been loaded";
    else if (!source.empty())
        detail = source + " = " + std::to_string(index) + ": the catalogue has records 0 to "
            + std::to_string(records_.size() - 1);
    else
        detail = "record " + std::to_string(index) + " does not exist: the catalogue has records 0 to "
            + std::to_string(records_.size() - 1);
    platform::raiseSubscript(detail);
}

CityInfo& CityArray::operator()(int index)
{
    if (!exists_ || index < 0 || static_cast<std::size_t>(index) >= records_.size())
        raiseMissing(index, {});
    return records_[static_cast<std::size_t>(index)];
}

const CityInfo& CityArray::operator()(int index) const
{
    return at(index, {});
}

const CityInfo& CityArray::at(int index, const std::string& source) const
{
    if (!exists_ || index < 0 || static_cast<std::size_t>(index) >= records_.size())
        raiseMissing(index, source);
    return records_[static_cast<std::size_t>(index)];
}

std::string SettingsFilePath()
{
    return platform::pathInFolder(AppPath, kSettingsFileName);
}

int16_t LoadCityTable()
{
    auto file = platform::ProfileFile::load(SettingsFilePath());

    int32_t count = platform::GetPrivateProfileIntA(kSection, "NUMBER_OF_CITY", -1, file);
    CityCount = platform::ToInteger(count, "NUMBER_OF_CITY");
    if (CityCount < 0) {
        showCatalogueMessage();
        return 0;
    }

    CityTable.recreate(CityCount);
    // A wide counter: NUMBER_OF_CITY may be 32767, the largest 16-bit value.
    for (int i = 0; i <= CityCount; ++i) {
        std::string key = "CODE_" + std::to_string(i);
        uint32_t copied = 0;
        std::string value = platform::GetPrivateProfileStringA(kSection, key, kMissingRecord, kRecordBufferSize,
                                                               file, &copied);
        if (copied == 0)
            continue;

        CityInfo& record = CityTable(i);
        record.Code = static_cast<int16_t>(i);
        FieldScanner fields(value);
        std::string_view field;
        // A record that runs out of commas is a definition error of the file:
        // say so, as for a file without a catalogue, instead of ending
        // without a word.
        auto nextField = [&]() {
            if (fields.next(field))
                return true;
            showCatalogueMessage();
            return false;
        };
        if (!nextField())
            return 0;
        record.CountryJa = field;
        if (!nextField())
            return 0;
        record.CityJa = field;
        if (!nextField())
            return 0;
        record.CountryEn = field;
        if (!nextField())
            return 0;
        record.CityEn = field;
        if (!nextField())
            return 0;
        // The descriptions are built only for an error report.
        record.TimeDiff = platform::TextToLong(field, [&] { return "the offset from UTC (fifth field) of " + key; });
        if (!nextField())
            return 0;
        record.PosX =
            platform::TextToDouble(field, [&] { return "the horizontal position (sixth field) of " + key; });
        record.PosY = platform::TextToDouble(fields.rest(),
                                             [&] { return "the vertical position (seventh field) of " + key; });
        // The rule has a key of its own: the record's last field runs to the
        // end of its value, so nothing can follow it there.
        record.ZoneRule = TimeZoneRule::parse(platform::GetPrivateProfileStringA(
            kSection, kRuleKeyStem + std::to_string(i), "", kRecordBufferSize, file));
    }
    return -1;
}

} // namespace zandreth
