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

} // namespace platform::system
