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

// What an id names: nothing, a window (and its size), or a pixmap, which
// has a size too but cannot show anything.
enum class HostKind { None, Window, Pixmap };
struct HostLookup {
    HostKind kind = HostKind::None;
    HostWindow window;
};

// What `windowId` names (0: the screen's root window).
HostLookup lookUpHostWindow(xcb_connection_t* connection, uint64_t windowId);

// The window `windowId` names (0: the screen's root window) and its size. An
// id that names no window, or a pixmap, is a run-time error.
HostWindow findHostWindow(xcb_connection_t* connection, uint64_t windowId);

// The window's size now; 0 x 0 once it has been destroyed.
HostWindow hostWindowNow(xcb_connection_t* connection, uint32_t window);

} // namespace platform::x11
