#pragma once

// How the program's executable is found on POSIX when the kernel does not
// name it, on its own so that it can be checked with names and search paths
// of a test's choosing.

#include <string>
#include <string_view>

namespace platform::system {

// The executable file that a program's name stands for, links resolved;
// empty when there is none. A name with a slash is a path (from the current
// folder when relative); a plain name is looked up in the folders of
// `searchPath` (PATH: separated by colons, an empty one the current folder),
// as the shell did to start it.
std::string executableNamed(const std::string& name, std::string_view searchPath);

} // namespace platform::system
