#pragma once

// What "zandreth --help" prints on Linux: the switches, the screen-saver
// host's ones included, and where the settings file lives. Windows knows no
// "--help": there it is text like any other and opens the settings dialog.

#include <string>

namespace zandreth {

std::string CommandLineHelp();

} // namespace zandreth
