#include "platform/forms/image.h"

#include "platform/forms/form.h"
#include "platform/forms/runtime.h"
#include "platform/runtime/runtime_error.h"

#include <cstddef>
#include <string>

namespace platform {

Image::Image(Container& container)
    : Control(container, backend::ControlKind::Image)
{
}

void Image::setPicture(const std::string& resourceName)
{
    auto size = native().setPicture(resourceName);
    picture_ = {};
    pictureRead_ = false;
    pictureWidth_ = size.width;
    pictureHeight_ = size.height;
    takeSize(size.width, size.height);
}

void Image::rescale()
{
    Control::rescale();
    picture_ = {};
    pictureRead_ = false;
}

const PixelPicture& Image::picturePixels()
{
    if (!pictureRead_) {
        picture_ = native().picturePixels();
        pictureRead_ = true;
    }
    return picture_;
}

void Image::setPixels(const PixelPicture& picture)
{
    if (picture.width < 0 || picture.height < 0
        || picture.pixels.size() != static_cast<std::size_t>(picture.width) * static_cast<std::size_t>(picture.height))
        throw RuntimeError(RuntimeErrorKind::Other,
                           "a picture of " + std::to_string(picture.width) + " x " + std::to_string(picture.height)
                               + " pixels given " + std::to_string(picture.pixels.size()) + " pixels");
    // The native picture is read before it is first replaced, so that the
    // picture's own pixels stay at hand.
    const PixelPicture& own = picturePixels();
    native().setPicturePixels(picture);
    if (picture.width == own.width && picture.height == own.height)
        takeSize(pictureWidth_, pictureHeight_);
    else
        takeSize(picture.width, picture.height);
}

void Image::takeSize(int width, int height)
{
    move(left(), top(), container().fromPicturePixels(width), container().fromPicturePixels(height));
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
