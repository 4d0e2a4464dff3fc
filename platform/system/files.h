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
// alone; true when it is a folder afterwards. On failure `errorNumber`, when
// given, tells why (an errno value).
bool makeFolders(const std::string& folder, int* errorNumber = nullptr);
// Copies `source` to `target` in `folder` whole or not at all: the bytes go
// to a temporary file named after `hiddenName` in that folder, reach the disk
// and only then get the target's name. An existing target is never replaced.
// On failure `errorNumber`, when given, tells why (an errno value).
bool copyWhole(const std::string& source, const std::string& folder, const std::string& target,
               const std::string& hiddenName, int* errorNumber = nullptr);
// The home folder of the account the program runs as; empty when unknown.
std::string accountHomeFolder();

// The instance lock's file in the settings folder (POSIX): empty, made
// when missing, readable by all, never removed.
inline constexpr const char* kInstanceLockFileName = ".zandreth.lock";

// Takes the instance lock of a settings folder, held while the process
// lives. The system drops it when the process ends, however it ends, so a
// crashed instance never leaves it stuck. Returns true when another process
// holds it; one answer per folder for the life of the process.
//
// POSIX: an exclusive flock() on the folder's lock file, so that it never
// meets the folder lock of the saves (file_replace.h), even in the same
// process, and another user's copy that may not list the folder (a shared
// portable folder of mode 0733) finds it as well. Where no lock file can be
// made (a read-only folder), the folder itself is locked. Windows: a named
// mutex for the folder as the file system identifies it (its volume and file
// number), whatever the spelling of its path (case, separators, 8.3 names).
bool anotherInstanceHolds(const std::string& folder);

enum class ReadOutcome {
    Read,       // `bytes` holds the whole file
    NotRegular, // a pipe, a device or the like: nothing was read
    Failed,     // `errorNumber` tells why (a folder gives EISDIR)
};
// Reads the regular file at `path` whole, never waiting on a named pipe.
ReadOutcome readRegularFile(const std::string& path, std::string& bytes, int& errorNumber);

} // namespace platform::system
