#include "app/host_window.h"

#include "platform/runtime/runtime_error.h"
#include "platform/runtime/text_functions.h"

#include <charconv>
#include <sstream>
#include <vector>

namespace zandreth {

namespace {

uint64_t windowId(const std::string& text, const std::string& where)
{
    std::string digits = text;
    int base = 10;
    if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) {
        digits = digits.substr(2);
        base = 16;
    }
    uint64_t id = 0;
    auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), id, base);
    if (digits.empty() || error != std::errc() || end != digits.data() + digits.size() || id == 0
        || id > UINT32_MAX)
        platform::raiseTypeMismatch("the window id \"" + text + "\" of " + where + " is not a window id");
    return id;
}

bool dialogOrPreview(const std::string& command)
{
    std::string mode = platform::UCase(platform::Left(command, 2));
    return mode == "/C" || mode == "/P";
}

std::vector<std::string> argumentsOf(const std::string& command)
{
    std::istringstream words(command);
    std::vector<std::string> arguments;
    for (std::string word; words >> word;)
        arguments.push_back(word);
    return arguments;
}

} // namespace

bool StartedByHost(const std::string& command, const char* environmentWindow)
{
    if (dialogOrPreview(command))
        return false;
    if (environmentWindow && *environmentWindow)
        return true;
    for (const std::string& argument : argumentsOf(command))
        if (argument == "--root" || argument == "-root" || argument == "--window-id" || argument == "-window-id")
            return true;
    return false;
}

std::optional<uint64_t> HostWindow(const std::string& command, const char* environmentWindow)
{
    if (dialogOrPreview(command))
        return std::nullopt;
    std::vector<std::string> arguments = argumentsOf(command);
    bool root = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--root" || argument == "-root") {
            root = true;
        } else if (argument == "--window-id" || argument == "-window-id") {
            if (i + 1 == arguments.size())
                platform::raiseTypeMismatch(argument + " needs a window id");
            return windowId(arguments[i + 1], argument);
        }
    }
    if (environmentWindow && *environmentWindow)
        return windowId(environmentWindow, "XSCREENSAVER_WINDOW");
    if (root)
        return 0;
    return std::nullopt;
}

} // namespace zandreth
