#include "platform/forms/line.h"

#include "platform/forms/container.h"

#include <algorithm>

namespace platform {

Line::Line(Container& container)
    : Control(container, backend::ControlKind::Line)
{
}

// Only horizontal rules are drawn: the control spans the line's length and
// its pen's width.
void Line::setPoints(float x1, float y1, float x2, float y2)
{
    float onePixel = container().fromPixels(1);
    move(std::min(x1, x2), std::min(y1, y2), std::max(x1, x2) - std::min(x1, x2) + onePixel,
         std::max(onePixel * static_cast<float>(penWidth_), std::max(y1, y2) - std::min(y1, y2)));
}

void Line::setBorderColor(Colour colour)
{
    colour_ = colour;
    native().setLineStyle(colour_, penWidth_);
}

void Line::setBorderWidth(int pixels)
{
    penWidth_ = std::max(1, pixels);
    native().setLineStyle(colour_, penWidth_);
    setHeight(std::max(height(), container().fromPixels(penWidth_)));
}

} // namespace platform
