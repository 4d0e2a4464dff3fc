// The forms runtime's error boundary and the start of a form's timers, on
// small forms of the test's own: a run-time error raised while a handler
// waits (in a message box or a modal form) or in a handler raised by a value
// set in code ends the program as one at the top level does.

#include "platform/forms/check_box.h"
#include "platform/forms/cursor.h"
#include "platform/forms/form.h"
#include "platform/runtime/message_box.h"
#include "platform/forms/runtime.h"
#include "platform/runtime/runtime_error.h"
#include "platform/testing/hooks.h"
#include "platform/forms/timer.h"

#include "support/program_state.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

using platform::Runtime;

// Generous for a loaded machine: the waits poll and end as soon as they can.
constexpr int kWaitMs = 5000;
constexpr int kTickMs = 10;

const platform::FormDesign kDesign {
    .caption = "Test form",
    .borderStyle = platform::BorderStyle::Sizable,
    .scaleMode = platform::ScaleMode::Pixels,
    .clientWidth = 200,
    .clientHeight = 100,
};

// A form whose Form_Load runs what the test gives it.
class TestForm : public platform::Form {
public:
    TestForm()
        : Form(kDesign)
    {
    }

    std::function<void()> onLoad;
    platform::Timer Timer1 { *this };
    platform::CheckBox Check1 { *this };

private:
    void Form_Load() override
    {
        if (onLoad)
            onLoad();
    }
};

// Stands in for the message box: the first box waits, events flowing, until
// `waitUntil` holds or the program has ended, as a box left open by the user
// does; every box is recorded.
class WaitingMessageBox {
public:
    WaitingMessageBox()
    {
        previous_ = platform::setMessageBoxPresenter([this](const platform::MessageBoxRequest& request) {
            shown.push_back(request);
            if (shown.size() > 1)
                return;
            Runtime::current().runNested([this] {
                for (int waited = 0; waited < kWaitMs && !Runtime::current().ended() && !(waitUntil && waitUntil());
                     waited += kTickMs)
                    platform::processEventsForTesting(kTickMs);
            });
        });
    }
    ~WaitingMessageBox() { platform::setMessageBoxPresenter(std::move(previous_)); }
    WaitingMessageBox(const WaitingMessageBox&) = delete;
    WaitingMessageBox& operator=(const WaitingMessageBox&) = delete;

    std::function<bool()> waitUntil;
    std::vector<platform::MessageBoxRequest> shown;

private:
    platform::MessageBoxPresenter previous_;
};

class RuntimeBoundary : public testing_support::FreshProgramState<> {
protected:

    void expectEndedWithTheReport(const WaitingMessageBox& boxes, const std::string& detail)
    {
        EXPECT_TRUE(Runtime::current().ended());
        EXPECT_EQ(Runtime::current().exitStatus(), 1);
        EXPECT_TRUE(platform::cursorVisible());
        ASSERT_EQ(boxes.shown.size(), 2u) << "the waiting box, then the report";
        EXPECT_EQ(boxes.shown[1].icon, platform::MessageBoxIcon::Critical);
        EXPECT_NE(boxes.shown[1].text.find("Run-time error '6': Overflow"), std::string::npos) << boxes.shown[1].text;
        EXPECT_NE(boxes.shown[1].text.find(detail), std::string::npos) << boxes.shown[1].text;
    }
};

TEST_F(RuntimeBoundary, TimersWaitUntilFormLoadHasReturned)
{
    WaitingMessageBox boxes;
    TestForm form;
    int ticks = 0;
    form.Timer1.setInterval(kTickMs);
    form.Timer1.onTimer = [&] { ++ticks; };
    int ticksAfterTheBox = -1;
    // The box inside the load stays open for a good many intervals.
    int polls = 0;
    boxes.waitUntil = [&] { return ++polls > 30; };
    form.onLoad = [&] {
        platform::MsgBox("text", platform::MessageBoxIcon::Critical, "title");
        ticksAfterTheBox = ticks;
    };

    form.load();

    EXPECT_EQ(ticksAfterTheBox, 0) << "a timer ticked into a Form_Load that had not returned";
    for (int waited = 0; waited < kWaitMs && ticks == 0; waited += kTickMs)
        platform::processEventsForTesting(kTickMs);
    EXPECT_GT(ticks, 0) << "the timer runs once the load is over";

    form.unload();
    const int ticksAtUnload = ticks;
    platform::processEventsForTesting(10 * kTickMs);
    EXPECT_EQ(ticks, ticksAtUnload) << "no tick after the form has unloaded";
    EXPECT_FALSE(Runtime::current().ended());
}

// The real timer at its interval: an interval of 0 stops it, and a new
// interval starts it again.
TEST_F(RuntimeBoundary, AnIntervalOfZeroStopsTheTimer)
{
    TestForm form;
    int ticks = 0;
    form.Timer1.setInterval(kTickMs);
    form.Timer1.onTimer = [&] { ++ticks; };
    form.load();
    for (int waited = 0; waited < kWaitMs && ticks < 2; waited += kTickMs)
        platform::processEventsForTesting(kTickMs);
    ASSERT_GE(ticks, 2) << "the timer ticks at its interval";

    form.Timer1.setInterval(0);
    EXPECT_EQ(form.Timer1.interval(), 0);
    EXPECT_TRUE(form.Timer1.enabled()) << "an interval of 0 stops the timer without disabling it";
    const int ticksAtZero = ticks;
    platform::processEventsForTesting(20 * kTickMs);
    EXPECT_EQ(ticks, ticksAtZero) << "no tick while the interval is 0";

    form.Timer1.setInterval(kTickMs);
    for (int waited = 0; waited < kWaitMs && ticks == ticksAtZero; waited += kTickMs)
        platform::processEventsForTesting(kTickMs);
    EXPECT_GT(ticks, ticksAtZero) << "a new interval starts the timer again";
    form.unload();
    EXPECT_FALSE(Runtime::current().ended());
}

TEST_F(RuntimeBoundary, ErrorOfAnotherFormWhileAMessageBoxWaitsEndsTheProgram)
{
    WaitingMessageBox boxes;
    TestForm running;
    running.Timer1.setInterval(kTickMs);
    running.Timer1.onTimer = [] { platform::raiseOverflow("the tick's value does not fit"); };
    running.load();
    ASSERT_TRUE(running.loaded());

    TestForm waiting;
    bool codeAfterTheBoxRan = false;
    waiting.onLoad = [&] {
        platform::ShowCursor(0);
        platform::MsgBox("text", platform::MessageBoxIcon::Critical, "title");
        codeAfterTheBoxRan = true;
    };
    waiting.load();

    expectEndedWithTheReport(boxes, "the tick's value does not fit");
    EXPECT_FALSE(codeAfterTheBoxRan);
}

TEST_F(RuntimeBoundary, ErrorInsideAModalFormEndsTheProgram)
{
    WaitingMessageBox boxes;
    TestForm modal;
    modal.Timer1.setInterval(kTickMs);
    modal.Timer1.onTimer = [] { platform::raiseOverflow("the modal form's tick does not fit"); };

    TestForm owner;
    bool codeAfterTheModalShowRan = false;
    owner.onLoad = [&] {
        platform::ShowCursor(0);
        // Ends the modal show should the error not end it.
        boxes.waitUntil = [] { return true; };
        modal.show(platform::ShowMode::Modal);
        codeAfterTheModalShowRan = true;
    };
    owner.load();

    EXPECT_TRUE(Runtime::current().ended());
    EXPECT_EQ(Runtime::current().exitStatus(), 1);
    EXPECT_TRUE(platform::cursorVisible());
    ASSERT_EQ(boxes.shown.size(), 1u) << "the report";
    EXPECT_NE(boxes.shown[0].text.find("the modal form's tick does not fit"), std::string::npos);
    EXPECT_FALSE(codeAfterTheModalShowRan);
}

TEST_F(RuntimeBoundary, ErrorInAHandlerRaisedByAValueSetInCodeEndsTheProgram)
{
    WaitingMessageBox boxes;
    TestForm form;
    form.Check1.onClick = [] { platform::raiseOverflow("the click's value does not fit"); };
    bool codeAfterTheValueRan = false;
    form.onLoad = [&] {
        platform::ShowCursor(0);
        form.Check1.setValue(1);
        codeAfterTheValueRan = true;
    };
    form.load();

    EXPECT_TRUE(Runtime::current().ended());
    EXPECT_EQ(Runtime::current().exitStatus(), 1);
    EXPECT_TRUE(platform::cursorVisible());
    ASSERT_EQ(boxes.shown.size(), 1u) << "the report";
    EXPECT_NE(boxes.shown[0].text.find("the click's value does not fit"), std::string::npos);
    EXPECT_FALSE(codeAfterTheValueRan);
}

} // namespace
