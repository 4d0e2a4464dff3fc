#include "platform/settings_folder.h"

#include "platform/system_files.h"

#include <cstdlib>

namespace platform {

namespace {

// Where the installed data lies, seen from the program's folder (set by the
// build from its install folders; the usual layout when it is not).
#ifndef ZANDRETH_DATA_FROM_PROGRAM
#define ZANDRETH_DATA_FROM_PROGRAM "../share"
#endif

constexpr const char* kSettingsFile = "zandreth.ini";
constexpr const char* kProgramName = "zandreth";

std::string withoutTrailingSlashes(std::string path)
{
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

bool isPortableCopy(const std::string& programFolder)
{
    return system::isRegularFile(programFolder + "/" + kSettingsFile) && system::isWritableFolder(programFolder);
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

// The catalogue installed with the program.
std::string installedCatalogue(const std::string& programFolder)
{
    std::string shared = programFolder + "/" + ZANDRETH_DATA_FROM_PROGRAM + "/" + kProgramName + "/" + kSettingsFile;
    if (system::isRegularFile(shared))
        return shared;
    std::string beside = programFolder + "/" + kSettingsFile;
    if (system::isRegularFile(beside))
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
    } else {
        user.home = system::accountHomeFolder();
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
    if (system::somethingIsAt(target))
        return folder;
    std::string source = installedCatalogue(programFolder);
    if (!source.empty() && system::makeFolders(folder))
        system::copyWhole(source, folder, target, kSettingsFile);
    return folder;
}

} // namespace platform
