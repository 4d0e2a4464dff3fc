#pragma once

// Text is UTF-8 inside the program and UTF-16 at the Win32 calls: the
// conversions at that border, and the system's errors in the program's terms.

#include <string>
#include <string_view>

namespace platform::win32 {

// UTF-8 to UTF-16 and back. Malformed UTF-8 is converted with the
// replacement character, so a path that is not UTF-8 names no file rather
// than another one.
std::wstring widen(std::string_view utf8);
std::string narrow(std::wstring_view utf16);

// The C library's error number that stands for a Win32 error code, as the
// platform's callers read errors (ENOENT, EACCES, EISDIR, ENOSPC, ...; EIO
// for the rest).
int errnoOf(unsigned long win32Error);

// The system's own words for a Win32 error code, without the final period
// and line break.
std::string systemMessage(unsigned long win32Error);

} // namespace platform::win32
