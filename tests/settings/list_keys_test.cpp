// The keys of a city list give the same city on every system: one table of
// key sequences, each played on the first row's list of the settings dialog
// over the shipped catalogue in English city names, then 設定, and the
// record the row saves. The Linux build runs it on the Qt backend, the
// Windows build on the Win32 backend under Wine.

#include "settings/setting.h"

#include "data/app_path.h"
#include "platform/profile/private_profile.h"
#include "platform/forms/runtime.h"
#include "platform/testing/hooks.h"
#include "support/form_drivers.h"
#include "support/file_bytes.h"
#include "support/message_box_recorder.h"
#include "support/program_state.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace {

constexpr int16_t kTab = 9;
constexpr int16_t kEnter = 13;
constexpr int16_t kEscape = 27;
constexpr int16_t kPageDown = 34;
constexpr int16_t kEnd = 35;
constexpr int16_t kHome = 36;
constexpr int16_t kUp = 38;
constexpr int16_t kDown = 40;
constexpr int16_t kF4 = 115;
constexpr int16_t kAlt = 4;

// One thing the user does: a key pressed (with shift keys held), or text
// typed into the list's field.
struct Stroke {
    int16_t keyCode = 0;
    int16_t shift = 0;
    std::string typed;
};

Stroke key(int16_t keyCode, int16_t shift = 0) { return { keyCode, shift, {} }; }
Stroke type(const std::string& text) { return { 0, 0, text }; }

struct ListKeys {
    const char* name;
    // From the focus on the dialog's first control (the row's check box).
    std::vector<Stroke> strokes;
    int32_t saved;
};

void PrintTo(const ListKeys& c, std::ostream* out) { *out << c.name; }

// The shipped catalogue's first row holds Honolulu (5). In English city
// names: 0 UTC, 4 Boise (5 - 1), 6 Rarotonga, 7 Tahiti, 20 Boise (5 + 15),
// 21 Cambridge Bay and 22 Ciudad Juárez (the first two beginning with C
// after Honolulu), 372 Tokyo (the only name with "tok" at its start), 418
// the last record.
const ListKeys kListKeys[] = {
    { "TabLeavesTheCityAsItWas", { key(kTab), key(kTab) }, 5 },
    { "ExactNameThenTab", { key(kTab), type("Tokyo"), key(kTab) }, 372 },
    { "NameInSmallLettersThenTab", { key(kTab), type("tokyo"), key(kTab) }, 372 },
    { "NameInCapitalsThenApply", { key(kTab), type("TOKYO") }, 372 },
    { "NameInSmallLettersThenEnter", { key(kTab), type("tokyo"), key(kEnter) }, 372 },
    { "UnknownNameThenTabPutsTheCityBack", { key(kTab), type("Atlantis"), key(kTab) }, 5 },
    { "BeginningOfANameThenTabPutsTheCityBack", { key(kTab), type("Tok"), key(kTab) }, 5 },
    { "DownOnTheClosedList", { key(kTab), key(kDown) }, 6 },
    { "UpOnTheClosedList", { key(kTab), key(kUp) }, 4 },
    { "DroppedLetterThenEnter", { key(kTab), key(kDown, kAlt), key('C'), key(kEnter) }, 21 },
    { "DroppedLetterTwiceThenEnter", { key(kTab), key(kDown, kAlt), key('C'), key('C'), key(kEnter) }, 22 },
    { "DroppedLetterThenAltUp", { key(kTab), key(kDown, kAlt), key('C'), key(kUp, kAlt) }, 21 },
    { "DroppedDownTwiceThenEnter", { key(kTab), key(kDown, kAlt), key(kDown), key(kDown), key(kEnter) }, 7 },
    { "DroppedDownThenEscChoosesNothing", { key(kTab), key(kDown, kAlt), key(kDown), key(kEscape) }, 5 },
    { "DroppedEndThenEnter", { key(kTab), key(kDown, kAlt), key(kEnd), key(kEnter) }, 418 },
    { "DroppedHomeThenF4", { key(kTab), key(kF4), key(kHome), key(kF4) }, 0 },
    { "DroppedPageDownThenEnter", { key(kTab), key(kF4), key(kPageDown), key(kEnter) }, 20 },
    { "DroppedLetterThenTab", { key(kTab), key(kDown, kAlt), key('C'), key(kTab) }, 5 },
};

class ListKeysTest : public testing_support::FreshProgramState<testing::TestWithParam<ListKeys>> {
protected:
    void SetUp() override
    {
        FreshProgramState::SetUp();
        folder.write("zandreth.ini",
                     testing_support::readFile(std::string(ZANDRETH_SOURCE_DIR) + "/assets/zandreth.ini"));
        platform::setAppPathForTesting(folder.path().string());
        zandreth::AppPath = folder.path().string();
    }

    int32_t savedCity() const
    {
        return platform::GetPrivateProfileIntA("SELECT_CITY", "City_SelectNo0", -2, folder.file("zandreth.ini"));
    }

    testing_support::TempDir folder;
    testing_support::MessageBoxRecorder boxes;
};

TEST_P(ListKeysTest, SaveTheSameCityOnEverySystem)
{
    const ListKeys& c = GetParam();
    auto dialog = std::make_unique<zandreth::Setting>();
    dialog->show();
    platform::Runtime::current().processPendingEvents();
    // 英語: the lists name the cities in English.
    dialog->Option1(1).setValue(true);
    platform::Runtime::current().processPendingEvents();
    ASSERT_EQ(dialog->Combo1(0).text(), "Honolulu");
    ASSERT_TRUE(dialog->Check1(0).hasFocus());

    for (const Stroke& stroke : c.strokes) {
        if (stroke.typed.empty())
            platform::pressKeyForTesting(*dialog, stroke.keyCode, stroke.shift);
        else
            platform::typeForTesting(dialog->Combo1(0), stroke.typed);
        platform::Runtime::current().processPendingEvents();
    }
    dialog->Command1.click();

    EXPECT_FALSE(dialog->loaded());
    EXPECT_EQ(savedCity(), c.saved);
    EXPECT_FALSE(platform::Runtime::current().ended()) << "a handler raised a run-time error";
}

INSTANTIATE_TEST_SUITE_P(Settings, ListKeysTest, testing::ValuesIn(kListKeys),
                         [](const testing::TestParamInfo<ListKeys>& info) { return std::string(info.param.name); });

} // namespace
