// The event loops: the main loop, the nested loops of modal forms, and the
// end of all of them when the program ends. A loop ends when it is told to
// (quit) or when exitEventLoops has ended every loop; until
// clearEndedEventLoops (or the next run of the main loop), a loop started
// afterwards ends at once, as the Qt backend's loops do.
//
// The keys are handled here, before a window sees them: a key to a
// control's window goes to the control's rules first; what they do not use
// moves the focus (Tab, Shift+Tab) or goes on to the form.

#include "platform/forms/win32/win32_control.h"
#include "platform/forms/win32/win32_forms.h"
#include "platform/forms/win32/win32_form.h"

#include <algorithm>

namespace platform::win32 {

namespace {

struct LoopState {
    // exitEventLoops was called: every loop ends, and those started later
    // end at once.
    bool exiting = false;
    int exitStatus = 0;
    // quitEventLoop was called while the main loop ran.
    bool mainQuit = false;
};

LoopState& loops()
{
    static LoopState state;
    return state;
}

// Wakes a loop that waits in GetMessageW, so that it looks at its flags.
void wakeLoops() { PostMessageW(messageWindow(), WM_NULL, 0, 0); }

// Throws away an end of the loops that nothing waits for any more.
void forgetQuitMessage()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
}

// Moves the focus to the next (or the previous) control of the form's tab
// order that is shown and enabled, going round at the ends.
void moveFocus(Win32Form& form, Win32Control* from, bool backwards)
{
    const auto& order = form.tabOrder();
    if (order.empty())
        return;
    auto count = static_cast<std::ptrdiff_t>(order.size());
    auto at = std::find(order.begin(), order.end(), from);
    std::ptrdiff_t start = at == order.end() ? (backwards ? 0 : -1) : at - order.begin();
    for (std::ptrdiff_t step = 1; step <= count; ++step) {
        std::ptrdiff_t next = ((start + (backwards ? -step : step)) % count + count) % count;
        auto* control = dynamic_cast<Win32Control*>(order[static_cast<std::size_t>(next)]);
        if (control == nullptr)
            continue;
        ::HWND window = control->handle();
        if (IsWindowVisible(window) && IsWindowEnabled(window)) {
            control->setFocus(true);
            return;
        }
    }
}

// A key to a control's window, before the window sees it; true when it
// goes no further.
bool routeControlKey(const MSG& message)
{
    if (message.message != WM_KEYDOWN && message.message != WM_SYSKEYDOWN)
        return false;
    Win32Control* control = controlOf(message.hwnd);
    if (control == nullptr)
        return false;
    int16_t keyCode = keyCodeOf(message.wParam);
    int16_t shift = shiftState();
    {
        backend::DispatchScope dispatch;
        if (control->events().nativeKeyPressed(keyCode, shift))
            return true;
    }
    Win32Form* form = Win32Form::of(GetAncestor(message.hwnd, GA_ROOT));
    if (form == nullptr)
        return false;
    if (message.wParam == VK_TAB && (shift & ~1) == 0) {
        moveFocus(*form, control, (shift & 1) != 0);
        return true;
    }
    if (!control->usesKey(keyCode)) {
        backend::DispatchScope dispatch;
        form->events().nativeKeyDown(keyCode, shift);
    }
    // The window still sees the key (Alt+F4 closes through it, a key types
    // its character).
    return !IsWindow(message.hwnd);
}

// Runs a loop until `ended` or the end of every loop.
void runLoop(const bool& ended)
{
    auto& state = loops();
    while (!ended && !state.exiting) {
        MSG message;
        BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == -1)
            break;
        if (got == 0) {
            if (!state.exiting)
                continue;
            // A loop of the system further out (a message box) ends too.
            PostQuitMessage(state.exitStatus);
            break;
        }
        deliverMessage(message);
    }
}

class Win32EventLoop : public backend::NativeEventLoop {
public:
    void run() override
    {
        ended_ = false;
        runLoop(ended_);
    }

    void quit() override
    {
        ended_ = true;
        wakeLoops();
    }

private:
    bool ended_ = false;
};

} // namespace

void deliverMessage(const MSG& message)
{
    if (routeControlKey(message))
        return;
    TranslateMessage(&message);
    DispatchMessageW(&message);
}

bool eventLoopsEnded() { return loops().exiting; }

} // namespace platform::win32

namespace platform::backend {

using namespace platform::win32;

std::unique_ptr<NativeEventLoop> createEventLoop() { return std::make_unique<Win32EventLoop>(); }

void runEventLoop()
{
    auto& state = loops();
    state.exiting = false;
    state.mainQuit = false;
    forgetQuitMessage();
    runLoop(state.mainQuit);
    state.exiting = false;
    forgetQuitMessage();
}

void quitEventLoop()
{
    loops().mainQuit = true;
    wakeLoops();
}

void exitEventLoops(int status)
{
    auto& state = loops();
    state.exiting = true;
    state.exitStatus = status;
    PostQuitMessage(status);
}

void clearEndedEventLoops()
{
    loops().exiting = false;
    forgetQuitMessage();
}

void processPendingEvents()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            // Left for the loop that waits for it.
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        deliverMessage(message);
    }
}

} // namespace platform::backend
