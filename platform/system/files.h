#pragma once

// The operating system's file services that the platform's own code uses,
// one small seam: platform/system/posix/ implements them on Linux, so that the
// code above them compiles for any system.

#include <string>
#include <string_view>

namespace platform::system {

// A regular file (links followed) is at `path`.
bool isRegularFile(const std::string& path);
// Anything at all is at `path`, a dangling link included.
bool somethingIsAt(const std::string& path);
// A file may be created in `folder` by this user.
bool isWritableFolder(const std::string& folder);
// Creates `folder` and the folders above it that are missing, for this user
// alone; true when it is a folder afterwards.
bool makeFolders(const std::string& folder);
// Copies `source` to `target` in `folder` whole or not at all: the bytes go
// to a temporary file named after `hiddenName` in that folder, reach the disk
// and only then get the target's name. An existing target is never replaced.
bool copyWhole(const std::string& source, const std::string& folder, const std::string& target,
               const std::string& hiddenName);
// The home folder of the account the program runs as; empty when unknown.
std::string accountHomeFolder();

// Takes the instance lock of a program folder: an exclusive lock on the
// folder itself, held while the process lives. The system drops it when the
// process ends, however it ends, so a crashed instance never leaves it stuck,
// and nothing is written anywhere. Returns true when another process holds
// it; one answer per folder for the life of the process.
bool anotherInstanceHolds(const std::string& folder);

enum class ReadOutcome {
    Read,       // `bytes` holds the whole file
    NotRegular, // a pipe, a device or the like: nothing was read
    Failed,     // `errorNumber` tells why (a folder gives EISDIR)
};
// Reads the regular file at `path` whole, never waiting on a named pipe.
ReadOutcome readRegularFile(const std::string& path, std::string& bytes, int& errorNumber);

} // namespace platform::system
