#pragma once

// What the program asks an X display before the toolkit opens it: whether
// it can be opened (Qt ends the process itself when it cannot), and the
// resolution the desktop set for its programs.

#include <optional>
#include <string>

namespace platform::x11 {

// True when a connection to the X display `name` (empty: the one DISPLAY
// names) can be opened; the connection is closed again.
bool displayOpens(const std::string& name);

// The resolution in the display's resources (Xft.dpi, which GNOME and KDE
// set: 192 at 200 %), none where it has none or cannot be opened.
std::optional<double> resourceDotsPerInch(const std::string& name);

} // namespace platform::x11
