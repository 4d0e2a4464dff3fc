#include "platform/image.h"

#include "platform/form.h"
#include "platform/runtime.h"

namespace platform {

Image::Image(Container& container)
    : Control(container, backend::ControlKind::Image)
{
}

void Image::setPicture(const std::string& resourceName)
{
    auto size = native().setPicture(resourceName);
    move(left(), top(), container().fromPixels(size.width), container().fromPixels(size.height));
}

void Image::nativeMouseDown(int16_t button, int16_t shift, int x, int y) { raise(onMouseDown, button, shift, x, y); }
// A move of the pointer by the rule of the form (Form::pointerMovedTo): the
// form and its picture share the pointer's last position.
void Image::nativeMouseMove(int16_t button, int16_t shift, int x, int y, int screenX, int screenY)
{
    if (container().form().pointerMovedTo(screenX, screenY))
        raise(onMouseMove, button, shift, x, y);
}

void Image::raise(const MouseHandler& handler, int16_t button, int16_t shift, int x, int y)
{
    if (!handler || !container().form().loaded())
        return;
    float unitsX = container().fromPixels(x);
    float unitsY = container().fromPixels(y);
    Runtime::current().deliver([&] { handler(button, shift, unitsX, unitsY); });
}

} // namespace platform
