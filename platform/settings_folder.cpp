#include "platform/settings_folder.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

// Where the installed data lies, seen from the program's folder (set by the
// build from its install folders; the usual layout when it is not).
#ifndef ZANDRETH_DATA_FROM_PROGRAM
#define ZANDRETH_DATA_FROM_PROGRAM "../share"
#endif

constexpr const char* kSettingsFile = "zandreth.ini";
constexpr const char* kProgramName = "zandreth";
// Created folders are the user's alone, as the XDG base folders are.
constexpr mode_t kFolderMode = 0700;

std::string withoutTrailingSlashes(std::string path)
{
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

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

bool isPortableCopy(const std::string& programFolder)
{
    return isRegularFile(programFolder + "/" + kSettingsFile) && ::access(programFolder.c_str(), W_OK) == 0;
}

std::string userSettingsFolder(const UserFolders& user)
{
    // Only an absolute path counts; a relative one is ignored, as the XDG
    // base-directory rules say.
    auto below = [](const std::string& folder, const std::string& name) {
        std::string parent = withoutTrailingSlashes(folder);
        return (parent == "/" ? "" : parent) + "/" + name;
    };
    if (!user.configHome.empty() && user.configHome.front() == '/')
        return below(user.configHome, kProgramName);
    if (!user.home.empty())
        return below(below(user.home, ".config"), kProgramName);
    return "";
}

// Creates `folder` and the folders above it that are missing.
bool makeFolders(const std::string& folder)
{
    struct stat status {};
    if (::stat(folder.c_str(), &status) == 0)
        return S_ISDIR(status.st_mode);
    auto slash = folder.rfind('/');
    if (slash != std::string::npos && slash > 0 && !makeFolders(folder.substr(0, slash)))
        return false;
    return ::mkdir(folder.c_str(), kFolderMode) == 0 || errno == EEXIST;
}

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

// Copies `source` to `target` whole or not at all: the bytes go to a
// temporary file in the target's folder, reach the disk, and only then get
// the target's name. An existing target is never replaced, so a copy started
// at the same moment by a second process cannot undo a save of the first.
bool copyWhole(const std::string& source, const std::string& folder, const std::string& target)
{
    std::string bytes;
    if (!readAll(source, bytes))
        return false;
    std::string temporary = folder + "/." + kSettingsFile + ".XXXXXX";
    int descriptor = ::mkstemp(temporary.data());
    if (descriptor < 0)
        return false;
    bool ok = writeAll(descriptor, bytes) && ::fsync(descriptor) == 0;
    ok = ::close(descriptor) == 0 && ok;
    if (ok && ::link(temporary.c_str(), target.c_str()) != 0) {
        if (errno == EEXIST)
            ok = true; // another copy of the program was first
        else // a file system without hard links: rename, if still missing
            ok = !somethingIsAt(target) && ::rename(temporary.c_str(), target.c_str()) == 0;
    }
    ::unlink(temporary.c_str());
    if (ok) {
        int folderDescriptor = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (folderDescriptor >= 0) {
            ::fsync(folderDescriptor);
            ::close(folderDescriptor);
        }
    }
    return ok;
}

// The catalogue installed with the program.
std::string installedCatalogue(const std::string& programFolder)
{
    std::string shared = programFolder + "/" + ZANDRETH_DATA_FROM_PROGRAM + "/" + kProgramName + "/" + kSettingsFile;
    if (isRegularFile(shared))
        return shared;
    std::string beside = programFolder + "/" + kSettingsFile;
    if (isRegularFile(beside))
        return beside;
    return "";
}

} // namespace

UserFolders userFoldersFromEnvironment()
{
    UserFolders user;
    if (const char* configHome = std::getenv("XDG_CONFIG_HOME"))
        user.configHome = configHome;
    if (const char* home = std::getenv("HOME"); home && *home) {
        user.home = home;
    } else if (const passwd* account = ::getpwuid(::getuid()); account && account->pw_dir) {
        user.home = account->pw_dir;
    }
    return user;
}

std::string chooseSettingsFolder(const std::string& programFolder, const UserFolders& user)
{
    if (isPortableCopy(programFolder))
        return programFolder;
    std::string folder = userSettingsFolder(user);
    // No home folder at all: nowhere else to look.
    if (folder.empty())
        return programFolder;
    std::string target = folder + "/" + kSettingsFile;
    if (somethingIsAt(target))
        return folder;
    std::string source = installedCatalogue(programFolder);
    if (!source.empty() && makeFolders(folder))
        copyWhole(source, folder, target);
    return folder;
}

} // namespace platform
