#pragma once

// What tests may change in the platform, in one place: the program's own
// code never includes this header.

#include "platform/system_time.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <string>

namespace platform {

class Form;

// The command-line tail that Command() returns.
void setCommandForTesting(const std::string& command);

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
