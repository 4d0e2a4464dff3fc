#pragma once

// The running program as the operating system sees it: the folder its
// executable lies in and its command line. platform/system/posix/ asks the kernel
// for the executable and joins the arguments main received; platform/system/win32/
// asks the system for both, the command line as it was written.

#include <string>
#include <vector>

namespace platform::system {

// The folder the program's executable lies in, links resolved, without a
// trailing separator; "." when the system cannot say. `arguments` are those
// main received: the program's name, the first, stands in for the
// executable where the system does not name it.
std::string programFolder(const std::vector<std::string>& arguments);

// The arguments after the program's name, joined by blanks, as UTF-8.
// `arguments` are those main received, less the options the toolkit took
// for itself; a system that keeps the command line as it was written
// (Windows) reads it from there.
std::string commandTail(const std::vector<std::string>& arguments);

// What the program is asked to print on its command line without opening a
// window, as programs of the system answer it. POSIX: the first "--help" or
// "--version" among the arguments after the program's name. Windows starts
// a screen saver with its own switches and has no such convention: there
// these are text like any other (the settings dialog), and none is asked.
enum class InformationRequest { None, Help, Version };
InformationRequest informationRequested(const std::vector<std::string>& arguments);

} // namespace platform::system
