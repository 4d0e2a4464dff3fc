#pragma once

#include "platform/forms/control.h"
#include "platform/forms/mouse.h"
#include "platform/forms/pixel_picture.h"

#include <string>

namespace platform {

// A picture shown at its own size (no stretching, no border).
class Image : public Control {
public:
    explicit Image(Container& container);

    // A picture compiled into the program, by name ("map"); the control takes
    // the picture's size.
    void setPicture(const std::string& resourceName);

    // The pixels of the picture setPicture showed, whatever setPixels has
    // shown since.
    const PixelPicture& picturePixels();
    // Shows `picture` in place of the picture, at its own size; the control
    // takes that size. A picture whose pixels are not width x height is the
    // run-time error 5.
    void setPixels(const PixelPicture& picture);

    MouseHandler onMouseMove;
    MouseHandler onMouseDown;

private:
    void nativeMouseDown(int16_t button, int16_t shift, int x, int y) override;
    void nativeMouseMove(int16_t button, int16_t shift, int x, int y, int screenX, int screenY) override;
    void raise(const MouseHandler& handler, int16_t button, int16_t shift, int x, int y);
    void takeSize(int width, int height);

    // Read from the native picture once, on the first call of picturePixels.
    PixelPicture picture_;
    bool pictureRead_ = false;
};

} // namespace platform
