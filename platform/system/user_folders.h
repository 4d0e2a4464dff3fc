#pragma once

// The user's folders that decide where the settings file lives
// (platform/profile/settings_folder.h), as the operating system names them.

#include <string>

namespace platform {

// The parts of the environment the choice depends on.
struct UserFolders {
    std::string configHome; // $XDG_CONFIG_HOME, empty when unset
    std::string home;       // $HOME, or the account's home folder when unset
    // %APPDATA% on Windows, empty elsewhere; when set, it alone decides.
    std::string appData = {};
};

// The operating system's conventions for them: platform/system/posix/ reads
// the environment and the account, platform/system/win32/ the user's
// application-data folder.
UserFolders userFoldersFromEnvironment();

} // namespace platform
