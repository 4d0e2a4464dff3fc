#pragma once

#include <string>

namespace zandreth {

// The program directory, exactly as App.Path gives it (no trailing
// separator), recorded as the first step of start-up.
extern std::string AppPath;

} // namespace zandreth
