// Fuzzes the catalogue loader: the input is written as zandreth.ini in a
// scratch folder and LoadCityTable reads it. The only outcomes allowed are:
// - true, with no message, a table of CityCount + 1 records, each either
//   empty or numbered with its own index, and nothing beyond it;
// - false, with at most the catalogue message (its own title and text);
// - a run-time error of the forms runtime (RuntimeError).
// Any other exception, a crash, a hang or a sanitizer report is a finding.

#include "fuzz_support.h"

#include "data/app_path.h"
#include "data/city_catalogue.h"
#include "platform/runtime/runtime_error.h"

#include <cstdint>
#include <string>

namespace {

const std::string kCatalogueTitle = "定義ファイル読み込みエラー";
const std::string kCatalogueText = "zandreth.iniファイルの定義エラーもしくは、ファイルが存在しません。";

fuzz_support::ScratchFolder& folder()
{
    static fuzz_support::ScratchFolder scratch;
    return scratch;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    zandreth::AppPath = folder().path();
    fuzz_support::writeFile(zandreth::SettingsFilePath(), std::string_view(reinterpret_cast<const char*>(data), size));

    fuzz_support::MessageRecorder messages;
    int16_t result = 0;
    try {
        result = zandreth::LoadCityTable();
    } catch (const platform::RuntimeError& error) {
        FUZZ_CHECK(messages.shown.empty(), "a message before the run-time error " + error.report());
        FUZZ_CHECK(!error.detail().empty(), "a run-time error that does not say what went wrong");
        return 0;
    }

    for (const auto& shown : messages.shown) {
        FUZZ_CHECK(shown.title == kCatalogueTitle && shown.text == kCatalogueText
                       && shown.icon == platform::MessageBoxIcon::Critical,
                   "a message other than the catalogue's: " + shown.title + ": " + shown.text);
    }
    FUZZ_CHECK(result == -1 || result == 0, "LoadCityTable returned " + std::to_string(result));

    if (result == -1) {
        FUZZ_CHECK(messages.shown.empty(), "a successful load showed a message");
        FUZZ_CHECK(zandreth::CityCount >= 0 && zandreth::CityTable.exists(),
                   "a successful load left CityCount " + std::to_string(zandreth::CityCount));
        for (int i = 0; i <= zandreth::CityCount; ++i) {
            const zandreth::CityInfo& record = zandreth::CityTable(i);
            FUZZ_CHECK(record.Code == i || record.Code == 0,
                       "record " + std::to_string(i) + " has Code " + std::to_string(record.Code));
        }
        bool beyondRaises = false;
        try {
            (void)zandreth::CityTable(zandreth::CityCount + 1);
        } catch (const platform::RuntimeError& error) {
            beyondRaises = error.kind() == platform::RuntimeErrorKind::SubscriptOutOfRange;
        }
        FUZZ_CHECK(beyondRaises, "the record after the last one did not raise the subscript error");
    } else {
        FUZZ_CHECK(messages.shown.size() <= 1, "a failed load showed " + std::to_string(messages.shown.size())
                                                   + " messages");
    }
    return 0;
}
