#include "platform/forms/x11/host_window.h"

#include "platform/runtime/runtime_error.h"

#include <xcb/xcb.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace platform::x11 {

namespace {

std::string windowName(uint64_t window)
{
    char text[32];
    std::snprintf(text, sizeof text, "0x%llx", static_cast<unsigned long long>(window));
    return text;
}

} // namespace

HostWindow hostWindowNow(xcb_connection_t* connection, uint32_t window)
{
    xcb_generic_error_t* error = nullptr;
    xcb_get_geometry_reply_t* reply
        = xcb_get_geometry_reply(connection, xcb_get_geometry(connection, window), &error);
    std::free(error);
    if (!reply)
        return { window, 0, 0 };
    HostWindow host { window, reply->width, reply->height };
    std::free(reply);
    return host;
}

HostLookup lookUpHostWindow(xcb_connection_t* connection, uint64_t windowId)
{
    uint32_t target = static_cast<uint32_t>(windowId);
    if (windowId == 0) {
        xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection));
        target = screens.data ? screens.data->root : 0;
    }
    HostWindow host = windowId <= UINT32_MAX && target != 0 ? hostWindowNow(connection, target) : HostWindow {};
    if (host.width <= 0 || host.height <= 0)
        return {};
    // Only a window has attributes; a pixmap has a size as well.
    xcb_generic_error_t* error = nullptr;
    xcb_get_window_attributes_reply_t* attributes
        = xcb_get_window_attributes_reply(connection, xcb_get_window_attributes(connection, target), &error);
    std::free(error);
    if (!attributes)
        return { HostKind::Pixmap, host };
    std::free(attributes);
    return { HostKind::Window, host };
}

HostWindow findHostWindow(xcb_connection_t* connection, uint64_t windowId)
{
    HostLookup found = lookUpHostWindow(connection, windowId);
    if (found.kind == HostKind::None)
        throw RuntimeError(RuntimeErrorKind::Other,
                           "the screen saver's window " + windowName(windowId) + " does not exist");
    if (found.kind == HostKind::Pixmap)
        throw RuntimeError(RuntimeErrorKind::Other,
                           "the screen saver's window " + windowName(windowId) + " is a pixmap, not a window");
    return found.window;
}

} // namespace platform::x11
