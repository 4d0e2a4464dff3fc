#pragma once

// Whether an X display can be opened, asked before the toolkit opens it:
// Qt ends the process itself when it cannot.

#include <string>

namespace platform::x11 {

// True when a connection to the X display `name` (empty: the one DISPLAY
// names) can be opened; the connection is closed again.
bool displayOpens(const std::string& name);

} // namespace platform::x11
