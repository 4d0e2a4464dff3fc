#pragma once

// What a toolkit backend implements for the platform's toolkit-neutral code
// (platform/qt/ on Qt Widgets). The platform's rules live in the neutral
// code and call a backend only to carry out what the window system must do.

#include <string>

namespace platform::backend {

// Hides the mouse pointer over every window of the program, or shows it
// again.
void setPointerHidden(bool hidden);

// The folder the program's executable lies in.
std::string programFolder();

// The command-line arguments after the program's name, joined by blanks.
std::string commandTail();

} // namespace platform::backend
