#pragma once

#include <string>

namespace zandreth {

// The folder of the settings file, exactly as App.Path gives it (no trailing
// separator): the program's own folder for a portable copy, else the user's
// settings folder. Recorded as the first step of start-up.
extern std::string AppPath;

} // namespace zandreth
