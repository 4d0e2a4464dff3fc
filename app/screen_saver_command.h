#pragma once

// The command line Windows gives a screen saver, read into what the program
// does with it. The mode is decided by the first two characters, upper-cased,
// whatever follows them:
//   "/S"                           run mode
//   "/C", "/C:HWND", "/C HWND"     the settings dialog, owned by window HWND
//                                  when one is given
//   "/P HWND" (or "/P:HWND")       preview: the program ends at once
//   anything else, the empty text  the settings dialog, without an owner
// HWND is the window's number in decimal, as Windows writes it; text that is
// not one gives no owner and changes nothing else.

#include <cstdint>
#include <optional>
#include <string>

namespace zandreth {

enum class ScreenSaverMode { Run, Configure, Preview };

struct ScreenSaverCommand {
    ScreenSaverMode mode = ScreenSaverMode::Configure;
    // The window "/C" or "/P" names, when it names one.
    std::optional<uint64_t> window;

    bool operator==(const ScreenSaverCommand&) const = default;
};

ScreenSaverCommand ParseScreenSaverCommand(const std::string& command);

} // namespace zandreth
