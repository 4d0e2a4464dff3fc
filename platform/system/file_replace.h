#pragma once

// Replacing a file's whole contents in one step, so that a crash, a full
// disk or a failing device leaves either the old file or the new one on
// disk, never a truncated mixture: the contract every system's
// implementation keeps.

#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

// Writes `bytes` to a new temporary file in the folder of `path`, flushes it
// to disk and only then gives it the place of `path`, in one step of the
// file system, so that a crash, a full disk or a failing device leaves the
// old file or the new one, never a mixture. The new file keeps what the
// system keeps with a file (permission bits and, where allowed, the owner;
// attributes and access-control lists), and the step itself is flushed. A
// symbolic link is followed: the file it points to is replaced and the link
// stays. A missing file is created with the permissions the process may
// give it. What a save killed on the way leaves behind is removed by a
// later save in the same folder, but only while the file exists: with the
// file missing, a leftover may hold the only copy of the user's last save,
// and it stays (file_replace_leftovers.h). Two saves in one folder never
// take each other's temporary file.
//
// A file that exists and is marked read-only (on POSIX: without any write
// permission bit, or not writable by this process; on Windows: with the
// read-only attribute) is not replaced, even for a process (such as root)
// that the system would let write it: a settings file marked read-only
// stays as it is. A folder or another file that is not a regular one in
// the place of `path` is not replaced either.
//
// How each system keeps this promise is told beside its implementation
// (platform/system/posix/file_replace.cpp, platform/system/win32/).
//
// On failure returns false, removes the temporary file, leaves `path` as it
// was and sets `errorText` to the sentence "Cannot save "<path>": <reason>",
// with the system's words for the error (the path with backslashes on
// Windows). A failure to flush the folder after the step is not reported:
// the file then already holds the new bytes.
bool replaceFileContents(const std::string& path, std::string_view bytes, std::string& errorText);

// Why a replacement failed, for callers that tell the user in words of their
// own. errorNumber is the system's error number where one caused it, else 0.
enum class FileReplaceCause {
    None,
    ReadOnlyFile,     // the file is marked read-only
    ReadOnlyFolder,   // no file may be created in its folder (EACCES, EPERM)
    ReadOnlyDisk,     // the disk holding it is mounted read-only (EROFS)
    DiskFull,         // no room or no quota left (ENOSPC, EDQUOT)
    PermissionDenied, // access refused elsewhere on the way (EACCES, EPERM)
    NotAFile,         // a folder, a device or a pipe stands in its place
    Unreadable,       // it exists but could not be read, so saving would lose it
    Other,            // anything else: errorText and errorNumber tell
};

struct FileReplaceFailure {
    FileReplaceCause cause = FileReplaceCause::None;
    int errorNumber = 0;
};

// The cause an error number stands for; Other when it is none of the known
// ones. Every system reports its failures through this one table.
FileReplaceCause fileReplaceCauseOf(int errorNumber);

// The same, also setting `failure` (None after a success).
bool replaceFileContents(const std::string& path, std::string_view bytes, std::string& errorText,
                         FileReplaceFailure& failure);

} // namespace platform
