#include "platform/forms/x11/display.h"

#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>
#include <sstream>

namespace platform::x11 {

bool displayOpens(const std::string& name)
{
    xcb_connection_t* connection = xcb_connect(name.empty() ? nullptr : name.c_str(), nullptr);
    bool opened = xcb_connection_has_error(connection) == 0;
    xcb_disconnect(connection);
    return opened;
}

std::optional<double> resourceDotsPerInch(const std::string& name)
{
    int screenNumber = 0;
    xcb_connection_t* connection = xcb_connect(name.empty() ? nullptr : name.c_str(), &screenNumber);
    std::unique_ptr<xcb_connection_t, decltype(&xcb_disconnect)> owned(connection, &xcb_disconnect);
    if (xcb_connection_has_error(connection) != 0)
        return std::nullopt;
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection));
    for (int i = 0; i < screenNumber && screens.rem > 0; ++i)
        xcb_screen_next(&screens);
    if (screens.rem == 0)
        return std::nullopt;
    // The resources are a text of "name:\tvalue" lines, a few kilobytes.
    constexpr uint32_t kLongs = 1 << 16;
    xcb_get_property_cookie_t cookie = xcb_get_property(connection, 0, screens.data->root, XCB_ATOM_RESOURCE_MANAGER,
                                                        XCB_ATOM_STRING, 0, kLongs);
    std::unique_ptr<xcb_get_property_reply_t, decltype(&std::free)> reply(
        xcb_get_property_reply(connection, cookie, nullptr), &std::free);
    if (!reply || reply->format != 8)
        return std::nullopt;
    std::string resources(static_cast<const char*>(xcb_get_property_value(reply.get())),
                          static_cast<std::size_t>(xcb_get_property_value_length(reply.get())));
    std::istringstream lines(resources);
    std::string line;
    const std::string key = "Xft.dpi:";
    while (std::getline(lines, line)) {
        if (line.rfind(key, 0) != 0)
            continue;
        std::istringstream value(line.substr(key.size()));
        double dpi = 0;
        if (value >> dpi && dpi > 0)
            return dpi;
        return std::nullopt;
    }
    return std::nullopt;
}

} // namespace platform::x11
