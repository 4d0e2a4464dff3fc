#include "platform/file_replace.h"

#include <array>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

// The most symbolic links followed in a row, as the kernel allows (ELOOP).
constexpr int kMaxLinksFollowed = 40;
// Attempts at a temporary name before giving up; a clash is already rare.
constexpr int kMaxTemporaryNameAttempts = 100;
constexpr std::size_t kTemporarySuffixLength = 6;

struct InjectedFaults {
    std::array<int, 4> nextError {};
    std::size_t writeLimit = 0;
};

InjectedFaults& injectedFaults()
{
    static InjectedFaults faults;
    return faults;
}

// The errno injected for the next call of `step`, once; 0 when none is.
int takeInjectedFault(FileReplaceStep step)
{
    int& slot = injectedFaults().nextError[static_cast<std::size_t>(step)];
    int errorNumber = slot;
    slot = 0;
    return errorNumber;
}

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

// Creates a new file beside `target`. Opening it ourselves with O_EXCL and
// mode 0666 (rather than mkstemp's 0600) lets the umask and the folder's
// default ACL decide the permissions of a settings file that is new.
// The descriptor, or -1 with errno set.
int createTemporary(const std::string& target, std::string& temporaryPath)
{
    std::string prefix = folderOf(target) + "/." + nameOf(target) + ".";
    for (int attempt = 0; attempt < kMaxTemporaryNameAttempts; ++attempt) {
        if (int injected = takeInjectedFault(FileReplaceStep::CreateTemporary)) {
            errno = injected;
            return -1;
        }
        temporaryPath = prefix + randomSuffix();
        int descriptor = open(temporaryPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (descriptor >= 0 || errno != EEXIST)
            return descriptor;
    }
    errno = EEXIST;
    return -1;
}

// 0 or an errno. Short writes continue where they stopped; EINTR retries.
int writeAll(int descriptor, std::string_view bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        std::size_t chunk = bytes.size() - done;
        if (injectedFaults().writeLimit != 0 && chunk > injectedFaults().writeLimit)
            chunk = injectedFaults().writeLimit;
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

// The cause an error number stands for; Other when it is none of the known
// ones.
FileReplaceCause fileReplaceCauseOf(int errorNumber)
{
    switch (errorNumber) {
    case EACCES:
    case EPERM:
        return FileReplaceCause::PermissionDenied;
    case EROFS:
        return FileReplaceCause::ReadOnlyDisk;
    case ENOSPC:
    case EDQUOT:
        return FileReplaceCause::DiskFull;
    case EISDIR:
    case ENOTDIR:
        return FileReplaceCause::NotAFile;
    default:
        return FileReplaceCause::Other;
    }
}

} // namespace

bool replaceFileContents(const std::string& path, std::string_view bytes, std::string& errorText)
{
    FileReplaceFailure failure;
    return replaceFileContents(path, bytes, errorText, failure);
}

bool replaceFileContents(const std::string& path, std::string_view bytes, std::string& errorText,
                         FileReplaceFailure& failure)
{
    failure = {};
    auto fail = [&](const std::string& reason, FileReplaceCause cause = FileReplaceCause::Other,
                    int errorNumber = 0) {
        errorText = "Cannot save " + quoted(path) + ": " + reason;
        failure = { cause, errorNumber };
        return false;
    };
    auto failWith = [&](const std::string& what, int errorNumber) {
        return fail(what + ": " + std::strerror(errorNumber), fileReplaceCauseOf(errorNumber), errorNumber);
    };

    if (path.empty())
        return fail("no file name was given");

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
            return fail("it is not a regular file", FileReplaceCause::NotAFile);
        if ((status.st_mode & S_IWUSR) == 0)
            return fail("the file is read-only", FileReplaceCause::ReadOnlyFile);
    } else if (errno != ENOENT) {
        return failWith("cannot examine it", errno);
    }

    std::string temporaryPath;
    int descriptor = createTemporary(target, temporaryPath);
    if (descriptor < 0) {
        int errorNumber = errno;
        failWith("cannot create a temporary file in the folder " + quoted(folderOf(target)), errorNumber);
        // Refused a new file, the folder itself is what is read-only.
        if (errorNumber == EACCES || errorNumber == EPERM)
            failure.cause = FileReplaceCause::ReadOnlyFolder;
        return false;
    }

    auto failAndRemove = [&](const std::string& what, int errorNumber) {
        if (descriptor >= 0)
            close(descriptor);
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
    }
    if (int errorNumber = writeAll(descriptor, bytes))
        return failAndRemove("cannot write the temporary file " + quoted(temporaryPath), errorNumber);
    if (int errorNumber = syncAll(descriptor))
        return failAndRemove("cannot flush the temporary file " + quoted(temporaryPath) + " to disk", errorNumber);
    int closeResult = close(descriptor);
    descriptor = -1;
    if (closeResult != 0 && errno != EINTR)
        return failAndRemove("cannot close the temporary file " + quoted(temporaryPath), errno);

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
    errorText.clear();
    return true;
}

void failNextFileReplaceStep(FileReplaceStep step, int errorNumber)
{
    injectedFaults().nextError[static_cast<std::size_t>(step)] = errorNumber;
}

void limitFileReplaceWriteSize(std::size_t bytes)
{
    injectedFaults().writeLimit = bytes;
}

void clearFileReplaceFaults()
{
    injectedFaults() = InjectedFaults {};
}

} // namespace platform
