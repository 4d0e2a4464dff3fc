#pragma once

#include "platform/forms/control.h"
#include "platform/forms/mouse.h"
#include "platform/forms/pixel_picture.h"

#include <string>

namespace platform {

// A picture shown at its own size (no stretching, no border): its pixels are
// logical pixels, drawn at the form's scale.
class Image : public Control {
public:
    explicit Image(Container& container);

    // A picture compiled into the program, by name ("map"); the control takes
    // the picture's size.
    void setPicture(const std::string& resourceName);

    // The pixels of the picture setPicture showed, whatever setPixels has
    // shown since: of the copy drawn at the form's scale now (the finer copy
    // of the picture where the form's pixels are larger than device pixels).
    const PixelPicture& picturePixels();
    // Shows `picture` in place of the picture, at its own size; the control
    // takes that size. Pixels of the size picturePixels has are of that
    // copy, and keep the control at the picture's size. A picture whose
    // pixels are not width x height is the run-time error 5.
    void setPixels(const PixelPicture& picture);

    MouseHandler onMouseMove;
    MouseHandler onMouseDown;

private:
    void nativeMouseDown(int16_t button, int16_t shift, int x, int y) override;
    void nativeMouseMove(int16_t button, int16_t shift, int x, int y, int screenX, int screenY) override;
    void raise(const MouseHandler& handler, int16_t button, int16_t shift, int x, int y);
    void takeSize(int width, int height);
    // The copy drawn changes with the scale: picturePixels reads anew.
    void rescale() override;

    // Read from the native picture once, on the first call of picturePixels.
    PixelPicture picture_;
    bool pictureRead_ = false;
    // The picture's size in its own pixels, as setPicture showed it.
    int pictureWidth_ = 0;
    int pictureHeight_ = 0;
};

} // namespace platform
