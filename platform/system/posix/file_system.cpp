#include "platform/system/files.h"
#include "platform/system/signals.h"

#include <cerrno>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform::system {

namespace {

// Created folders are the user's alone, as the XDG base folders are.
constexpr mode_t kFolderMode = 0700;
constexpr std::size_t kReadChunk = 64 * 1024;

bool writeAll(int descriptor, const std::string& bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t written = ::write(descriptor, bytes.data() + done, bytes.size() - done);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        done += static_cast<std::size_t>(written);
    }
    return true;
}

bool readAll(const std::string& path, std::string& bytes)
{
    int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0)
        return false;
    char buffer[65536];
    bool ok = true;
    for (;;) {
        ssize_t got = ::read(descriptor, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            ok = false;
        if (got <= 0)
            break;
        bytes.append(buffer, static_cast<std::size_t>(got));
    }
    ::close(descriptor);
    return ok;
}

} // namespace

bool isRegularFile(const std::string& path)
{
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

bool somethingIsAt(const std::string& path)
{
    struct stat status {};
    return ::lstat(path.c_str(), &status) == 0;
}

bool isWritableFolder(const std::string& folder)
{
    return ::access(folder.c_str(), W_OK) == 0;
}

bool makeFolders(const std::string& folder, int* errorNumber)
{
    auto failed = [errorNumber](int error) {
        if (errorNumber != nullptr)
            *errorNumber = error;
        return false;
    };
    struct stat status {};
    if (::stat(folder.c_str(), &status) == 0)
        return S_ISDIR(status.st_mode) || failed(ENOTDIR);
    auto slash = folder.rfind('/');
    if (slash != std::string::npos && slash > 0 && !makeFolders(folder.substr(0, slash), errorNumber))
        return false;
    return ::mkdir(folder.c_str(), kFolderMode) == 0 || errno == EEXIST || failed(errno);
}

// A second process copying at the same moment cannot undo a save of the
// first: the copy is linked under the target's name, which fails when the
// target is there.
bool copyWhole(const std::string& source, const std::string& folder, const std::string& target,
               const std::string& hiddenName, int* errorNumber)
{
    int error = 0;
    auto step = [&error](bool done) {
        if (!done && error == 0)
            error = errno != 0 ? errno : EIO;
        return done;
    };
    ignoreFileSizeLimitSignal();
    std::string bytes;
    errno = 0;
    if (!step(readAll(source, bytes))) {
        if (errorNumber != nullptr)
            *errorNumber = error;
        return false;
    }
    std::string temporary = folder + "/." + hiddenName + ".XXXXXX";
    int descriptor = ::mkstemp(temporary.data());
    if (!step(descriptor >= 0)) {
        if (errorNumber != nullptr)
            *errorNumber = error;
        return false;
    }
    bool ok = step(writeAll(descriptor, bytes)) && step(::fsync(descriptor) == 0);
    ok = step(::close(descriptor) == 0) && ok;
    if (ok && ::link(temporary.c_str(), target.c_str()) != 0) {
        if (errno == EEXIST)
            ok = true; // another copy of the program was first
        else // a file system without hard links: rename, if still missing
            ok = !somethingIsAt(target) && step(::rename(temporary.c_str(), target.c_str()) == 0);
        if (!ok && error == 0)
            error = EEXIST;
    }
    ::unlink(temporary.c_str());
    if (ok) {
        int folderDescriptor = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (folderDescriptor >= 0) {
            ::fsync(folderDescriptor);
            ::close(folderDescriptor);
        }
    } else if (errorNumber != nullptr) {
        *errorNumber = error;
    }
    return ok;
}

std::string accountHomeFolder()
{
    if (const passwd* account = ::getpwuid(::getuid()); account && account->pw_dir)
        return account->pw_dir;
    return "";
}

ReadOutcome readRegularFile(const std::string& path, std::string& bytes, int& errorNumber)
{
    // O_NONBLOCK: opening a named pipe would otherwise wait for a writer.
    int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (descriptor < 0) {
        errorNumber = errno;
        return ReadOutcome::Failed;
    }
    struct stat status {};
    if (::fstat(descriptor, &status) != 0 || S_ISDIR(status.st_mode)) {
        errorNumber = S_ISDIR(status.st_mode) ? EISDIR : errno;
        ::close(descriptor);
        return ReadOutcome::Failed;
    }
    if (!S_ISREG(status.st_mode)) {
        ::close(descriptor);
        return ReadOutcome::NotRegular;
    }
    // Read straight into the string, in the size the file has now; a file
    // that grows meanwhile is read on in chunks.
    bytes.assign(status.st_size > 0 ? static_cast<std::size_t>(status.st_size) : 0, '\0');
    std::size_t filled = 0;
    for (;;) {
        char chunk[kReadChunk];
        bool direct = filled < bytes.size();
        ssize_t count = direct ? ::read(descriptor, bytes.data() + filled, bytes.size() - filled)
                               : ::read(descriptor, chunk, sizeof chunk);
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0) {
            errorNumber = errno;
            ::close(descriptor);
            return ReadOutcome::Failed;
        }
        if (count == 0)
            break;
        if (direct)
            filled += static_cast<std::size_t>(count);
        else
            bytes.append(chunk, static_cast<std::size_t>(count));
        if (!direct)
            filled = bytes.size();
    }
    bytes.resize(filled);
    ::close(descriptor);
    return ReadOutcome::Read;
}

} // namespace platform::system
