// The forms runtime's rules on a backend that draws nothing
// (recording_backend.h): what every backend may count on, Qt's or another.
// The native events come as a window system delivers them, and the tests
// look at what the rules asked of the native windows.

#include "recording_backend.h"

#include "platform/forms/check_box.h"
#include "platform/forms/combo_box.h"
#include "platform/forms/command_button.h"
#include "platform/forms/cursor.h"
#include "platform/forms/form.h"
#include "platform/forms/frame.h"
#include "platform/forms/h_scroll_bar.h"
#include "platform/forms/image.h"
#include "platform/forms/input_method.h"
#include "platform/forms/item_batch.h"
#include "platform/forms/label.h"
#include "platform/runtime/message_box.h"
#include "platform/forms/option_button.h"
#include "platform/forms/runtime.h"
#include "platform/runtime/runtime_error.h"
#include "platform/testing/hooks.h"
#include "support/form_drivers.h"
#include "platform/forms/timer.h"

#include "support/program_state.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace {

using recording_backend::recorded;

platform::FormDesign design(platform::ScaleMode scaleMode = platform::ScaleMode::Pixels)
{
    return { .caption = "Rules", .scaleMode = scaleMode, .clientWidth = 3000, .clientHeight = 2000 };
}

// A form with one control of each kind that takes input.
class RulesForm : public platform::Form {
public:
    explicit RulesForm(platform::ScaleMode scaleMode = platform::ScaleMode::Pixels)
        : Form(design(scaleMode))
    {
        Option1.setTabIndex(0);
        Option2.setTabIndex(1);
        Check1.setTabIndex(2);
        Combo1.setTabIndex(3);
        HScroll1.setTabIndex(4);
        OK.setTabIndex(5);
        Cancel.setTabIndex(6);
        OK.setDefault(true);
        Cancel.setCancel(true);
    }

    std::function<void()> onLoad;
    std::function<void(int16_t&)> onUnload;
    std::vector<int16_t> keysDown;

    platform::Frame Frame1 { *this };
    platform::OptionButton Option1 { *this };
    platform::OptionButton Option2 { *this };
    platform::OptionButton InFrame { Frame1 };
    platform::CheckBox Check1 { *this };
    platform::ComboBox Combo1 { *this };
    platform::HScrollBar HScroll1 { *this };
    platform::CommandButton OK { *this };
    platform::CommandButton Cancel { *this };
    platform::Label Label1 { *this };
    platform::Timer Timer1 { *this };

private:
    void Form_Load() override
    {
        if (onLoad)
            onLoad();
    }
    void Form_Unload(int16_t& cancel) override
    {
        if (onUnload)
            onUnload(cancel);
    }
    void Form_KeyDown(int16_t keyCode, int16_t) override { keysDown.push_back(keyCode); }
};

// Each test has a runtime of its own on the recording backend.
class FormsRules : public testing_support::FreshProgramState<> {
protected:
    void SetUp() override
    {
        recording_backend::reset();
        FreshProgramState::SetUp();
    }

private:
    int argc_ = 1;
    char name_[16] = "zandreth";
    char* argv_[2] = { name_, nullptr };
    platform::Runtime runtime_ { argc_, argv_ };
};

// --- The start -------------------------------------------------------------------

// The toolkit takes its own options out of main's arguments as it starts; the
// program's command line is what it leaves.
TEST(RuntimeStart, TheProgramsArgumentsAreThoseTheToolkitLeaves)
{
    char name[] = "zandreth";
    char option[] = "-platform";
    char value[] = "offscreen";
    char mode[] = "/p";
    char window[] = "1234";
    char* argv[] = { name, option, value, mode, window, nullptr };
    int argc = 5;
    platform::Runtime runtime(argc, argv);
    EXPECT_EQ(runtime.arguments(), (std::vector<std::string> { "zandreth", "/p", "1234" }));
}

// --- The error boundary --------------------------------------------------------

TEST_F(FormsRules, AnErrorInAHandlerOfANativeEventEndsTheProgramAndGivesBackWhatItTook)
{
    RulesForm form;
    form.show();
    platform::ShowCursor(0);
    platform::ImmAssociateContext(form.hWnd(), platform::kNullInputContext);
    ASSERT_TRUE(recording_backend::application().pointerHidden);
    ASSERT_FALSE(recorded(form.native()).inputMethod);
    form.OK.onClick = [] { platform::raiseSubscript("item 7 of 5"); };

    recorded(form.OK.native()).click();

    auto& application = recording_backend::application();
    EXPECT_TRUE(platform::Runtime::current().ended());
    EXPECT_EQ(application.exitStatus, 1) << "every event loop ends with status 1";
    EXPECT_FALSE(application.pointerHidden);
    EXPECT_TRUE(recorded(form.native()).inputMethod);
    EXPECT_EQ(application.windowsHidden, 1);
    ASSERT_EQ(application.messageBoxes.size(), 1u);
    EXPECT_NE(application.messageBoxes[0].find("Subscript out of range"), std::string::npos);
    EXPECT_NE(application.messageBoxes[0].find("item 7 of 5"), std::string::npos);
}

// A value set by code raises its handler at once, inside the boundary of the
// handler that set it: an error there stops the code after the setting.
TEST_F(FormsRules, AnErrorInAHandlerRaisedByCodeStopsTheHandlerThatRaisedIt)
{
    RulesForm form;
    form.show();
    bool afterSetting = false;
    form.Check1.onClick = [] { throw platform::RuntimeError(platform::RuntimeErrorKind::Overflow, "x"); };
    form.OK.onClick = [&] {
        form.Check1.setValue(1);
        afterSetting = true;
    };

    recorded(form.OK.native()).click();

    EXPECT_FALSE(afterSetting);
    EXPECT_EQ(recording_backend::application().exitStatus, 1);
    EXPECT_EQ(recording_backend::application().messageBoxes.size(), 1u);
}

TEST_F(FormsRules, EndStopsTheProgramWithStatusZeroAndNoReport)
{
    RulesForm form;
    form.show();
    form.OK.onClick = [] { platform::End(); };

    recorded(form.OK.native()).click();

    EXPECT_EQ(recording_backend::application().exitStatus, 0);
    EXPECT_TRUE(recording_backend::application().messageBoxes.empty());
}

// --- A hosted program's messages -----------------------------------------------

// A screen-saver host holds the keyboard and the mouse: the program's
// message, or a run-time error's report, goes to standard error and into the
// host's window (where one is known) instead of a box, and the program ends
// with status 1; the code after a message does not run.
struct HostedCase {
    const char* name;
    std::optional<uint64_t> window;
    // What happens: in Form_Load (the start), or in a click's handler.
    bool inClick;
    std::function<void()> raise;
    const char* logLine;
    const char* drawn;
};

void PrintTo(const HostedCase& c, std::ostream* out) { *out << c.name; }

class HostedMessages : public FormsRules, public testing::WithParamInterface<HostedCase> { };

TEST_P(HostedMessages, GoToStandardErrorAndTheHostsWindowAndEndTheProgramWithStatusOne)
{
    const auto& c = GetParam();
    RulesForm form;
    bool after = false;
    auto raise = [&] {
        c.raise();
        after = true;
    };
    platform::Runtime::current().runHosted();
    if (c.window)
        platform::Runtime::current().setHostWindow(*c.window);
    testing::internal::CaptureStderr();
    if (c.inClick) {
        form.OK.onClick = raise;
        form.show();
        recorded(form.OK.native()).click();
    } else {
        form.onLoad = raise;
        form.load();
    }
    const std::string log = testing::internal::GetCapturedStderr();

    auto& application = recording_backend::application();
    EXPECT_TRUE(application.messageBoxes.empty()) << "no box opens";
    EXPECT_EQ(log, std::string(c.logLine) + "\n");
    if (c.window) {
        ASSERT_EQ(application.hostMessages.size(), 1u);
        EXPECT_EQ(application.hostMessages[0].window, *c.window);
        EXPECT_EQ(application.hostMessages[0].text, c.drawn);
        EXPECT_EQ(application.hostMessages[0].milliseconds, platform::kHostedMessageMs);
    } else {
        EXPECT_TRUE(application.hostMessages.empty()) << "no window to draw in";
    }
    EXPECT_GE(application.windowsHidden, 1) << "the message stands alone";
    EXPECT_FALSE(after);
    EXPECT_TRUE(platform::Runtime::current().ended());
    EXPECT_EQ(application.exitStatus, 1);
}

const HostedCase kHostedCases[] = {
    { "TheCataloguesMessage", 0x2a00007, false,
      [] {
          platform::MsgBox("zandreth.iniファイルの定義エラーもしくは、ファイルが存在しません。",
                           platform::MessageBoxIcon::Critical, "定義ファイル読み込みエラー");
      },
      "zandreth: 定義ファイル読み込みエラー: zandreth.iniファイルの定義エラーもしくは、ファイルが存在しません。",
      "定義ファイル読み込みエラー\n\nzandreth.iniファイルの定義エラーもしくは、ファイルが存在しません。" },
    { "ARunTimeErrorInTheRootWindow", 0, true, [] { platform::raiseSubscript("item 7 of 5"); },
      "zandreth: Run-time error '9': Subscript out of range: item 7 of 5",
      "Zandreth\n\nRun-time error '9': Subscript out of range\n\nitem 7 of 5" },
    { "ARunTimeErrorBeforeTheWindowIsKnown", std::nullopt, false,
      [] { platform::raiseTypeMismatch("the window id \"zz\" of --window-id is not a window id"); },
      "zandreth: Run-time error '13': Type mismatch: the window id \"zz\" of --window-id is not a window id", "" },
};

INSTANTIATE_TEST_SUITE_P(Cases, HostedMessages, testing::ValuesIn(kHostedCases),
                         [](const testing::TestParamInfo<HostedCase>& info) { return std::string(info.param.name); });

// --- Values set by code and by the user ----------------------------------------

TEST_F(FormsRules, ACheckBoxValueRaisesClickOnceWhenItChanges)
{
    RulesForm form;
    form.show();
    int clicks = 0;
    form.Check1.onClick = [&] { ++clicks; };

    form.Check1.setValue(1);
    form.Check1.setValue(1);
    EXPECT_EQ(clicks, 1) << "setting the value it has raises nothing";
    EXPECT_TRUE(recorded(form.Check1.native()).checked);

    recorded(form.Check1.native()).check(false);
    EXPECT_EQ(clicks, 2);
    EXPECT_EQ(form.Check1.value(), 0) << "the user's click changes the value";

    EXPECT_THROW(form.Check1.setValue(2), platform::RuntimeError);
    EXPECT_EQ(form.Check1.value(), 0);
}

TEST_F(FormsRules, SelectingAnOptionButtonClearsTheOthersOfItsContainerOnly)
{
    RulesForm form;
    form.show();
    int clicks = 0;
    form.Option1.onClick = [&] { ++clicks; };
    form.InFrame.setValue(true);
    form.Option2.setVisible(false);
    form.Option2.setValue(true);

    recorded(form.Option1.native()).check(true);

    EXPECT_TRUE(form.Option1.value());
    EXPECT_FALSE(form.Option2.value()) << "a hidden button of the group is cleared too";
    EXPECT_FALSE(recorded(form.Option2.native()).checked);
    EXPECT_TRUE(form.InFrame.value()) << "a frame's buttons are a group of their own";
    EXPECT_EQ(clicks, 1);

    recorded(form.Option1.native()).check(true);
    EXPECT_EQ(clicks, 1) << "a click on the selected button changes nothing";
    form.Option1.setValue(false);
    EXPECT_EQ(clicks, 1) << "clearing a button raises nothing";
}

// --- The list --------------------------------------------------------------------

class ListRules : public FormsRules {
protected:
    void SetUp() override
    {
        FormsRules::SetUp();
        form = std::make_unique<RulesForm>();
        for (const char* city : { "Paris", "Oslo", "Lima", "Oslo" })
            list().setList(list().listCount(), city);
        form->show();
    }
    platform::ComboBox& list() { return form->Combo1; }
    recording_backend::RecordedControl& native() { return recorded(list().native()); }

    std::unique_ptr<RulesForm> form;
};

TEST_F(ListRules, ItemsAreWrittenInPlaceOrAppendedAndReadBackByIndex)
{
    list().setList(1, "Oslo");
    EXPECT_EQ(native().itemWrites, 4) << "writing the text an item has reaches nothing native";
    list().setList(4, "Rome");
    EXPECT_EQ(list().listCount(), 5);
    EXPECT_EQ(list().list(4), "Rome");
    EXPECT_EQ(native().items.back(), "Rome");
    EXPECT_THROW(list().setList(6, "Bern"), platform::RuntimeError);
    EXPECT_THROW(list().list(5), platform::RuntimeError);
    EXPECT_THROW(list().setListIndex(5), platform::RuntimeError);
    EXPECT_THROW(list().setListIndex(-2), platform::RuntimeError);
}

// What a backend tells its list views after a run of writes: the rows they
// know that changed, as one range, and the rows appended, as one insertion.
struct BatchCase {
    const char* name;
    std::vector<std::pair<int32_t, std::string>> writes; // after three items were published
    std::optional<std::pair<int32_t, int32_t>> changed;
    std::optional<std::pair<int32_t, int32_t>> appended;
};

class ListBatches : public testing::TestWithParam<BatchCase> { };

TEST_P(ListBatches, ARunOfWritesReachesTheViewsAsOneChangeAndOneInsertion)
{
    platform::ItemBatch batch;
    for (const char* city : { "Paris", "Oslo", "Lima" })
        batch.write(batch.count(), city);
    batch.publishAppended();
    ASSERT_FALSE(batch.pending());

    for (const auto& [row, text] : GetParam().writes)
        batch.write(row, text);
    auto range = [](const std::optional<platform::ItemBatch::Rows>& rows) {
        return rows ? std::optional(std::pair(rows->first, rows->last)) : std::nullopt;
    };
    EXPECT_EQ(batch.pending(), GetParam().changed || GetParam().appended);
    EXPECT_EQ(range(batch.appended()), GetParam().appended);
    EXPECT_EQ(range(batch.takeChanged()), GetParam().changed);
    EXPECT_FALSE(batch.takeChanged()) << "a change is told once";
    batch.publishAppended();
    EXPECT_EQ(batch.published(), batch.count());
    EXPECT_FALSE(batch.pending());
    std::vector<std::string> items { "Paris", "Oslo", "Lima" };
    for (const auto& [row, text] : GetParam().writes)
        (row == static_cast<int32_t>(items.size()) ? items.emplace_back() : items[static_cast<std::size_t>(row)]) = text;
    ASSERT_EQ(batch.count(), static_cast<int32_t>(items.size()));
    for (std::size_t row = 0; row < items.size(); ++row)
        EXPECT_EQ(batch.item(static_cast<int32_t>(row)), items[row]);
}

INSTANTIATE_TEST_SUITE_P(
    Writes, ListBatches,
    testing::Values(BatchCase { "Nothing", {}, std::nullopt, std::nullopt },
                    BatchCase { "OneChange", { { 1, "Rome" } }, std::pair(1, 1), std::nullopt },
                    BatchCase { "ChangesOutOfOrder", { { 2, "Rome" }, { 0, "Bern" }, { 1, "Kyiv" } }, std::pair(0, 2),
                                std::nullopt },
                    BatchCase { "Appends", { { 3, "Rome" }, { 4, "Bern" } }, std::nullopt, std::pair(3, 4) },
                    BatchCase { "AnAppendedRowRewrittenIsNoChange", { { 3, "Rome" }, { 3, "Bern" } }, std::nullopt,
                                std::pair(3, 3) },
                    BatchCase { "ChangeAndAppend", { { 3, "Rome" }, { 2, "Bern" } }, std::pair(2, 2), std::pair(3, 3) }),
    [](const testing::TestParamInfo<BatchCase>& info) { return info.param.name; });

struct TypingCase {
    const char* name;
    int32_t selectedBefore;
    const char* typed;
    int32_t listIndex;
    // The text after the list has lost the focus.
    const char* textAfterFocusLoss;
};

class ListTyping : public ListRules, public testing::WithParamInterface<TypingCase> { };

TEST_P(ListTyping, TheTypedTextSelectsTheItemItNamesAndAnyOtherIsPutBackOnLeaving)
{
    const auto& c = GetParam();
    list().setListIndex(c.selectedBefore);
    list().native().setFocus(false);
    native().editText.clear();

    native().type(c.typed);
    EXPECT_EQ(list().listIndex(), c.listIndex);

    form->OK.native().setFocus(false);
    EXPECT_EQ(list().text(), c.textAfterFocusLoss);
}

INSTANTIATE_TEST_SUITE_P(
    FormsRules, ListTyping,
    testing::Values(TypingCase { "ExactName", -1, "Lima", 2, "Lima" },
                    TypingCase { "FirstOfTwoEqualNames", 0, "Oslo", 1, "Oslo" },
                    TypingCase { "SelectedOfTwoEqualNames", 3, "Oslo", 3, "Oslo" },
                    TypingCase { "PartOfANameAfterASelection", 0, "Osl", -1, "Paris" },
                    TypingCase { "UnknownNameWithoutASelection", -1, "Rome", -1, "Rome" },
                    TypingCase { "OtherLetterCase", 2, "lima", -1, "Lima" }),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ListRules, TypingRaisesChangeForEveryKey)
{
    int changes = 0;
    list().onChange = [&] { ++changes; };
    platform::typeForTesting(list(), "Lim");
    EXPECT_EQ(changes, 3);
    EXPECT_EQ(list().text(), "Lim");
}

// The dropped list's keys, from a list of Paris, Oslo, Lima, Oslo standing on
// Paris: what is selected after them, and whether the list is still open.
struct DroppedKeysCase {
    const char* name;
    std::vector<std::pair<int16_t, int16_t>> keys;
    int32_t listIndex;
    const char* text;
    bool dropped;
};

class DroppedListKeys : public ListRules, public testing::WithParamInterface<DroppedKeysCase> { };

TEST_P(DroppedListKeys, MarkAndChooseAnItem)
{
    const auto& c = GetParam();
    list().setListIndex(0);
    list().native().setFocus(false);
    for (auto [keyCode, shift] : c.keys)
        EXPECT_TRUE(native().pressKey(keyCode, shift)) << "the list uses key " << keyCode;
    EXPECT_EQ(list().listIndex(), c.listIndex);
    EXPECT_EQ(list().text(), c.text);
    EXPECT_EQ(native().listDropped, c.dropped);
}

constexpr int16_t kAltKey = 4;
INSTANTIATE_TEST_SUITE_P(
    FormsRules, DroppedListKeys,
    testing::Values(
        DroppedKeysCase { "AltDownOpensWithTheSelectedItemMarked", { { 40, kAltKey } }, 0, "Paris", true },
        DroppedKeysCase { "ALetterMarksTheNextItemBeginningWithIt", { { 40, kAltKey }, { 'O', 0 }, { 13, 0 } }, 1, "Oslo", false },
        DroppedKeysCase { "TheLetterAgainMarksTheOneAfter", { { 40, kAltKey }, { 'O', 0 }, { 'O', 0 }, { 13, 0 } }, 3, "Oslo", false },
        DroppedKeysCase { "TheLetterGoesRound", { { 40, kAltKey }, { 'P', 0 }, { 13, 0 } }, 0, "Paris", false },
        DroppedKeysCase { "ALetterNoItemBeginsWithMarksNothingNew", { { 40, kAltKey }, { 'Z', 0 }, { 13, 0 } }, 0, "Paris", false },
        DroppedKeysCase { "ArrowsMoveTheMarkWithinTheList", { { 115, 0 }, { 38, 0 }, { 40, 0 }, { 40, 0 }, { 13, 0 } }, 2, "Lima", false },
        DroppedKeysCase { "EndThenAltUpChooses", { { 40, kAltKey }, { 35, 0 }, { 38, kAltKey } }, 3, "Oslo", false },
        DroppedKeysCase { "PageDownStopsAtTheLastItem", { { 40, kAltKey }, { 34, 0 }, { 115, 0 } }, 3, "Oslo", false },
        DroppedKeysCase { "EscChoosesNothing", { { 40, kAltKey }, { 40, 0 }, { 27, 0 } }, 0, "Paris", false }),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ListRules, KeysOfTheClosedListAreTheWindowsOwn)
{
    list().setListIndex(0);
    for (int16_t keyCode : std::vector<int16_t> { 'O', 13, 27, 38, 40 })
        EXPECT_FALSE(native().pressKey(keyCode, 0)) << "key " << keyCode;
    EXPECT_FALSE(native().listDropped);
}

// --- The mouse ----------------------------------------------------------------------

class MovesForm : public platform::Form {
public:
    MovesForm()
        : Form(design())
    {
        Image1.onMouseMove = [this](int16_t, int16_t, float, float) { ++imageMoves; };
    }
    platform::Image Image1 { *this };
    int formMoves = 0;
    int imageMoves = 0;

private:
    void Form_MouseMove(int16_t, int16_t, float, float) override { ++formMoves; }
};

// Windows that appear, disappear or move under a pointer at rest bring
// mouse-move events where the pointer stands: those are no moves, over the
// form or over its picture.
TEST_F(FormsRules, AMouseMoveWhereTheLastOneWasIsNoMove)
{
    MovesForm form;
    form.show();
    auto& window = recorded(form.native());
    auto& picture = recorded(form.Image1.native());

    window.mouseMove(10, 10, 110, 210);
    window.mouseMove(10, 10, 110, 210);
    picture.mouseMove(3, 4, 110, 210);
    EXPECT_EQ(form.formMoves, 1);
    EXPECT_EQ(form.imageMoves, 0) << "the picture came under the pointer at rest";

    picture.mouseMove(4, 4, 111, 210);
    window.mouseMove(11, 10, 111, 210);
    window.mouseMove(10, 10, 110, 210);
    EXPECT_EQ(form.formMoves, 2);
    EXPECT_EQ(form.imageMoves, 1);
}

// --- The scroll bar --------------------------------------------------------------

struct ScrollKeyCase {
    const char* name;
    int16_t keyCode;
    int16_t shift;
    int16_t value;
    bool used;
};

class ScrollBarKeys : public FormsRules, public testing::WithParamInterface<ScrollKeyCase> { };

TEST_P(ScrollBarKeys, MoveTheValueAsWindowsUsersExpect)
{
    const auto& c = GetParam();
    RulesForm form;
    auto& bar = form.HScroll1;
    bar.setMin(10);
    bar.setMax(100);
    bar.setSmallChange(3);
    bar.setLargeChange(25);
    bar.setValue(50);
    form.show();
    int changes = 0;
    bar.onChange = [&] { ++changes; };

    EXPECT_EQ(recorded(bar.native()).pressKey(c.keyCode, c.shift), c.used);
    EXPECT_EQ(bar.value(), c.value);
    EXPECT_EQ(recorded(bar.native()).value, c.value);
    EXPECT_EQ(changes, c.value != 50 ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(
    FormsRules, ScrollBarKeys,
    testing::Values(ScrollKeyCase { "Left", 37, 0, 47, true }, ScrollKeyCase { "Up", 38, 0, 47, true },
                    ScrollKeyCase { "Right", 39, 0, 53, true }, ScrollKeyCase { "Down", 40, 0, 53, true },
                    ScrollKeyCase { "PageUp", 33, 0, 25, true }, ScrollKeyCase { "PageDown", 34, 0, 75, true },
                    ScrollKeyCase { "Home", 36, 0, 10, true }, ScrollKeyCase { "End", 35, 0, 100, true },
                    ScrollKeyCase { "ShiftRight", 39, 1, 50, false }, ScrollKeyCase { "Escape", 27, 0, 50, false }),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(FormsRules, AScrollBarKeepsItsValueInsideItsRange)
{
    RulesForm form;
    auto& bar = form.HScroll1;
    bar.setValue(300);
    bar.setMax(200);
    EXPECT_EQ(bar.value(), 200) << "a lower maximum takes the value with it";
    bar.setMin(250);
    EXPECT_EQ(bar.max(), 250) << "a minimum above the maximum moves the maximum";
    EXPECT_EQ(bar.value(), 250);
    EXPECT_THROW(bar.setValue(251), platform::RuntimeError);
    EXPECT_EQ(recorded(bar.native()).min, 250);
    EXPECT_EQ(recorded(bar.native()).max, 250);
}

// --- Keys, focus and the close box -------------------------------------------------

struct FormKeyCase {
    const char* name;
    int16_t keyCode;
    // What is hidden or disabled before the key.
    std::function<void(RulesForm&)> prepare;
    int okClicks;
    int cancelClicks;
    bool reachesForm;
};

class FormKeys : public FormsRules, public testing::WithParamInterface<FormKeyCase> { };

TEST_P(FormKeys, EnterAndEscPressTheDefaultAndCancelButtons)
{
    const auto& c = GetParam();
    RulesForm form;
    form.show();
    int ok = 0;
    int cancel = 0;
    form.OK.onClick = [&] { ++ok; };
    form.Cancel.onClick = [&] { ++cancel; };
    if (c.prepare)
        c.prepare(form);

    platform::pressKeyForTesting(form, c.keyCode);

    EXPECT_EQ(ok, c.okClicks);
    EXPECT_EQ(cancel, c.cancelClicks);
    EXPECT_EQ(!form.keysDown.empty(), c.reachesForm);
}

INSTANTIATE_TEST_SUITE_P(
    FormsRules, FormKeys,
    testing::Values(FormKeyCase { "Enter", 13, {}, 1, 0, false }, FormKeyCase { "Esc", 27, {}, 0, 1, false },
                    FormKeyCase { "EscWithTheCancelButtonHidden", 27,
                                  [](RulesForm& form) { form.Cancel.setVisible(false); }, 0, 0, true },
                    FormKeyCase { "EnterWithTheDefaultButtonDisabled", 13,
                                  [](RulesForm& form) { form.OK.setEnabled(false); }, 0, 0, true },
                    FormKeyCase { "EnterOnTheFocusedCancelButton", 13,
                                  [](RulesForm& form) { form.Cancel.setFocus(); }, 0, 1, false },
                    FormKeyCase { "A", 65, {}, 0, 0, true }),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(FormsRules, ShowingAFormFocusesTheFirstControlInTabOrderThatIsShownAndEnabled)
{
    RulesForm form;
    form.Option1.setEnabled(false);
    form.Option2.setVisible(false);
    form.Frame1.setTabIndex(0);
    form.show();

    auto& order = recorded(form.native()).tabOrder;
    ASSERT_EQ(order.size(), 7u) << "the frame and the label take no focus";
    EXPECT_EQ(order.front(), &recorded(form.Option1.native()));
    EXPECT_TRUE(form.Check1.hasFocus());
}

TEST_F(FormsRules, TheCloseBoxUnloadsTheFormUnlessFormUnloadCancels)
{
    RulesForm form;
    int16_t answer = 1;
    form.onUnload = [&](int16_t& cancel) { cancel = answer; };
    form.show();

    recorded(form.native()).closeBox();
    EXPECT_TRUE(form.loaded());
    EXPECT_TRUE(recorded(form.native()).shown);
    EXPECT_EQ(recording_backend::application().mainLoopQuits, 0);

    answer = 0;
    recorded(form.native()).closeBox();
    EXPECT_FALSE(form.loaded());
    EXPECT_FALSE(recorded(form.native()).shown);
    EXPECT_EQ(recording_backend::application().mainLoopQuits, 1) << "the last form's unload ends the main loop";
}

// --- Timers ------------------------------------------------------------------------

TEST_F(FormsRules, ATimerRunsFromTheEndOfFormLoadUntilTheUnloadAndStopsAtZero)
{
    RulesForm form;
    int ticks = 0;
    form.Timer1.onTimer = [&] { ++ticks; };
    form.Timer1.setInterval(250);
    EXPECT_EQ(recording_backend::timerInterval(form.Timer1), 0) << "no timer runs before the form is loaded";
    form.onLoad = [&] {
        EXPECT_EQ(recording_backend::timerInterval(form.Timer1), 0) << "nor while Form_Load runs";
        form.Timer1.tick();
    };

    form.load();
    EXPECT_EQ(ticks, 0) << "a tick that comes during Form_Load is dropped";
    EXPECT_EQ(recording_backend::timerInterval(form.Timer1), 250);
    form.Timer1.tick();
    EXPECT_EQ(ticks, 1);

    form.Timer1.setInterval(0);
    EXPECT_EQ(recording_backend::timerInterval(form.Timer1), 0);
    form.Timer1.setInterval(40);
    EXPECT_EQ(recording_backend::timerInterval(form.Timer1), 40);
    EXPECT_THROW(form.Timer1.setInterval(-1), platform::RuntimeError);

    form.unload();
    EXPECT_EQ(recording_backend::timerInterval(form.Timer1), 0);
    form.Timer1.tick();
    EXPECT_EQ(ticks, 1) << "an unloaded form's timer raises nothing";
}

// --- Scale units ---------------------------------------------------------------------

struct GeometryCase {
    const char* name;
    platform::ScaleMode scaleMode;
    float left, top, width, height;
    recording_backend::PixelRect pixels;
};

class ControlGeometry : public FormsRules, public testing::WithParamInterface<GeometryCase> { };

TEST_P(ControlGeometry, KeepsTheSinglesAsSetAndPlacesTheNearestPixels)
{
    const auto& c = GetParam();
    RulesForm form(c.scaleMode);
    form.Label1.move(c.left, c.top, c.width, c.height);

    EXPECT_EQ(form.Label1.left(), c.left);
    EXPECT_EQ(form.Label1.width(), c.width);
    const auto& placed = recorded(form.Label1.native()).geometry;
    EXPECT_EQ(placed.x, c.pixels.x);
    EXPECT_EQ(placed.y, c.pixels.y);
    EXPECT_EQ(placed.width, c.pixels.width);
    EXPECT_EQ(placed.height, c.pixels.height);
}

INSTANTIATE_TEST_SUITE_P(
    FormsRules, ControlGeometry,
    testing::Values(GeometryCase { "Twips", platform::ScaleMode::Twips, 150, 300, 1500, 457.4f, { 10, 20, 100, 30 } },
                    GeometryCase { "Pixels", platform::ScaleMode::Pixels, 10.4f, 10.6f, 99.5f, 30, { 10, 11, 100, 30 } },
                    GeometryCase { "NegativeSize", platform::ScaleMode::Pixels, -5, 0, -20, 10, { -5, 0, 0, 10 } }),
    [](const auto& info) { return std::string(info.param.name); });

// --- Monitors, captions and input methods ---------------------------------------------

TEST_F(FormsRules, ACoveringFormReportsItsMonitorsInItsUnitsAndOneAreaForOneMonitor)
{
    RulesForm form(platform::ScaleMode::Twips);
    form.setClientSize(2 * 1024 * 15, 768 * 15);
    auto& native = recorded(form.native());

    native.screenMonitors = { { 0, 0, 1024, 768 } };
    auto areas = form.monitors();
    ASSERT_EQ(areas.size(), 1u);
    EXPECT_EQ(areas[0].width, form.scaleWidth()) << "one monitor: the whole client area";

    native.screenMonitors = { { 0, 0, 1024, 768 }, { 1024, 100, 1024, 668 } };
    areas = form.monitors();
    ASSERT_EQ(areas.size(), 2u);
    EXPECT_EQ(areas[1].left, 1024 * 15);
    EXPECT_EQ(areas[1].top, 100 * 15);
    EXPECT_EQ(areas[1].width, 1024 * 15);
    EXPECT_EQ(areas[1].height, 668 * 15);
}

// Each monitor the window system reports (in screen pixels) is moved to the
// client area's origin and cut to it; monitors it does not reach are left
// out, and fewer than two left is the whole client area.
struct MonitorCase {
    const char* name;
    recording_backend::PixelRect client;
    std::vector<recording_backend::PixelRect> monitors;
    std::vector<recording_backend::PixelRect> areas;
};

class CoveredMonitors : public FormsRules, public testing::WithParamInterface<MonitorCase> { };

TEST_P(CoveredMonitors, AreTheMonitorsCutToTheClientArea)
{
    const MonitorCase& c = GetParam();
    RulesForm form(platform::ScaleMode::Pixels);
    auto& native = recorded(form.native());
    native.client = c.client;
    native.screenMonitors = c.monitors;

    auto areas = form.monitors();
    ASSERT_EQ(areas.size(), c.areas.size());
    for (std::size_t i = 0; i < areas.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(areas[i].left, c.areas[i].x);
        EXPECT_EQ(areas[i].top, c.areas[i].y);
        EXPECT_EQ(areas[i].width, c.areas[i].width);
        EXPECT_EQ(areas[i].height, c.areas[i].height);
    }
}

INSTANTIATE_TEST_SUITE_P(
    FormsRules, CoveredMonitors,
    testing::Values(
        MonitorCase { "NotCovering", { 0, 0, 1024, 768 }, {}, { { 0, 0, 1024, 768 } } },
        MonitorCase { "OneMonitor", { 0, 0, 1024, 768 }, { { 0, 0, 1024, 768 } }, { { 0, 0, 1024, 768 } } },
        MonitorCase { "SideBySide",
                      { 0, 0, 1824, 1080 },
                      { { 0, 0, 1024, 768 }, { 1024, 0, 800, 1080 } },
                      { { 0, 0, 1024, 768 }, { 1024, 0, 800, 1080 } } },
        MonitorCase { "LeftOfAndAboveTheOrigin",
                      { -1280, -200, 2304, 1024 },
                      { { -1280, -200, 1280, 1024 }, { 0, 0, 1024, 768 } },
                      { { 0, 0, 1280, 1024 }, { 1280, 200, 1024, 768 } } },
        MonitorCase { "PartlyOutside",
                      { 100, 50, 1500, 700 },
                      { { 0, 0, 1024, 768 }, { 1024, 0, 1024, 768 } },
                      { { 0, 0, 924, 700 }, { 924, 0, 576, 700 } } },
        MonitorCase { "OneDisjointAndOneTouchingTheEdge",
                      { 0, 0, 2048, 768 },
                      { { 0, 0, 1024, 768 }, { 5000, 0, 800, 600 }, { -1024, 0, 1024, 768 }, { 1024, 0, 1024, 768 } },
                      { { 0, 0, 1024, 768 }, { 1024, 0, 1024, 768 } } },
        MonitorCase { "OnlyOneReached",
                      { 0, 0, 1024, 768 },
                      { { 0, 0, 1024, 768 }, { 3000, 0, 1024, 768 } },
                      { { 0, 0, 1024, 768 } } }),
    [](const auto& info) { return std::string(info.param.name); });

// --- Covering the screen ---------------------------------------------------------

platform::FormDesign designWith(platform::BorderStyle borderStyle)
{
    platform::FormDesign formDesign = design();
    formDesign.borderStyle = borderStyle;
    return formDesign;
}

// A borderless form shown maximised covers the screen and is held on top:
// rounds soon after the show (at 50 and 250 ms, for the grabs need the
// window up), then every second from the show on, until it unloads.
TEST_F(FormsRules, AFormCoveringTheScreenIsHeldOnTopInRoundsUntilItUnloads)
{
    platform::Form form(designWith(platform::BorderStyle::None));
    auto& native = recorded(form.native());
    form.setWindowState(platform::WindowState::Maximized);
    form.show();

    struct Step {
        int32_t at;
        int rounds;
    };
    int32_t now = 0;
    for (Step step : { Step { 49, 0 }, Step { 50, 1 }, Step { 249, 1 }, Step { 250, 2 }, Step { 999, 2 },
                       Step { 1000, 3 }, Step { 1999, 3 }, Step { 2000, 4 }, Step { 5000, 7 } }) {
        recording_backend::advanceTime(step.at - now);
        now = step.at;
        EXPECT_EQ(native.onTopRounds, step.rounds) << "after " << now << " ms";
    }

    // Maximised again while shown: the rounds start over.
    form.setWindowState(platform::WindowState::Maximized);
    recording_backend::advanceTime(49);
    EXPECT_EQ(native.onTopRounds, 7);
    recording_backend::advanceTime(201);
    EXPECT_EQ(native.onTopRounds, 9);

    form.unload();
    recording_backend::advanceTime(5000);
    EXPECT_EQ(native.onTopRounds, 9) << "an unloaded form is held no more";
}

TEST_F(FormsRules, AFormThatDoesNotCoverTheScreenIsNotHeldOnTop)
{
    struct Case {
        platform::BorderStyle borderStyle;
        platform::WindowState state;
    };
    for (Case c : { Case { platform::BorderStyle::None, platform::WindowState::Normal },
                    Case { platform::BorderStyle::Sizable, platform::WindowState::Maximized },
                    Case { platform::BorderStyle::FixedDialog, platform::WindowState::Maximized } }) {
        platform::Form form(designWith(c.borderStyle));
        form.setWindowState(c.state);
        form.show();
        recording_backend::advanceTime(3000);
        EXPECT_EQ(recorded(form.native()).onTopRounds, 0) << "border style " << static_cast<int>(c.borderStyle);
        form.unload();
    }
}

// --- Activation -----------------------------------------------------------------

// A form covering the screen is a screen saver's run: another program's
// window made active ends it as the close box does. Other forms stay.
TEST_F(FormsRules, AnotherProgramActivatedUnloadsOnlyAFormCoveringTheScreen)
{
    struct Case {
        platform::BorderStyle borderStyle;
        platform::WindowState state;
        bool unloads;
    };
    for (Case c : { Case { platform::BorderStyle::None, platform::WindowState::Maximized, true },
                    Case { platform::BorderStyle::None, platform::WindowState::Normal, false },
                    Case { platform::BorderStyle::Sizable, platform::WindowState::Maximized, false } }) {
        platform::Form form(designWith(c.borderStyle));
        form.setWindowState(c.state);
        form.show();
        recorded(form.native()).activationLost();
        EXPECT_EQ(form.loaded(), !c.unloads) << "border style " << static_cast<int>(c.borderStyle);
        form.unload();
    }
    EXPECT_FALSE(platform::Runtime::current().ended());
}

// --- A screen-saver host's window ---------------------------------------------------

// A hosted form looks at the host's window every 200 ms once shown: it
// follows a new size, fitting its picture into it anew, and unloads once the
// window is gone.
TEST_F(FormsRules, AHostedFormFollowsItsHostsWindowAndUnloadsWhenItIsGone)
{
    RulesForm form;
    auto& native = recorded(form.native());
    native.host = { 0, 0, 800, 500 };
    native.client = { 0, 0, 800, 500 };
    int unloads = 0;
    form.onUnload = [&](int16_t&) { ++unloads; };
    form.onLoad = [&] { form.hostIn(0x2a00007, 740, 400); };
    form.load();
    EXPECT_EQ(form.pixelScale(), 1) << "the picture fits at the monitor's scale";

    recording_backend::advanceTime(1000);
    form.show();
    recording_backend::advanceTime(200);
    EXPECT_EQ(native.hostFollows, 0) << "the same size is not taken again";

    native.host = { 0, 0, 370, 480 };
    recording_backend::advanceTime(200);
    EXPECT_EQ(native.hostFollows, 1);
    EXPECT_EQ(form.pixelScale(), 0.5) << "the picture scaled down to the window's width";
    EXPECT_EQ(form.scaleWidth(), 740);
    EXPECT_EQ(form.scaleHeight(), 960);
    recording_backend::advanceTime(400);
    EXPECT_EQ(native.hostFollows, 1);

    native.host = {};
    recording_backend::advanceTime(200);
    EXPECT_FALSE(form.loaded());
    EXPECT_EQ(unloads, 1);
    recording_backend::advanceTime(1000);
    EXPECT_EQ(unloads, 1);
}

// The host window's end asks the form to close as its close box does: the
// unload handler may refuse (the next look asks again), and an error in it
// ends the program through the error boundary.
TEST_F(FormsRules, AHostsWindowGoneAsksTheFormToCloseThroughTheErrorBoundary)
{
    RulesForm form;
    auto& native = recorded(form.native());
    native.host = { 0, 0, 300, 200 };
    int unloads = 0;
    form.onUnload = [&](int16_t& cancel) {
        if (++unloads == 1)
            cancel = 1;
        else
            platform::raiseSubscript("host gone");
    };
    form.hostIn(0, 740, 400);
    form.show();

    native.host = {};
    recording_backend::advanceTime(200);
    EXPECT_EQ(unloads, 1);
    EXPECT_TRUE(form.loaded()) << "the unload handler refused";

    recording_backend::advanceTime(200);
    EXPECT_EQ(unloads, 2);
    EXPECT_TRUE(platform::Runtime::current().ended());
    EXPECT_EQ(recording_backend::application().exitStatus, 1);
    ASSERT_EQ(recording_backend::application().messageBoxes.size(), 1u);
    EXPECT_NE(recording_backend::application().messageBoxes[0].find("host gone"), std::string::npos);
}

// A picture goes on one monitor at that monitor's scale, or at a smaller
// one where it would not fit there; the monitor's area comes back in pixels
// of that scale, less what rounding a picture at its far edge could add.
struct DrawCase {
    const char* name;
    std::vector<recording_backend::PixelRect> monitors;
    std::vector<double> scales;
    std::size_t index;
    float pictureWidth, pictureHeight;
    double scale;
    platform::Area area;
};

class DrawnOnMonitor : public FormsRules, public testing::WithParamInterface<DrawCase> { };

TEST_P(DrawnOnMonitor, TakesTheMonitorsScaleOrOneThatFits)
{
    const DrawCase& c = GetParam();
    RulesForm form(platform::ScaleMode::Pixels);
    auto& native = recorded(form.native());
    native.client = { 0, 0, 7680, 2160 };
    native.screenMonitors = c.monitors;
    native.monitorScales = c.scales;
    native.windowScale = c.scales.empty() ? 1 : c.scales.front();

    platform::Area area = form.drawOnMonitor(c.index, c.pictureWidth, c.pictureHeight);
    EXPECT_DOUBLE_EQ(form.pixelScale(), c.scale);
    EXPECT_FLOAT_EQ(area.left, c.area.left);
    EXPECT_FLOAT_EQ(area.top, c.area.top);
    EXPECT_FLOAT_EQ(area.width, c.area.width);
    EXPECT_FLOAT_EQ(area.height, c.area.height);
}

INSTANTIATE_TEST_SUITE_P(
    FormsRules, DrawnOnMonitor,
    testing::Values(
        DrawCase { "OneMonitorAtOne", {}, {}, 0, 740, 387, 1, { 0, 0, 7680, 2160 } },
        DrawCase { "TwoFourKMonitorsAtTwo",
                   { { 0, 0, 3840, 2160 }, { 3840, 0, 3840, 2160 } },
                   { 2, 2 },
                   1,
                   740,
                   387,
                   2,
                   { 1920, 0, 1919.5f, 1079.5f } },
        DrawCase { "OneBesideTwoOnTheFirst",
                   { { 0, 0, 1920, 1080 }, { 1920, 0, 3840, 2160 } },
                   { 1, 2 },
                   0,
                   740,
                   387,
                   1,
                   { 0, 0, 1920, 1080 } },
        DrawCase { "OneBesideTwoOnTheSecond",
                   { { 0, 0, 1920, 1080 }, { 1920, 0, 3840, 2160 } },
                   { 1, 2 },
                   1,
                   740,
                   387,
                   2,
                   { 960, 0, 1919.5f, 1079.5f } },
        DrawCase { "AnIndexPastTheLastIsTheLast",
                   { { 0, 0, 1920, 1080 }, { 1920, 0, 3840, 2160 } },
                   { 1, 1.5 },
                   7,
                   740,
                   387,
                   1.5,
                   { 1280, 0, 2559.6667f, 1439.6667f } },
        DrawCase { "TooSmallAtItsScaleFitsDown",
                   { { 0, 0, 1024, 600 }, { 1024, 0, 1000, 2160 } },
                   { 2, 1 },
                   0,
                   740,
                   387,
                   1024.0 / 740,
                   { 0, 0, 740, (600 - (1024 / 740.0f - 1)) * 740 / 1024.0f } },
        DrawCase { "NoPictureSizeKeepsTheScale",
                   { { 0, 0, 100, 100 }, { 100, 0, 100, 100 } },
                   { 2, 2 },
                   0,
                   0,
                   0,
                   2,
                   { 0, 0, 49.5f, 49.5f } }),
    [](const auto& info) { return std::string(info.param.name); });

// Controls are drawn at the form's scale: positions, sizes and fonts, and
// again whenever the scale changes.
TEST_F(FormsRules, ControlsAreDrawnAnewAtTheScaleOfTheMonitorTheyAreOn)
{
    RulesForm form(platform::ScaleMode::Pixels);
    auto& native = recorded(form.native());
    native.client = { 0, 0, 5760, 2160 };
    native.screenMonitors = { { 0, 0, 1920, 1080 }, { 1920, 0, 3840, 2160 } };
    native.monitorScales = { 1, 2 };
    form.Label1.move(10, 20, 30, 16);
    form.Label1.setFont({ "MS UI Gothic", 9, true, 128 });
    auto& label = recorded(form.Label1.native());
    EXPECT_EQ(label.geometry.width, 30);
    EXPECT_DOUBLE_EQ(label.font.size, 9);

    platform::Area area = form.drawOnMonitor(1, 740, 387);
    form.Label1.setLeft(area.left + 10);
    EXPECT_EQ(label.geometry.x, 1940) << "on the second monitor";
    EXPECT_EQ(label.geometry.y, 40);
    EXPECT_EQ(label.geometry.width, 60);
    EXPECT_EQ(label.geometry.height, 32);
    EXPECT_DOUBLE_EQ(label.font.size, 18);
    EXPECT_FLOAT_EQ(form.Label1.width(), 30) << "the program's units stay as they were";

    form.drawOnMonitor(0, 740, 387);
    EXPECT_EQ(label.geometry.width, 30);
    EXPECT_DOUBLE_EQ(label.font.size, 9);
}

TEST_F(FormsRules, AnAutoSizedLabelTakesTheSizeOfEachNewCaption)
{
    RulesForm form(platform::ScaleMode::Twips);
    form.Label1.setCaption("Oslo");
    form.Label1.setAutoSize(true);
    EXPECT_EQ(form.Label1.width(), 4 * 7 * 15);
    EXPECT_EQ(form.Label1.height(), 12 * 15);
    form.Label1.setCaption("Lima, Peru");
    EXPECT_EQ(form.Label1.width(), 10 * 7 * 15);
    EXPECT_EQ(recorded(form.Label1.native()).geometry.width, 70);
}

TEST_F(FormsRules, TheInputMethodIsDetachedFromAFormAndHandedBack)
{
    RulesForm form;
    auto& native = recorded(form.native());
    auto previous = platform::ImmAssociateContext(form.hWnd(), platform::kNullInputContext);
    EXPECT_FALSE(native.inputMethod);
    EXPECT_EQ(platform::currentInputContext(form.hWnd()), platform::kNullInputContext);
    EXPECT_EQ(platform::ImmAssociateContext(form.hWnd(), previous), platform::kNullInputContext);
    EXPECT_TRUE(native.inputMethod);
    EXPECT_EQ(platform::currentInputContext(form.hWnd()), previous);
}

} // namespace
