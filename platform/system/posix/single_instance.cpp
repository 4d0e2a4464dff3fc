#include "platform/system/files.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <map>

namespace platform::system {

namespace {

// Anyone who may pass through the folder may open the lock file to lock it:
// in a shared folder (a portable copy in a folder others may write) another
// user's copy must find the lock too. The file stays empty.
constexpr mode_t kLockFileMode = 0644;
// Rounds of "open it, else create it" before giving up: another process
// may create or remove the file in between.
constexpr int kOpenAttempts = 8;

// The descriptor of the folder's lock file, created when missing; -1 when
// it can be neither opened nor created (a read-only disk, say). Never a
// link or a named pipe that someone put there.
int openLockFile(const std::string& folder)
{
    const std::string path = folder + "/" + kInstanceLockFileName;
    for (int attempt = 0; attempt < kOpenAttempts; ++attempt) {
        int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
        if (descriptor < 0 && errno == ENOENT) {
            descriptor = ::open(path.c_str(), O_RDONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, kLockFileMode);
            if (descriptor < 0 && errno == EEXIST)
                continue; // another process was first: open theirs
            // Created: the permissions whatever the umask.
            if (descriptor >= 0)
                (void)::fchmod(descriptor, kLockFileMode);
        }
        if (descriptor < 0)
            return -1;
        struct stat status {};
        if (::fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) {
            ::close(descriptor);
            return -1;
        }
        return descriptor;
    }
    return -1;
}

} // namespace

bool anotherInstanceHolds(const std::string& folder)
{
    // One answer per folder for the life of the process; the descriptor
    // stays open so the lock is held until the process ends.
    static std::map<std::string, bool> answers;
    auto found = answers.find(folder);
    if (found != answers.end())
        return found->second;
    int descriptor = openLockFile(folder);
    // Where no lock file can be made, the folder itself is locked: its
    // readers still see each other.
    if (descriptor < 0)
        descriptor = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    bool held = false;
    if (descriptor >= 0 && ::flock(descriptor, LOCK_EX | LOCK_NB) != 0) {
        held = errno == EWOULDBLOCK;
        ::close(descriptor);
    }
    answers[folder] = held;
    return held;
}

} // namespace platform::system
