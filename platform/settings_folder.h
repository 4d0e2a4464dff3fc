#pragma once

// Which folder holds the settings file zandreth.ini.
//
// A portable copy keeps it beside the program: when the program's folder has
// a zandreth.ini and the user may write to that folder, that folder is the
// one. Otherwise (a copy installed for every user, say /usr/bin/zandreth)
// each user has a folder of their own, $XDG_CONFIG_HOME/zandreth, or
// ~/.config/zandreth when XDG_CONFIG_HOME is unset, empty or not an absolute
// path. On first use the catalogue installed with the program
// (<program folder>/../share/zandreth/zandreth.ini, or else the read-only
// zandreth.ini beside the program) is copied there; a zandreth.ini that is
// already there is never replaced.
//
// On Windows the same rule applies with the user's application-data folder:
// a program whose folder has a zandreth.ini and may be written keeps it
// there; otherwise (a screen saver in the system folder, say) the settings
// live in %APPDATA%\Zandreth, whose zandreth.ini is copied from the one
// beside the program on first use.

#include "platform/file_replace.h"

#include <string>

namespace platform {

// The parts of the environment the choice depends on.
struct UserFolders {
    std::string configHome; // $XDG_CONFIG_HOME, empty when unset
    std::string home;       // $HOME, or the account's home folder when unset
    // %APPDATA% on Windows, empty elsewhere; when set, it alone decides.
    std::string appData = {};
};

// The operating system's conventions for them (platform/posix/ or
// platform/win32/).
UserFolders userFoldersFromEnvironment();

// The path of the file `name` in `folder`, written as the system writes its
// paths and shows them to the user: "/" between them on POSIX; "\" on
// Windows, where a "/" in `folder` becomes "\" as well, so that no message
// shows a path with both (platform/posix/ or platform/win32/).
std::string pathInFolder(const std::string& folder, const std::string& name);

// The settings folder for a program in `programFolder`, without a trailing
// separator. Creates the user's folder and copies the installed catalogue
// into it when it has none. A copy that fails leaves no zandreth.ini behind
// (never half of one), so the program then reports the missing file as it
// does for any missing catalogue; `copyFailure` tells why the folder could
// not be made or the copy not be written (cause None when nothing failed,
// nothing was copied, or nothing was there to copy).
std::string chooseSettingsFolder(const std::string& programFolder, const UserFolders& user,
                                 FileReplaceFailure& copyFailure);
std::string chooseSettingsFolder(const std::string& programFolder, const UserFolders& user);

} // namespace platform
