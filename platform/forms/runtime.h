#pragma once

// The forms runtime: owns the window system connection and the event loop,
// and is the boundary where run-time errors are caught. An error raised in
// any event handler (or in start-up) is reported in a critical message box
// naming its cause; the program then ends cleanly: the mouse cursor is shown,
// input methods are given back, no further handler runs (so nothing is
// written) and the process exits with status 1.

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// The program's title (App.title()), which the box of a run-time error
// carries, and its version (App.major(), minor(), revision()), set by the
// build, which --version prints.
inline constexpr std::string_view kProgramTitle = "Zandreth";
struct ProgramVersion {
    int16_t major;
    int16_t minor;
    int16_t revision;
};
ProgramVersion programVersion();

// Thrown by End(): stops the program at once, without unload handlers.
class EndProgram : public std::exception {
public:
    const char* what() const noexcept override { return "End"; }
};

[[noreturn]] void End();

// How long a hosted program's message stands in its host's window before
// the program ends (see Runtime::runHosted).
constexpr int kHostedMessageMs = 5000;

class Runtime {
public:
    // Starts the window system's toolkit with main's arguments, unless the
    // program answers on its command line without a window: where the
    // system's programs answer "--help" and "--version" (system_program.h),
    // the first of them among the arguments prints `help`, or the title and
    // the version, on standard output. A display that cannot be opened is
    // said on standard error. Either way the program has then ended at once
    // (ended(): status 0 after an answer, 1 without a display) and main
    // returns exitStatus() without making a form.
    Runtime(int& argc, char** argv, const std::string& help = {});
    ~Runtime();
    Runtime(const Runtime&) = delete;
    Runtime& operator=(const Runtime&) = delete;

    static Runtime& current();

    // The command line main received, from the program's name on, less the
    // options the toolkit took for itself.
    const std::vector<std::string>& arguments() const;

    // Runs the event loop until no form is loaded or the program ends.
    // Returns the process's exit status.
    int exec();
    bool ended() const;
    int exitStatus() const;

    // Runs a handler inside the error boundary. Handlers raised from within a
    // handler by its own code (a value set by code) run directly, so an error
    // ends the whole chain at the outermost boundary. Handlers of events that
    // arrive while a handler waits (a message box, a modal form) have a
    // boundary of their own: their error is reported and ends the program at
    // once, the waiting box or form closes, and the handler that waited is
    // stopped by EndProgram as soon as its wait returns.
    void deliver(const std::function<void()>& handler);

    // Runs a nested event loop (a message box, a modal form): the events it
    // delivers have boundaries of their own. When one of them ends the
    // program, the loop ends and runNested throws EndProgram, so the handler
    // that waited stops there.
    void runNested(const std::function<void()>& loop);

    // Ends the program with `status`: gives back the cursor and the input
    // methods, hides every window, shows `report` when there is one, and
    // ends every event loop. Only the first call counts.
    void endProgram(int status, const std::string* report);

    // A screen-saver host (xscreensaver) started the program to draw in a
    // window of its own. The host holds the keyboard and the mouse, so nobody
    // could answer a message box: from this call on none opens. A message
    // the program would show in one (the catalogue's, the report of a
    // run-time error) is written to standard error, which the host keeps in
    // its log, and drawn in the host's window, white on black, once
    // setHostWindow has named it and where it is a window; the program then
    // ends with status 1, kHostedMessageMs later or at once at SIGTERM or
    // SIGINT. A message that ends the program before its window is known (a
    // window id that is none) goes to standard error alone.
    void runHosted();
    // The host's window (0: the screen's root window).
    void setHostWindow(uint64_t windowId);

    // Number of loaded forms; the loop ends when it drops to 0.
    void formLoaded();
    void formUnloaded();
    int loadedForms() const;

    // Delivers the events that are waiting, painting included, and returns
    // without waiting for more (tests, benchmarks).
    void processPendingEvents();
};

} // namespace platform
