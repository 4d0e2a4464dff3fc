#pragma once

// The user's folders that decide where the settings file lives
// (platform/profile/settings_folder.h), as the operating system names them,
// and a path in a folder as the system writes it.

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

// The path of the file `name` in `folder`, written as the system writes its
// paths and shows them to the user: "/" between them on POSIX; "\" on
// Windows, where a "/" in `folder` becomes "\" as well, so that no message
// shows a path with both (platform/system/posix/ or platform/system/win32/).
std::string pathInFolder(const std::string& folder, const std::string& name);

} // namespace platform
