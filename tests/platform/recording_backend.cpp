#include "recording_backend.h"

#include "support/backend_drivers.h"
#include "platform/runtime/message_box.h"
#include "platform/forms/timer.h"

#include <cstring>
#include <map>

namespace recording_backend {

namespace {

// A timer on the recorded clock, which moves only when a test lets time
// pass (advanceTime).
struct RecordedTimer : platform::backend::NativeTimer {
    explicit RecordedTimer(platform::Timer& owner)
        : timer(owner)
    {
        all()[&timer] = this;
    }
    ~RecordedTimer() override { all().erase(&timer); }
    void start(int32_t milliseconds) override
    {
        interval = milliseconds;
        due = now() + milliseconds;
    }
    void stop() override { interval = 0; }

    static std::map<const platform::Timer*, RecordedTimer*>& all()
    {
        static std::map<const platform::Timer*, RecordedTimer*> timers;
        return timers;
    }

    static int64_t& now()
    {
        static int64_t milliseconds = 0;
        return milliseconds;
    }

    platform::Timer& timer;
    int32_t interval = 0;
    // When it ticks next, on the recorded clock.
    int64_t due = 0;
};

struct RecordedLoop : platform::backend::NativeEventLoop {
    // Nothing waits here: a modal show returns at once.
    void run() override { }
    void quit() override { }
};

} // namespace

Application& application()
{
    static Application current;
    return current;
}

void reset() { application() = {}; }

int32_t timerInterval(const platform::Timer& timer) { return RecordedTimer::all().at(&timer)->interval; }

// The timers tick one at a time in the order their times come, each tick
// dispatched as a window system dispatches a timer's event; a timer started
// again by its own tick counts from that tick.
void advanceTime(int32_t milliseconds)
{
    const int64_t until = RecordedTimer::now() + milliseconds;
    for (;;) {
        RecordedTimer* next = nullptr;
        for (const auto& [timer, native] : RecordedTimer::all())
            if (native->interval > 0 && native->due <= until && (!next || native->due < next->due))
                next = native;
        if (!next)
            break;
        RecordedTimer::now() = next->due;
        next->due += next->interval;
        platform::backend::DispatchScope dispatch;
        next->timer.tick();
    }
    RecordedTimer::now() = until;
}

RecordedControl& recorded(const platform::backend::NativeControl& control)
{
    return const_cast<RecordedControl&>(dynamic_cast<const RecordedControl&>(control));
}

RecordedForm& recorded(const platform::backend::NativeForm& form)
{
    return const_cast<RecordedForm&>(dynamic_cast<const RecordedForm&>(form));
}

void RecordedControl::setFocus(bool)
{
    if (application().focus == this)
        return;
    auto* before = dynamic_cast<const RecordedControl*>(application().focus);
    application().focus = this;
    if (before)
        const_cast<RecordedControl*>(before)->loseFocus();
}

bool RecordedControl::hasFocus() const { return application().focus == this; }

void RecordedControl::setItem(int32_t row, const std::string& item)
{
    ++itemWrites;
    if (row == static_cast<int32_t>(items.size()))
        items.push_back(item);
    else
        items.at(static_cast<std::size_t>(row)) = item;
}

// As a native list does: the selected item's text goes into the edit field.
void RecordedControl::selectItem(int32_t index)
{
    selected = index;
    if (index >= 0)
        setEditText(items.at(static_cast<std::size_t>(index)));
}

void RecordedControl::setEditText(const std::string& value)
{
    if (value == editText)
        return;
    editText = value;
    events.nativeTextChanged(value);
}

void RecordedControl::click()
{
    platform::backend::DispatchScope dispatch;
    events.nativeClicked();
}

void RecordedControl::check(bool newValue)
{
    platform::backend::DispatchScope dispatch;
    checked = newValue;
    events.nativeValueChanged(newValue ? 1 : 0);
}

void RecordedControl::type(const std::string& keys)
{
    for (char key : keys) {
        platform::backend::DispatchScope dispatch;
        editText += key;
        events.nativeTextChanged(editText);
        events.nativeTextEdited();
    }
}

bool RecordedControl::pressKey(int16_t keyCode, int16_t shift)
{
    platform::backend::DispatchScope dispatch;
    return events.nativeKeyPressed(keyCode, shift);
}

void RecordedControl::mouseMove(int x, int y, int screenX, int screenY)
{
    platform::backend::DispatchScope dispatch;
    events.nativeMouseMove(0, 0, x, y, screenX, screenY);
}

void RecordedControl::loseFocus()
{
    platform::backend::DispatchScope dispatch;
    events.nativeFocusLost();
}

void RecordedForm::setFocus(bool) { application().focus = this; }

void RecordedForm::setTabOrder(const std::vector<platform::backend::NativeControl*>& order)
{
    tabOrder.clear();
    for (auto* control : order)
        tabOrder.push_back(&recorded(*control));
}

// The focused control sees the key first; what it does not use is the
// form's.
void RecordedForm::pressKey(int16_t keyCode, int16_t shift)
{
    for (RecordedControl* control : tabOrder)
        if (control->hasFocus() && control->pressKey(keyCode, shift))
            return;
    platform::backend::DispatchScope dispatch;
    events.nativeKeyDown(keyCode, shift);
}

void RecordedForm::closeBox()
{
    platform::backend::DispatchScope dispatch;
    events.nativeCloseRequested();
}

void RecordedForm::mouseMove(int x, int y, int screenX, int screenY)
{
    platform::backend::DispatchScope dispatch;
    events.nativeMouseMove(0, 0, x, y, screenX, screenY);
}

void RecordedForm::activationLost()
{
    platform::backend::DispatchScope dispatch;
    events.nativeActivationLost();
}

} // namespace recording_backend

namespace platform::backend {

using namespace recording_backend;

std::unique_ptr<NativeForm> createForm(const FormDesign&, int clientWidth, int clientHeight,
                                       std::optional<PixelRect> clientAt, NativeEvents& events)
{
    auto form = std::make_unique<RecordedForm>(events);
    form->client = { clientAt ? clientAt->x : 0, clientAt ? clientAt->y : 0, clientWidth, clientHeight };
    return form;
}

std::unique_ptr<NativeControl> createControl(ControlKind kind, NativeWindow&, NativeEvents& events)
{
    return std::make_unique<RecordedControl>(kind, events);
}

std::unique_ptr<NativeTimer> createTimer(Timer& timer) { return std::make_unique<RecordedTimer>(timer); }
std::unique_ptr<NativeEventLoop> createEventLoop() { return std::make_unique<RecordedLoop>(); }

// Takes its own option, "-platform <name>", out of the arguments in place,
// as a toolkit takes its own.
void startApplication(int& argc, char** argv)
{
    int kept = 0;
    for (int i = 0; i < argc; ++i) {
        if (i > 0 && i + 1 < argc && std::strcmp(argv[i], "-platform") == 0)
            ++i;
        else
            argv[kept++] = argv[i];
    }
    if (argv != nullptr)
        argv[kept] = nullptr;
    argc = kept;
}

void stopApplication() { }
void runEventLoop() { }
void quitEventLoop() { ++application().mainLoopQuits; }
void exitEventLoops(int status) { application().exitStatus = status; }
void clearEndedEventLoops() { }
void hideAllWindows() { ++application().windowsHidden; }
void showMessageBox(const MessageBoxRequest& request) { application().messageBoxes.push_back(request.text); }
void showMessageInHost(uint64_t windowId, const std::string& text, int milliseconds)
{
    application().hostMessages.push_back({ windowId, text, milliseconds });
}
void processPendingEvents() { }
double dotsPerInch() { return 96; }
double screenScale() { return 1; }
bool hostSwitchesExist() { return true; }
PixelRect screenArea() { return { 0, 0, 1024, 768 }; }
void setPointerHidden(bool hidden) { application().pointerHidden = hidden; }

// What tests do through the window system (support/backend_drivers.h).
void pressKey(NativeForm& form, int16_t keyCode, int16_t shift) { recorded(form).pressKey(keyCode, shift); }
void typeKeys(NativeControl& comboBox, const std::string& text) { recorded(comboBox).type(text); }
std::vector<std::vector<uint32_t>> grabPixels(const NativeControl&) { return {}; }

} // namespace platform::backend
