#pragma once

// The window a screen-saver host gives the program by its X id
// (xscreensaver's -window-id): whether it exists, and its size.

#include <cstdint>

struct xcb_connection_t;

namespace platform::x11 {

struct HostWindow {
    uint32_t id = 0;
    int width = 0;
    int height = 0;
};

// The window `windowId` names (0: the screen's root window) and its size. A
// window that does not exist is a run-time error.
HostWindow findHostWindow(xcb_connection_t* connection, uint64_t windowId);

// The window's size now; 0 x 0 once it has been destroyed.
HostWindow hostWindowNow(xcb_connection_t* connection, uint32_t window);

} // namespace platform::x11
