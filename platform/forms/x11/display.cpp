#include "platform/forms/x11/display.h"

#include <xcb/xcb.h>

namespace platform::x11 {

bool displayOpens(const std::string& name)
{
    xcb_connection_t* connection = xcb_connect(name.empty() ? nullptr : name.c_str(), nullptr);
    bool opened = xcb_connection_has_error(connection) == 0;
    xcb_disconnect(connection);
    return opened;
}

} // namespace platform::x11
