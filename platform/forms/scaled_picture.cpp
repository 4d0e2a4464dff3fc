#include "platform/forms/scaled_picture.h"

#include <cstdint>

namespace platform {

bool pictureScaledDown(int pictureWidth, int pictureHeight, int windowWidth, int windowHeight)
{
    return windowWidth < pictureWidth || windowHeight < pictureHeight;
}

backend::PixelRect scaledPictureArea(int pictureWidth, int pictureHeight, int windowWidth, int windowHeight)
{
    int width = pictureWidth;
    int height = pictureHeight;
    if (pictureScaledDown(pictureWidth, pictureHeight, windowWidth, windowHeight)) {
        if (pictureWidth == 0 || pictureHeight == 0) {
            // No shape to keep: the picture takes the window.
            width = windowWidth;
            height = windowHeight;
        } else {
            // The window's whole height, unless the width that goes with it
            // does not fit; then the window's whole width. Pixels that do
            // not come out whole are dropped.
            int64_t widthAtFullHeight = int64_t { windowHeight } * pictureWidth / pictureHeight;
            if (widthAtFullHeight <= windowWidth) {
                width = static_cast<int>(widthAtFullHeight);
                height = windowHeight;
            } else {
                width = windowWidth;
                height = static_cast<int>(int64_t { windowWidth } * pictureHeight / pictureWidth);
            }
        }
    }
    return { (windowWidth - width) / 2, (windowHeight - height) / 2, width, height };
}

} // namespace platform
