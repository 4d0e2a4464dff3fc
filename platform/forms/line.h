#pragma once

#include "platform/forms/control.h"

namespace platform {

// A straight line from (x1, y1) to (x2, y2) in the container's units.
class Line : public Control {
public:
    explicit Line(Container& container);
    void setPoints(float x1, float y1, float x2, float y2);
    void setBorderColor(Colour colour);
    void setBorderWidth(int pixels);

private:
    Colour colour_ = 0;
    int penWidth_ = 1;
};

} // namespace platform
