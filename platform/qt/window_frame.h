#pragma once

// What the window manager does around a top-level window: the frame it adds
// and whether the task bar lists the window. Qt learns a window's frame only
// once the window is on the screen, too late for a form that places itself
// from its outer size while it loads.

#include <QMargins>

class QWidget;

namespace platform {

// The frame the window manager will put around `window`, which is not shown
// yet: asks it (_NET_REQUEST_FRAME_EXTENTS) and waits briefly for the answer.
// No margins when no window manager runs, or it does not say.
QMargins expectedFrameMargins(QWidget& window);

// Keeps `window` out of the task bar (_NET_WM_STATE_SKIP_TASKBAR). Called
// before the window is first shown.
void keepOutOfTaskbar(QWidget& window);

} // namespace platform
