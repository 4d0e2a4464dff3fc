#pragma once

// How the command line that Windows keeps for the program is read, on its
// own so that it can be checked with command lines of a test's choosing.

#include <string>
#include <string_view>

namespace platform::win32 {

// What follows the program's name on a command line as Windows writes it
// (the name quoted or not), without the blanks between them.
std::wstring commandTailOf(std::wstring_view commandLine);

} // namespace platform::win32
