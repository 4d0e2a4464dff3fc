#pragma once

// A picture shown in a window that may be smaller than the picture (the
// preview pane of a screen-saver host): scaled down to fit, keeping its
// aspect ratio, and centred. A window large enough for the whole picture
// shows it at its own size, centred; a picture is never scaled up.

#include "platform/forms/backend.h"

namespace platform {

// The window is narrower or lower than the picture: the picture is shown
// scaled down.
bool pictureScaledDown(int pictureWidth, int pictureHeight, int windowWidth, int windowHeight);

// Where the picture goes in the window, in the window's pixels.
backend::PixelRect scaledPictureArea(int pictureWidth, int pictureHeight, int windowWidth, int windowHeight);

} // namespace platform
