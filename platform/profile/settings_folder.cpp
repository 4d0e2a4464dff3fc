#include "platform/profile/settings_folder.h"

#include "platform/system/files.h"

namespace platform {

namespace {

// Where the installed data lies, seen from the program's folder (set by the
// build from its install folders; the usual layout when it is not).
#ifndef ZANDRETH_DATA_FROM_PROGRAM
#define ZANDRETH_DATA_FROM_PROGRAM "../share"
#endif

constexpr const char* kSettingsFile = "zandreth.ini";
constexpr const char* kProgramName = "zandreth";
// The folder of the settings under the user's application data on Windows.
constexpr const char* kApplicationDataName = "Zandreth";

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
    if (!user.appData.empty()) {
        std::string parent = user.appData;
        while (parent.size() > 1 && (parent.back() == '\\' || parent.back() == '/'))
            parent.pop_back();
        return parent + "\\" + kApplicationDataName;
    }
    if (!user.configHome.empty() && user.configHome.front() == '/')
        return below(user.configHome, kProgramName);
    if (!user.home.empty())
        return below(below(user.home, ".config"), kProgramName);
    return "";
}

// The catalogue installed with the program. A Windows program is installed
// as one folder: only the catalogue beside it counts.
std::string installedCatalogue(const std::string& programFolder, const UserFolders& user)
{
    std::string beside = programFolder + "/" + kSettingsFile;
    if (!user.appData.empty())
        return system::isRegularFile(beside) ? beside : "";
    std::string shared = programFolder + "/" + ZANDRETH_DATA_FROM_PROGRAM + "/" + kProgramName + "/" + kSettingsFile;
    if (system::isRegularFile(shared))
        return shared;
    if (system::isRegularFile(beside))
        return beside;
    return "";
}

} // namespace

std::string chooseSettingsFolder(const std::string& programFolder, const UserFolders& user)
{
    FileReplaceFailure ignored;
    return chooseSettingsFolder(programFolder, user, ignored);
}

std::string chooseSettingsFolder(const std::string& programFolder, const UserFolders& user,
                                 FileReplaceFailure& copyFailure)
{
    copyFailure = {};
    if (isPortableCopy(programFolder))
        return programFolder;
    std::string folder = userSettingsFolder(user);
    // No home folder at all: nowhere else to look.
    if (folder.empty())
        return programFolder;
    std::string target = folder + "/" + kSettingsFile;
    if (system::somethingIsAt(target))
        return folder;
    std::string source = installedCatalogue(programFolder, user);
    if (source.empty())
        return folder;
    int errorNumber = 0;
    if (!system::makeFolders(folder, &errorNumber)
        || !system::copyWhole(source, folder, target, kSettingsFile, &errorNumber)) {
        FileReplaceCause cause = fileReplaceCauseOf(errorNumber);
        // A file where a folder of the path should be: the system's own
        // words ("Not a directory") say it better than the save's.
        if (cause == FileReplaceCause::NotAFile)
            cause = FileReplaceCause::Other;
        copyFailure = { cause, errorNumber };
    }
    return folder;
}

} // namespace platform
