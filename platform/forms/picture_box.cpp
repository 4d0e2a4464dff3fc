#include "platform/forms/picture_box.h"

#include "platform/forms/container.h"

namespace platform {

PictureBox::PictureBox(Container& container)
    : Control(container, backend::ControlKind::PictureBox)
{
}

void PictureBox::setProgramIcon()
{
    auto size = native().setProgramIcon();
    move(left(), top(), container().fromPicturePixels(size.width), container().fromPicturePixels(size.height));
}

} // namespace platform
