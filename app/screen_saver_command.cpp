#include "app/screen_saver_command.h"

#include "platform/runtime/text_functions.h"

#include <charconv>

namespace zandreth {

namespace {

// The window number after a switch: ":" or blanks, then decimal digits, then
// nothing but blanks. A number beyond 64 bits or 0 is no window.
std::optional<uint64_t> windowAfterSwitch(const std::string& command)
{
    std::size_t at = 2;
    if (at < command.size() && command[at] == ':')
        ++at;
    else if (at == command.size() || command[at] != ' ')
        return std::nullopt;
    while (at < command.size() && command[at] == ' ')
        ++at;
    std::size_t end = command.find_last_not_of(' ') + 1;
    if (at >= end)
        return std::nullopt;
    uint64_t window = 0;
    auto [stop, error] = std::from_chars(command.data() + at, command.data() + end, window);
    if (error != std::errc() || stop != command.data() + end || window == 0)
        return std::nullopt;
    return window;
}

} // namespace

ScreenSaverCommand ParseScreenSaverCommand(const std::string& command)
{
    std::string mode = platform::UCase(platform::Left(command, 2));
    if (mode == "/S")
        return { ScreenSaverMode::Run, std::nullopt };
    if (mode == "/P")
        return { ScreenSaverMode::Preview, windowAfterSwitch(command) };
    if (mode == "/C")
        return { ScreenSaverMode::Configure, windowAfterSwitch(command) };
    return { ScreenSaverMode::Configure, std::nullopt };
}

} // namespace zandreth
