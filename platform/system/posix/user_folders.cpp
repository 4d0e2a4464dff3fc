#include "platform/system/user_folders.h"

#include "platform/system/files.h"

#include <cstdlib>

namespace platform {

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

std::string pathInFolder(const std::string& folder, const std::string& name)
{
    return folder + "/" + name;
}

} // namespace platform
