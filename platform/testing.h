#pragma once

// What tests may change in the platform, in one place: the program's own
// code never includes this header.

#include "platform/system_time.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace platform {

class ComboBox;
class Control;
class Form;
struct FileReplaceFailure;

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
void processEventsFor(int milliseconds);

// What tests do through the window system, on the backend's drivers for
// tests (platform/backend_testing.h). They are built into the tests alone
// (tests/support/), never into the program.

// A key (classic key code: 13 Enter, 27 Esc, 9 Tab, 32 Space, 33 Page Up, 34
// Page Down, 35 End, 36 Home, 37 to 40 the arrows, the letters and digits)
// pressed and released on the form, as the keyboard would: it goes to the
// control that has the focus (to the form itself when none has), and what
// that control does not use goes on to its container and to the form.
// `shift` holds the shift keys down meanwhile (1 Shift, 2 Ctrl, 4 Alt).
void pressKeyForTesting(Form& form, int16_t keyCode, int16_t shift = 0);

// Types `text` into the list's edit field key by key, as the user would.
void typeForTesting(ComboBox& list, const std::string& text);

// The control as it is drawn now, one row of 0xAARRGGBB pixels after the
// other, top row first.
std::vector<std::vector<uint32_t>> pixelsForTesting(const Control& control);

// Called with each form that a modal show has just shown, before the show
// waits for it to be unloaded. A form that the observer unloads ends the
// modal show at once, so a test can look at a modal form and close it
// without a nested event loop. Returns the previous observer; an empty one
// lets modal shows wait again.
using ModalShowObserver = std::function<void(Form&)>;
ModalShowObserver setModalShowObserverForTesting(ModalShowObserver observer);

// Replaces the random generator's draws; an empty source restores it.
void setRandomSourceForTesting(std::function<float()> source);

// Makes GetSystemTime return `time` until cleared with std::nullopt.
void setFixedSystemTime(std::optional<SYSTEMTIME> time);

// Faults of the file replacement, so tests can show that a failing step
// leaves the file on disk as it was. A fault applies to the next call of its
// step in any replacement, then clears itself. An injected EINTR on Write or
// Sync is retried, as a real one is.
enum class FileReplaceStep { CreateTemporary, Write, Sync, Rename };
void failNextFileReplaceStep(FileReplaceStep step, int errorNumber);
// Makes every write of a replacement take at most `bytes` bytes, as a write
// interrupted by a signal does; 0 lets writes take everything again.
void limitFileReplaceWriteSize(std::size_t bytes);
// Makes replacements create their temporary file under its name from the
// start, as on a file system without unnamed files; false goes back to
// unnamed files where the file system has them.
void useNamedTemporaryFiles(bool named);
// Clears every injected fault, the write limit and the named-file choice.
void clearFileReplaceFaults();

} // namespace platform
