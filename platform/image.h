#pragma once

#include "platform/control.h"
#include "platform/mouse.h"

#include <string>

namespace platform {

// A picture shown at its own size (no stretching, no border).
class Image : public Control {
public:
    explicit Image(Container& container);

    // A picture compiled into the program, by name ("map"); the control takes
    // the picture's size.
    void setPicture(const std::string& resourceName);

    MouseHandler onMouseMove;
    MouseHandler onMouseDown;

private:
    void nativeMouseDown(int16_t button, int16_t shift, int x, int y) override;
    void nativeMouseMove(int16_t button, int16_t shift, int x, int y, int screenX, int screenY) override;
    void raise(const MouseHandler& handler, int16_t button, int16_t shift, int x, int y);
};

} // namespace platform
