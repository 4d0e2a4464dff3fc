#pragma once

// Screen-saver hosts on X11 (xscreensaver) start the program with a window
// to draw in: the environment variable XSCREENSAVER_WINDOW holds its id, or
// the command line says "--root" / "-root" (the screen's root window, unless
// XSCREENSAVER_WINDOW names another) or "--window-id ID" / "-window-id ID".
// An ID is decimal or hexadecimal with "0x".

#include <cstdint>
#include <optional>
#include <string>

namespace zandreth {

// Whether a host started the program: one of the switches, or
// XSCREENSAVER_WINDOW set, and neither "/C" nor "/P". Its window id may
// still be no window id (HostWindow says so).
bool StartedByHost(const std::string& command, const char* environmentWindow);

// The window the program was given (0: the root window), or nothing when no
// host started it. The switches "/C" and "/P" keep their own meaning even
// under a host. A window id that is not one is a type-mismatch error.
std::optional<uint64_t> HostWindow(const std::string& command, const char* environmentWindow);

} // namespace zandreth
