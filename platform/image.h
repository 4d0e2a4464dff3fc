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
};

} // namespace platform
