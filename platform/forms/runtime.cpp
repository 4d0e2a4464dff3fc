#include "platform/forms/runtime.h"

#include "platform/forms/backend.h"
#include "platform/forms/cursor.h"
#include "platform/forms/input_method.h"
#include "platform/runtime/message_box.h"
#include "platform/runtime/runtime_error.h"
#include "platform/system/program.h"
#include "platform/testing/hooks.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <optional>

// The program's version, set by the build.
#ifndef ZANDRETH_VERSION_MAJOR
#define ZANDRETH_VERSION_MAJOR 0
#define ZANDRETH_VERSION_MINOR 0
#define ZANDRETH_VERSION_PATCH 0
#endif

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
    // The name the program was started by, for what it writes to standard
    // error.
    std::string programName;
    // Started by a screen-saver host, and the window it gave, once known.
    bool hosted = false;
    std::optional<uint64_t> hostWindow;
};

RuntimeState& state()
{
    static RuntimeState runtime;
    return runtime;
}

// One line for a log: the program's name, the message's title unless it is
// the program's own, and the text, whose blank line (between a run-time
// error's heading and its detail) becomes ": " and other line breaks blanks.
std::string logLine(const MessageBoxRequest& request)
{
    std::string line = state().programName + ": ";
    if (request.title != kProgramTitle)
        line += request.title + ": ";
    for (std::size_t at = 0; at < request.text.size(); ++at) {
        if (request.text.compare(at, 2, "\n\n") == 0) {
            line += ": ";
            ++at;
        } else {
            line += request.text[at] == '\n' ? ' ' : request.text[at];
        }
    }
    return line;
}

// A hosted program's message (see Runtime::runHosted): to standard error,
// then into the host's window for a while, and the program ends with
// status 1. The report of a run-time error comes while the program ends
// already; the code that showed any other message stops here.
void presentInHost(const MessageBoxRequest& request)
{
    auto& runtime = state();
    std::fprintf(stderr, "%s\n", logLine(request).c_str());
    std::fflush(stderr);
    backend::hideAllWindows();
    if (runtime.hostWindow) {
        const uint64_t window = *runtime.hostWindow;
        const std::string drawn = request.title + "\n\n" + request.text;
        Runtime::current().runNested([&] { backend::showMessageInHost(window, drawn, kHostedMessageMs); });
    }
    if (!runtime.ended) {
        Runtime::current().endProgram(1, nullptr);
        throw EndProgram();
    }
}

void presentMessageBox(const MessageBoxRequest& request)
{
    if (state().hosted) {
        presentInHost(request);
        return;
    }
    Runtime::current().runNested([&] { backend::showMessageBox(request); });
}

// The last part of the path a program was started by.
std::string baseName(const std::string& path)
{
    std::size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// What the program prints on its command line without a window, if
// anything: true when it has printed it.
bool answerCommandLine(int argc, char** argv, const std::string& help)
{
    if (argv == nullptr)
        return false;
    switch (system::informationRequested(std::vector<std::string>(argv, argv + argc))) {
    case system::InformationRequest::Help:
        std::fputs(help.c_str(), stdout);
        return true;
    case system::InformationRequest::Version:
        std::printf("%s %d.%d.%d\n", std::string(kProgramTitle).c_str(), programVersion().major,
                    programVersion().minor, programVersion().revision);
        return true;
    case system::InformationRequest::None:
        break;
    }
    return false;
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

ProgramVersion programVersion()
{
    return { ZANDRETH_VERSION_MAJOR, ZANDRETH_VERSION_MINOR, ZANDRETH_VERSION_PATCH };
}

Runtime::Runtime(int& argc, char** argv, const std::string& help)
{
    auto& runtime = state();
    runtime.current = this;
    runtime.programName = argv != nullptr && argc > 0 ? baseName(argv[0]) : std::string(kProgramTitle);
    if (answerCommandLine(argc, argv, help)) {
        runtime.ended = true;
        return;
    }
    try {
        backend::startApplication(argc, argv);
    } catch (const backend::DisplayUnavailable& failure) {
        std::string line = runtime.programName + ": cannot open the display";
        if (!failure.display.empty())
            line += " \"" + failure.display + "\"";
        std::fprintf(stderr, "%s\n", line.c_str());
        runtime.ended = true;
        runtime.exitStatus = 1;
        return;
    }
    // Taken after the toolkit's start, which removes its own options.
    if (argv != nullptr)
        runtime.arguments.assign(argv, argv + argc);
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

void Runtime::runHosted() { state().hosted = true; }
void Runtime::setHostWindow(uint64_t windowId) { state().hostWindow = windowId; }

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
    runtime.hosted = false;
    runtime.hostWindow.reset();
}

} // namespace platform
