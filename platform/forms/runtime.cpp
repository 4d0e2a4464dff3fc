#include "platform/forms/runtime.h"

#include "platform/forms/backend.h"
#include "platform/forms/cursor.h"
#include "platform/forms/input_method.h"
#include "platform/runtime/message_box.h"
#include "platform/runtime/runtime_error.h"
#include "platform/testing/hooks.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace platform {

namespace {

// The state of the one runtime of the process.
struct RuntimeState {
    Runtime* current = nullptr;
    // 1 while a handler runs inside the innermost error boundary, else 0.
    int depth = 0;
    // How many window-system events are being dispatched, one inside
    // another.
    int dispatchDepth = 0;
    // The dispatch depth at which the innermost error boundary was entered.
    int boundaryDispatchDepth = 0;
    bool ended = false;
    int exitStatus = 0;
    int loadedForms = 0;
    std::vector<std::string> arguments;
};

RuntimeState& state()
{
    static RuntimeState runtime;
    return runtime;
}

void presentMessageBox(const MessageBoxRequest& request)
{
    Runtime::current().runNested([&] { backend::showMessageBox(request); });
}

} // namespace

// The backend counts the events it dispatches, so that the runtime can tell
// a handler raised by code of the running handler (a value set by code) from
// one that the window system raises out of an event of its own while that
// handler waits or calls into it (a timer tick inside a message box, a click
// in a modal form).
backend::DispatchScope::DispatchScope() { ++state().dispatchDepth; }
backend::DispatchScope::~DispatchScope() { --state().dispatchDepth; }

void End()
{
    throw EndProgram();
}

Runtime::Runtime(int& argc, char** argv)
{
    backend::startApplication(argc, argv);
    // Taken after the toolkit's start, which removes its own options.
    if (argv != nullptr)
        state().arguments.assign(argv, argv + argc);
    state().current = this;
    setMessageBoxPresenter(presentMessageBox);
}

Runtime::~Runtime()
{
    setMessageBoxPresenter({});
    restoreCursor();
    state().current = nullptr;
    backend::stopApplication();
}

Runtime& Runtime::current()
{
    if (!state().current) {
        std::fputs("The forms runtime is used before it was created.\n", stderr);
        std::abort();
    }
    return *state().current;
}

int Runtime::exec()
{
    auto& runtime = state();
    if (runtime.ended || runtime.loadedForms == 0)
        return runtime.exitStatus;
    backend::runEventLoop();
    return runtime.exitStatus;
}

const std::vector<std::string>& Runtime::arguments() const { return state().arguments; }

bool Runtime::ended() const { return state().ended; }
int Runtime::exitStatus() const { return state().exitStatus; }

void Runtime::deliver(const std::function<void()>& handler)
{
    auto& runtime = state();
    if (runtime.ended)
        return;
    // A handler raised by code of the running handler (a value set by code)
    // runs inside that handler's boundary: an error ends the whole chain
    // there, and no code after it runs. A handler that the window system
    // raises out of an event of its own gets a boundary of its own, even
    // while another handler waits for a nested loop: an exception must never
    // unwind through the toolkit.
    if (runtime.depth > 0 && runtime.dispatchDepth == runtime.boundaryDispatchDepth) {
        handler();
        return;
    }
    struct Boundary {
        RuntimeState& state;
        int savedDepth;
        int savedDispatchDepth;
        explicit Boundary(RuntimeState& runtimeState)
            : state(runtimeState)
            , savedDepth(runtimeState.depth)
            , savedDispatchDepth(runtimeState.boundaryDispatchDepth)
        {
            state.depth = 1;
            state.boundaryDispatchDepth = state.dispatchDepth;
        }
        ~Boundary()
        {
            state.depth = savedDepth;
            state.boundaryDispatchDepth = savedDispatchDepth;
        }
    } boundary(runtime);

    try {
        handler();
    } catch (const EndProgram&) {
        endProgram(0, nullptr);
    } catch (const std::exception& error) {
        std::string report = describeException(error);
        endProgram(1, &report);
    } catch (...) {
        std::string report = "Run-time error: an unknown error";
        endProgram(1, &report);
    }
}

void Runtime::endProgram(int status, const std::string* report)
{
    auto& runtime = state();
    if (runtime.ended)
        return;
    runtime.ended = true;
    runtime.exitStatus = status;
    // Give back what the program took from the user before saying anything:
    // the cursor and the input methods.
    restoreCursor();
    restoreAllInputContexts();
    backend::hideAllWindows();
    if (report)
        MsgBox(*report, MessageBoxIcon::Critical, std::string(kProgramTitle));
    // Every event loop ends, the nested ones of message boxes and modal forms
    // included; the code that started them sees that the program has ended.
    backend::exitEventLoops(status);
}

void Runtime::runNested(const std::function<void()>& loop)
{
    auto& runtime = state();
    const bool endedBefore = runtime.ended;
    int savedDepth = runtime.depth;
    int savedDispatchDepth = runtime.boundaryDispatchDepth;
    runtime.depth = 0;
    loop();
    runtime.depth = savedDepth;
    runtime.boundaryDispatchDepth = savedDispatchDepth;
    // A run-time error in an event handled while the loop ran has ended the
    // program and the loop; the code that waited must not go on.
    if (!endedBefore && runtime.ended)
        throw EndProgram();
}

void Runtime::formLoaded() { ++state().loadedForms; }

void Runtime::formUnloaded()
{
    auto& runtime = state();
    if (--runtime.loadedForms <= 0) {
        runtime.loadedForms = 0;
        backend::quitEventLoop();
    }
}

int Runtime::loadedForms() const { return state().loadedForms; }

void Runtime::processPendingEvents() { backend::processPendingEvents(); }

void processEventsForTesting(int milliseconds)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    while (std::chrono::steady_clock::now() < end)
        backend::processPendingEvents();
}

void resetRuntimeForTesting()
{
    auto& runtime = state();
    // The end told every event loop to stop, those still to come included.
    if (runtime.ended)
        backend::clearEndedEventLoops();
    runtime.ended = false;
    runtime.exitStatus = 0;
    runtime.loadedForms = 0;
    runtime.depth = 0;
    runtime.boundaryDispatchDepth = 0;
}

} // namespace platform
