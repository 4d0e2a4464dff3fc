// Fuzzes the saved-settings reader: the input is written as zandreth.ini in
// a scratch folder and LoadSaveSettings(false) reads it. The only outcomes
// allowed are a read (with the catalogue message at most, which reading
// never shows in practice) or the overflow run-time error of a 16-bit field.
// After a read that succeeded, the settings are written back and read again:
// the write must succeed and leave no temporary file, a byte-order mark must
// stay, the second read must give the same values, and writing them once
// more must not change the file. (That a write keeps every byte outside the
// edited lines is checked edit by edit in profile_fuzz.)

#include "fuzz_support.h"

#include "data/app_path.h"
#include "data/saved_settings.h"
#include "platform/runtime/runtime_error.h"

#include <cstdint>
#include <string>
#include <tuple>

namespace {

fuzz_support::ScratchFolder& folder()
{
    static fuzz_support::ScratchFolder scratch;
    return scratch;
}

struct Snapshot {
    std::array<zandreth::SelectedCityRow, zandreth::kDisplayRows> rows;
    zandreth::SettingsRecord settings;

    static Snapshot take() { return { zandreth::SelectedCity, zandreth::Settings }; }

    bool operator==(const Snapshot& other) const
    {
        for (int i = 0; i < zandreth::kDisplayRows; ++i) {
            if (rows[i].SelectNo != other.rows[i].SelectNo || rows[i].MarkNo != other.rows[i].MarkNo)
                return false;
        }
        auto fields = [](const zandreth::SettingsRecord& s) {
            return std::tie(s.HomeCity, s.RndInterval, s.MarkInterval, s.LangSelect, s.PrintName);
        };
        return fields(settings) == fields(other.settings);
    }

    std::string text() const
    {
        std::string out = "TimeZone " + std::to_string(settings.HomeCity);
        for (const auto& row : rows)
            out += " " + std::to_string(row.SelectNo) + "/" + std::to_string(row.MarkNo);
        out += " intervals " + std::to_string(settings.RndInterval) + "," + std::to_string(settings.MarkInterval);
        out += " options " + std::to_string(settings.LangSelect[0]) + "," + std::to_string(settings.LangSelect[1])
            + "," + std::to_string(settings.PrintName[0]) + "," + std::to_string(settings.PrintName[1]);
        return out;
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string_view input(reinterpret_cast<const char*>(data), size);
    folder().clear();
    zandreth::AppPath = folder().path();
    const std::string path = zandreth::SettingsFilePath();
    fuzz_support::writeFile(path, input);

    fuzz_support::MessageRecorder messages;
    try {
        zandreth::LoadSaveSettings(zandreth::kFalse);
    } catch (const platform::RuntimeError& error) {
        FUZZ_CHECK(error.kind() == platform::RuntimeErrorKind::Overflow,
                   "reading the settings raised " + error.report());
        return 0;
    }
    FUZZ_CHECK(messages.shown.empty(), "reading the settings showed a message");
    Snapshot read = Snapshot::take();

    FUZZ_CHECK(zandreth::LoadSaveSettings(zandreth::kTrue), "the write failed: " + zandreth::LastSettingsWriteError());
    FUZZ_CHECK(folder().entries().size() == 1, "the write left a temporary file beside the settings");
    std::string written = fuzz_support::readFile(path);
    if (input.starts_with("\xEF\xBB\xBF"))
        FUZZ_CHECK(written.starts_with("\xEF\xBB\xBF"), "the write dropped the byte-order mark");

    zandreth::SelectedCity = {};
    zandreth::Settings = {};
    try {
        zandreth::LoadSaveSettings(zandreth::kFalse);
    } catch (const platform::RuntimeError& error) {
        fuzz_support::fail("second read", __FILE__, __LINE__, "reading what was written raised " + error.report());
    }
    Snapshot again = Snapshot::take();
    FUZZ_CHECK(again == read, "read " + read.text() + "\nbut after writing it read " + again.text());

    // A second write of the same values changes nothing.
    FUZZ_CHECK(zandreth::LoadSaveSettings(zandreth::kTrue), "the second write failed");
    FUZZ_CHECK(fuzz_support::readFile(path) == written, "writing the same values again changed the file");
    return 0;
}
