#include "platform/system/file_replace.h"
#include "platform/system/file_replace_faults.h"
#include "platform/system/file_replace_leftovers.h"
#include "platform/system/file_replace_report.h"
#include "platform/system/signals.h"
#include "platform/testing/hooks.h"

#include <array>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <optional>
#include <random>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <thread>
#include <unistd.h>
#include <vector>

// The replacement on POSIX (the contract is platform/system/file_replace.h):
// the temporary file gets the permission bits and, where allowed, the owner
// of the file it replaces, is renamed over the file, and the folder is
// flushed after the rename, so the rename itself survives a crash.
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

namespace platform {

namespace {

// The most symbolic links followed in a row, as the kernel allows (ELOOP).
constexpr int kMaxLinksFollowed = 40;
// Attempts at a temporary name before giving up; a clash is already rare.
constexpr int kMaxTemporaryNameAttempts = 100;
constexpr std::size_t kTemporarySuffixLength = 6;

std::string quoted(const std::string& text)
{
    return "\"" + text + "\"";
}

std::string folderOf(const std::string& path)
{
    auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

std::string nameOf(const std::string& path)
{
    auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The file `path` finally names after following symbolic links; it need not
// exist yet (a link may point to a file still to be created). 0 or an errno.
int followLinks(const std::string& path, std::string& target)
{
    target = path;
    for (int followed = 0; followed < kMaxLinksFollowed; ++followed) {
        struct stat status {};
        if (lstat(target.c_str(), &status) != 0)
            return errno == ENOENT ? 0 : errno;
        if (!S_ISLNK(status.st_mode))
            return 0;
        std::string link(status.st_size > 0 ? static_cast<std::size_t>(status.st_size) + 1 : 256, '\0');
        ssize_t length = 0;
        // The link can change between lstat and readlink; grow until it fits.
        while ((length = readlink(target.c_str(), link.data(), link.size())) >= static_cast<ssize_t>(link.size()))
            link.resize(link.size() * 2);
        if (length < 0)
            return errno;
        link.resize(static_cast<std::size_t>(length));
        target = (!link.empty() && link.front() == '/') ? link : folderOf(target) + "/" + link;
    }
    return ELOOP;
}

std::string randomSuffix()
{
    static constexpr char kCharacters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    std::random_device device;
    std::uniform_int_distribution<std::size_t> pick(0, sizeof(kCharacters) - 2);
    std::string suffix;
    for (std::size_t i = 0; i < kTemporarySuffixLength; ++i)
        suffix += kCharacters[pick(device)];
    return suffix;
}

std::string temporaryPrefix(const std::string& target)
{
    return folderOf(target) + "/." + nameOf(target) + ".";
}

// Whether `entry` is a temporary name of `target`'s saves: "." + the file's
// name + "." + six letters or digits.
bool isTemporaryName(const std::string& entry, const std::string& target)
{
    std::string prefix = "." + nameOf(target) + ".";
    if (entry.size() != prefix.size() + kTemporarySuffixLength || !entry.starts_with(prefix))
        return false;
    for (std::size_t i = prefix.size(); i < entry.size(); ++i) {
        char c = entry[i];
        if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')))
            return false;
    }
    return true;
}

// A lock on the folder of the file, held for the whole of a save: shared by
// every running save, exclusive while one save removes the temporary files
// that earlier saves left behind when they were killed. While a save holds
// its shared lock no other save removes anything, so a temporary file is
// removed only when no save is running in the folder and none can own it.
class FolderLock {
public:
    explicit FolderLock(const std::string& folder)
        : descriptor_(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC))
    {
    }
    ~FolderLock()
    {
        if (descriptor_ >= 0)
            close(descriptor_); // releases the lock
    }
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

    // Takes the exclusive lock when no save is running; false otherwise.
    bool tryExclusive() { return descriptor_ >= 0 && flock(descriptor_, LOCK_EX | LOCK_NB) == 0; }

    // Takes (or turns the exclusive lock into) the shared lock. Another
    // save removes its stale files in a moment, so this waits for it a
    // while; should something else hold the folder locked for longer, the
    // save goes on without the lock rather than hang.
    void shared()
    {
        if (descriptor_ < 0)
            return;
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
        while (flock(descriptor_, LOCK_SH | LOCK_NB) != 0 && (errno == EWOULDBLOCK || errno == EINTR)
               && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }

private:
    int descriptor_;
};

// Removes the temporary files of `target` that saves killed before their
// rename left behind. The caller holds the folder's exclusive lock.
void removeStaleTemporaries(const std::string& target)
{
    std::string folder = folderOf(target);
    DIR* directory = opendir(folder.c_str());
    if (directory == nullptr)
        return;
    std::vector<std::string> stale;
    while (dirent* entry = readdir(directory)) {
        if (isTemporaryName(entry->d_name, target))
            stale.emplace_back(entry->d_name);
    }
    closedir(directory);
    for (const std::string& name : stale) {
        std::string path = folder + "/" + name;
        struct stat status {};
        // Only files: a folder or a link of that name is not one of ours.
        if (lstat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode))
            unlink(path.c_str());
    }
}

// Linux can create a file that has no name until it is complete (O_TMPFILE)
// and then give it one through /proc/self/fd. Not every file system can.
bool canCreateUnnamed()
{
    static const bool procMounted = access("/proc/self/fd", X_OK) == 0;
    return procMounted;
}

// A new temporary file beside `target`. Where the file system allows, it is
// created without a name, so a save killed before it names the file leaves
// nothing behind; otherwise under a new random name. Opening it ourselves
// with mode 0666 (rather than mkstemp's 0600) lets the umask and the
// folder's default ACL decide the permissions of a settings file that is
// new. The descriptor, or -1 with errno set; `temporaryPath` is empty for a
// file without a name.
int createTemporary(const std::string& target, std::string& temporaryPath)
{
    temporaryPath.clear();
    if (int injected = takeInjectedFault(FileReplaceStep::CreateTemporary)) {
        errno = injected;
        return -1;
    }
    if (canCreateUnnamed() && !namedTemporaryFilesRequested()) {
        int descriptor = open(folderOf(target).c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
        // These say the file system (or the kernel) cannot; anything else is
        // a real refusal of the folder, such as a missing write permission.
        if (descriptor >= 0 || (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL && errno != ENOENT))
            return descriptor;
    }
    std::string prefix = temporaryPrefix(target);
    for (int attempt = 0; attempt < kMaxTemporaryNameAttempts; ++attempt) {
        temporaryPath = prefix + randomSuffix();
        int descriptor = open(temporaryPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (descriptor >= 0 || errno != EEXIST) {
            if (descriptor < 0)
                temporaryPath.clear();
            return descriptor;
        }
    }
    temporaryPath.clear();
    errno = EEXIST;
    return -1;
}

// Gives the complete file without a name a temporary name beside `target`,
// for the rename. 0 or an errno.
int nameTemporary(int descriptor, const std::string& target, std::string& temporaryPath)
{
    std::string handle = "/proc/self/fd/" + std::to_string(descriptor);
    std::string prefix = temporaryPrefix(target);
    for (int attempt = 0; attempt < kMaxTemporaryNameAttempts; ++attempt) {
        std::string path = prefix + randomSuffix();
        if (linkat(AT_FDCWD, handle.c_str(), AT_FDCWD, path.c_str(), AT_SYMLINK_FOLLOW) == 0) {
            temporaryPath = path;
            return 0;
        }
        if (errno != EEXIST)
            return errno;
    }
    return EEXIST;
}

// Whether a failure to copy the extended attribute `name` fails the save:
// the user's own attributes and the access ACL are part of what the file
// is; attributes that only a privileged process or the security policy set
// (security.*, trusted.*) are copied where allowed and left alone where not.
bool mustCopyAttribute(std::string_view name)
{
    return name.starts_with("user.") || name == "system.posix_acl_access";
}

// Copies the extended attributes of `source`, its POSIX ACL among them
// (system.posix_acl_access), onto the open file. 0, or an errno with
// `failedName` set to the attribute that could not be copied.
int copyExtendedAttributes(const std::string& source, int descriptor, std::string& failedName)
{
    std::vector<char> names;
    for (;;) {
        ssize_t size = listxattr(source.c_str(), nullptr, 0);
        if (size < 0)
            return errno == ENOTSUP ? 0 : errno;
        if (size == 0)
            return 0;
        names.resize(static_cast<std::size_t>(size));
        size = listxattr(source.c_str(), names.data(), names.size());
        if (size >= 0) {
            names.resize(static_cast<std::size_t>(size));
            break;
        }
        if (errno != ERANGE) // ERANGE: an attribute was added in between
            return errno;
    }
    std::vector<char> value;
    for (std::size_t at = 0; at < names.size();) {
        std::string name(names.data() + at);
        at += name.size() + 1;
        ssize_t size = 0;
        for (;;) {
            size = getxattr(source.c_str(), name.c_str(), nullptr, 0);
            if (size < 0)
                break;
            value.resize(static_cast<std::size_t>(size));
            size = getxattr(source.c_str(), name.c_str(), value.data(), value.size());
            if (size >= 0 || errno != ERANGE)
                break;
        }
        int errorNumber = 0;
        if (size < 0)
            errorNumber = errno == ENODATA ? 0 : errno; // ENODATA: removed in between
        else if (fsetxattr(descriptor, name.c_str(), value.data(), static_cast<std::size_t>(size), 0) != 0)
            errorNumber = errno;
        if (errorNumber != 0 && mustCopyAttribute(name)) {
            failedName = name;
            return errorNumber;
        }
    }
    return 0;
}

// 0 or an errno. Short writes continue where they stopped; EINTR retries.
int writeAll(int descriptor, std::string_view bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        std::size_t chunk = bytes.size() - done;
        if (injectedWriteLimit() != 0 && chunk > injectedWriteLimit())
            chunk = injectedWriteLimit();
        ssize_t written = 0;
        if (int injected = takeInjectedFault(FileReplaceStep::Write)) {
            errno = injected;
            written = -1;
        } else {
            written = write(descriptor, bytes.data() + done, chunk);
        }
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        // A regular file takes no bytes only when there is no room for them.
        if (written == 0)
            return ENOSPC;
        done += static_cast<std::size_t>(written);
    }
    return 0;
}

// 0 or an errno.
int syncAll(int descriptor)
{
    for (;;) {
        int result = 0;
        if (int injected = takeInjectedFault(FileReplaceStep::Sync)) {
            errno = injected;
            result = -1;
        } else {
            result = fsync(descriptor);
        }
        if (result == 0)
            return 0;
        if (errno != EINTR)
            return errno;
    }
}

void syncFolder(const std::string& folder)
{
    int descriptor = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor < 0)
        return;
    fsync(descriptor);
    close(descriptor);
}

} // namespace

bool replaceFileContents(const std::string& path, std::string_view bytes, std::string& errorText,
                         FileReplaceFailure& failure)
{
    FileReplaceReport report(path, errorText, failure);
    auto failWith = [&](const std::string& what, int errorNumber) {
        return report.failWith(what, errorNumber, std::strerror(errorNumber));
    };

    if (path.empty())
        return report.noFileName();

    std::string target;
    if (int errorNumber = followLinks(path, target))
        return failWith("cannot follow its symbolic link", errorNumber);

    struct stat status {};
    bool exists = false;
    if (stat(target.c_str(), &status) == 0) {
        exists = true;
        if (S_ISDIR(status.st_mode))
            return failWith("it is a folder", EISDIR);
        if (!S_ISREG(status.st_mode))
            return report.fail("it is not a regular file", FileReplaceCause::NotAFile);
        // Marked read-only (no write permission bit at all), or this process
        // may not write it: the rename would otherwise replace a file that
        // is not the user's to change, such as another user's file in a
        // folder this user may write.
        if ((status.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
            return report.readOnlyFile();
        if (faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0) {
            int errorNumber = errno;
            if (errorNumber == EACCES || errorNumber == EPERM)
                return report.readOnlyFile(errorNumber);
            return failWith("cannot write it", errorNumber);
        }
    } else if (errno != ENOENT) {
        return failWith("cannot examine it", errno);
    }

    system::ignoreFileSizeLimitSignal();

    // Every save holds the folder's lock until its rename is done; a save
    // that finds no other one running first removes what killed ones left,
    // unless the file is missing and they may hold its only copy. A folder
    // that takes no new file holds no save's temporary file, and the save
    // fails at once when it creates its own.
    std::optional<FolderLock> folderLock;
    if (faccessat(AT_FDCWD, folderOf(target).c_str(), W_OK, AT_EACCESS) == 0) {
        folderLock.emplace(folderOf(target));
        if (folderLock->tryExclusive()) {
            struct stat now {};
            bool present = stat(target.c_str(), &now) == 0;
            if (mayRemoveLeftovers(present ? ReplacedFileState::Exists : ReplacedFileState::Missing))
                removeStaleTemporaries(target);
        }
        folderLock->shared();
    }

    std::string temporaryPath;
    int descriptor = createTemporary(target, temporaryPath);
    if (descriptor < 0) {
        int errorNumber = errno;
        return report.noTemporaryFile(folderOf(target), errorNumber, std::strerror(errorNumber));
    }
    auto temporaryName = [&]() {
        return temporaryPath.empty() ? std::string("the temporary file") : "the temporary file " + quoted(temporaryPath);
    };

    auto failAndRemove = [&](const std::string& what, int errorNumber) {
        if (descriptor >= 0)
            close(descriptor);
        if (!temporaryPath.empty())
            unlink(temporaryPath.c_str());
        return failWith(what, errorNumber);
    };

    if (exists) {
        // Keep the file's owner when an administrator saves a user's file; only
        // a privileged process may, and the file is still saved when it may not.
        if ((status.st_uid != geteuid() || status.st_gid != getegid())
            && fchown(descriptor, status.st_uid, status.st_gid) != 0) {
            // Not allowed to: the saved file then belongs to this process's user.
        }
        if (fchmod(descriptor, status.st_mode & 07777) != 0)
            return failAndRemove("cannot set the permissions of the temporary file", errno);
        // After the mode: the ACL sets the group bits from its mask.
        std::string attribute;
        if (int errorNumber = copyExtendedAttributes(target, descriptor, attribute))
            return failAndRemove("cannot copy its "
                                     + (attribute == "system.posix_acl_access"
                                            ? std::string("access control list")
                                            : "extended attribute " + quoted(attribute))
                                     + " to the temporary file",
                                 errorNumber);
    }
    if (int errorNumber = writeAll(descriptor, bytes))
        return failAndRemove("cannot write " + temporaryName(), errorNumber);
    if (int errorNumber = syncAll(descriptor))
        return failAndRemove("cannot flush " + temporaryName() + " to disk", errorNumber);
    if (temporaryPath.empty()) {
        if (int errorNumber = nameTemporary(descriptor, target, temporaryPath))
            return failAndRemove("cannot give the temporary file a name in the folder " + quoted(folderOf(target)),
                                 errorNumber);
    }
    int closeResult = close(descriptor);
    descriptor = -1;
    if (closeResult != 0 && errno != EINTR)
        return failAndRemove("cannot close " + temporaryName(), errno);

    int renameResult = 0;
    if (int injected = takeInjectedFault(FileReplaceStep::Rename)) {
        errno = injected;
        renameResult = -1;
    } else {
        renameResult = rename(temporaryPath.c_str(), target.c_str());
    }
    if (renameResult != 0)
        return failAndRemove("cannot rename the temporary file " + quoted(temporaryPath) + " over it", errno);

    syncFolder(folderOf(target));
    return report.succeed();
}

} // namespace platform
