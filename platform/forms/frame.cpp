#include "platform/forms/frame.h"

namespace platform {

Frame::Frame(Container& container)
    : Control(container, backend::ControlKind::Frame)
    , Container(container.form(), container.scaleMode())
{
    setNativeHost(native());
}

const std::string& Frame::caption() const { return caption_; }

void Frame::setCaption(const std::string& text)
{
    caption_ = text;
    native().setText(text);
}

} // namespace platform
