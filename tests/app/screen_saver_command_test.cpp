// The command lines Windows gives a screen saver, and what each one asks of
// the program: the mode from the first two characters, and the window that
// "/C" or "/P" names.

#include "app/screen_saver_command.h"

#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>

namespace zandreth {

void PrintTo(const ScreenSaverCommand& command, std::ostream* out)
{
    static const char* const kModes[] = { "Run", "Configure", "Preview" };
    *out << kModes[static_cast<int>(command.mode)];
    if (command.window)
        *out << " owned by " << *command.window;
}

} // namespace zandreth

namespace {

using zandreth::ScreenSaverMode;

struct Case {
    std::string command;
    ScreenSaverMode mode;
    std::optional<uint64_t> window;
};

TEST(ScreenSaverCommand, EachCommandLineGivesItsModeAndWindow)
{
    const Case cases[] = {
        // Run mode, whatever follows the switch.
        { "/s", ScreenSaverMode::Run, std::nullopt },
        { "/S", ScreenSaverMode::Run, std::nullopt },
        { "/S 1234", ScreenSaverMode::Run, std::nullopt },
        { "/s:1234", ScreenSaverMode::Run, std::nullopt },
        { "/Sx", ScreenSaverMode::Run, std::nullopt },
        // The settings dialog, owned by the window given in either form.
        { "/c", ScreenSaverMode::Configure, std::nullopt },
        { "/C", ScreenSaverMode::Configure, std::nullopt },
        { "/c:1234", ScreenSaverMode::Configure, 1234 },
        { "/C:65940", ScreenSaverMode::Configure, 65940 },
        { "/c 1234", ScreenSaverMode::Configure, 1234 },
        { "/c   1234  ", ScreenSaverMode::Configure, 1234 },
        { "/c:4294967295", ScreenSaverMode::Configure, 4294967295u },
        // A window that is not a number is no owner; the dialog still opens.
        { "/c:", ScreenSaverMode::Configure, std::nullopt },
        { "/c ", ScreenSaverMode::Configure, std::nullopt },
        { "/c:abc", ScreenSaverMode::Configure, std::nullopt },
        { "/c:12ab", ScreenSaverMode::Configure, std::nullopt },
        { "/c:-5", ScreenSaverMode::Configure, std::nullopt },
        { "/c:0", ScreenSaverMode::Configure, std::nullopt },
        { "/c:0x10", ScreenSaverMode::Configure, std::nullopt },
        { "/c:99999999999999999999", ScreenSaverMode::Configure, std::nullopt },
        { "/c1234", ScreenSaverMode::Configure, std::nullopt },
        // Preview ends at once; the window it names is read all the same.
        { "/p 1234", ScreenSaverMode::Preview, 1234 },
        { "/P:1234", ScreenSaverMode::Preview, 1234 },
        { "/p", ScreenSaverMode::Preview, std::nullopt },
        // Anything else opens the dialog without an owner.
        { "", ScreenSaverMode::Configure, std::nullopt },
        { "-s", ScreenSaverMode::Configure, std::nullopt },
        { "s", ScreenSaverMode::Configure, std::nullopt },
        { " /s", ScreenSaverMode::Configure, std::nullopt },
        { "/x 1234", ScreenSaverMode::Configure, std::nullopt },
        { "/", ScreenSaverMode::Configure, std::nullopt },
        { "--root", ScreenSaverMode::Configure, std::nullopt },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("command line \"" + c.command + "\"");
        EXPECT_EQ(zandreth::ParseScreenSaverCommand(c.command), (zandreth::ScreenSaverCommand { c.mode, c.window }));
    }
}

} // namespace
