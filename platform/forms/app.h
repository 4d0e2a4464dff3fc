#pragma once

// Application information and the screen, as the forms runtime gives them.

#include "platform/system/file_replace.h"

#include <cstdint>
#include <string>

namespace platform {

class Application {
public:
    // The program's folder as the settings file sees it, without a trailing
    // separator: the folder beside the program for a portable copy, else the
    // user's own settings folder (see settings_folder.h).
    std::string path() const;
    // Why the last call of path() could not give the user's new settings
    // folder its copy of the installed catalogue (see settings_folder.h);
    // cause None when nothing failed.
    FileReplaceFailure settingsCopyFailure() const;
    // True when another instance of this program is running for the same
    // settings folder, so for the same user of an installed copy. The first
    // call takes the instance lock (held until the process ends, released by
    // the system even when the process crashes); later calls give the same
    // answer.
    bool prevInstance() const;
    std::string title() const;
    int16_t major() const;
    int16_t minor() const;
    int16_t revision() const;
};

extern Application App;

// The command-line tail: the arguments after the program name, joined by
// blanks.
std::string Command();

class ScreenInfo {
public:
    // The screen's size in twips.
    float width() const;
    float height() const;
};

extern ScreenInfo Screen;

} // namespace platform
