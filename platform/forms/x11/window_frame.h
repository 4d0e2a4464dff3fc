#pragma once

// What the X window manager does around a top-level window: the frame it
// adds and whether the task bar lists the window. A toolkit learns a
// window's frame only once the window is on the screen, too late for a form
// that places itself from its outer size while it loads.

#include <cstdint>

struct xcb_connection_t;

namespace platform::x11 {

// The width of each side of a window's frame, in pixels.
struct FrameExtents {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

// The frame the window manager will put around `window`, which is not shown
// yet: asks it (_NET_REQUEST_FRAME_EXTENTS) and waits briefly for the answer.
// No extents when no window manager runs, or it does not say.
FrameExtents expectedFrameExtents(xcb_connection_t* connection, uint32_t window);

// Keeps `window` out of the task bar (_NET_WM_STATE_SKIP_TASKBAR). Called
// before the window is first shown.
void keepOutOfTaskbar(xcb_connection_t* connection, uint32_t window);

} // namespace platform::x11
