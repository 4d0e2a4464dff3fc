#pragma once

// Replacing a file's whole contents in one step, so that a crash, a full
// disk or a failing device leaves either the old file or the new one on
// disk, never a truncated mixture.

#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

// Writes `bytes` to a new temporary file in the folder of `path`, flushes it
// to disk, gives it the permission bits (and, where allowed, the owner) of
// the file it replaces, renames it over `path` and flushes the folder, so
// the rename itself survives a crash. A symbolic link is followed: the file
// it points to is replaced and the link stays. A missing file is created with
// the permissions the process's umask allows.
//
// The temporary file: where the file system allows (Linux O_TMPFILE, with
// /proc mounted), it is created without a name and named only once it is
// complete and flushed, just before the rename, so a save killed while it
// writes leaves nothing behind. Elsewhere it is created under its name from
// the start. Its name is "." + the file's name + "." + six random letters
// and digits.
//
// Leftovers of killed saves: every save holds a shared flock() on the folder
// from before it creates its temporary file until after its rename. A save
// that can take the lock exclusively (no other save running in the folder)
// first removes every regular file whose name has the temporary pattern of
// this file: a save that could still own one would hold the lock, and a lock
// dies with the process that held it, so what is left is a leftover. A
// killed save's leftover therefore lasts until the next save. (A program
// that saves the same file without taking the lock would lose its temporary
// file to a concurrent save; this program runs once at a time.)
//
// What the file carries: besides owner and permission bits, its extended
// attributes are copied onto the temporary file before the rename, and with
// them its POSIX ACL (the system.posix_acl_access attribute, which also sets
// the group permission bits from the ACL's mask). A user.* attribute or the
// ACL that cannot be copied fails the save, leaving the file as it was;
// security.* and trusted.* attributes, which only a privileged process or the
// security policy may set, are copied where allowed.
//
// Hard links: the rename gives `path` a new file. Other hard links of the old
// file (st_nlink > 1) keep the old bytes and are no longer the same file as
// `path`. The replacement stays atomic on purpose: writing the file in place
// would keep the links together but could leave a half-written file.
//
// A file that exists without its owner-write permission bit is read-only and
// is not replaced, even for a process (such as root) that the system would
// let write it: a settings file marked read-only stays as it is.
//
// On Windows the same promise is kept with the system's own means: the
// temporary file (always named) is flushed with FlushFileBuffers, takes the
// file's creation time, its hidden, system, archive and not-indexed
// attributes and its access-control list (DACL), and then the file's place
// in one rename, MoveFileExW with replace and write-through; saves in one
// folder take turns through a named mutex, and the one holding it removes
// the leftovers of killed saves. A file with the read-only attribute is not
// replaced, and the error text names the file with backslashes.
//
// On both systems leftovers are removed only while the file exists: with the
// file missing, a leftover may hold the only copy of the user's last save,
// and it stays.
//
// On failure returns false, removes the temporary file, leaves `path` as it
// was and sets `errorText` to a sentence naming the file and the reason (the
// system's words for the error). A failure to flush the folder after the
// rename is not reported: the file then already holds the new bytes.
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
