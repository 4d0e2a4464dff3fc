#pragma once

// The hooks the program carries for its tests, in one place: what tests may
// change in the platform. Each is named ...ForTesting and is defined by the
// library it changes; the program's own code cannot include this header (no
// library of the program links zandreth_testing). What tests do through the
// window system (keys, typing, pixels) is not here: it is built into the
// tests alone (tests/support/form_drivers.h).

#include <cstddef>
#include <functional>
#include <string>

namespace platform {

class Form;
struct FileReplaceFailure;
struct SYSTEMTIME;

// The command-line tail that Command() returns.
void setCommandForTesting(const std::string& command);

// The folder App.path() returns: a test's own.
void setAppPathForTesting(const std::string& path);
// What App.settingsCopyFailure() then returns: a first copy that failed.
void setSettingsCopyFailureForTesting(const FileReplaceFailure& failure);

// Makes a new start of the runtime possible after the program ended: no
// form loaded, no error.
void resetRuntimeForTesting();

// Runs the event loop for `milliseconds`.
void processEventsForTesting(int milliseconds);

// Called with each form that a modal show has just shown, before the show
// waits for it to be unloaded. A form that the observer unloads ends the
// modal show at once, so a test can look at a modal form and close it
// without a nested event loop. Returns the previous observer; an empty one
// lets modal shows wait again.
using ModalShowObserver = std::function<void(Form&)>;
ModalShowObserver setModalShowObserverForTesting(ModalShowObserver observer);

// Replaces the random generator's draws; an empty source restores it.
void setRandomSourceForTesting(std::function<float()> source);

// Makes GetSystemTime return `time` until cleared.
void setFixedSystemTimeForTesting(const SYSTEMTIME& time);
void clearFixedSystemTimeForTesting();

// Faults of the file replacement, so tests can show that a failing step
// leaves the file on disk as it was. A fault applies to the next call of its
// step in any replacement, then clears itself. An injected EINTR on Write or
// Sync is retried, as a real one is.
enum class FileReplaceStep { CreateTemporary, Write, Sync, Rename };
void failNextFileReplaceStepForTesting(FileReplaceStep step, int errorNumber);
// Makes every write of a replacement take at most `bytes` bytes, as a write
// interrupted by a signal does; 0 lets writes take everything again.
void limitFileReplaceWriteSizeForTesting(std::size_t bytes);
// Makes replacements create their temporary file under its name from the
// start, as on a file system without unnamed files; false goes back to
// unnamed files where the file system has them.
void useNamedTemporaryFilesForTesting(bool named);
// Clears every injected fault, the write limit and the named-file choice.
void clearFileReplaceFaultsForTesting();

} // namespace platform
