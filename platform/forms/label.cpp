#include "platform/forms/label.h"

#include "platform/forms/container.h"

namespace platform {

Label::Label(Container& container)
    : Control(container, backend::ControlKind::Label)
{
}

const std::string& Label::caption() const { return caption_; }

void Label::setCaption(const std::string& text)
{
    if (caption_ == text)
        return;
    caption_ = text;
    native().setText(text);
    if (autoSize_)
        fitToCaption();
}

bool Label::autoSize() const { return autoSize_; }

void Label::setAutoSize(bool value)
{
    autoSize_ = value;
    if (value)
        fitToCaption();
}

void Label::fitToCaption()
{
    auto extent = native().textExtent();
    move(left(), top(), container().fromPixels(extent.width), container().fromPixels(extent.height));
}

void Label::rescale()
{
    Control::rescale();
    if (autoSize_)
        fitToCaption();
}

void Label::setAlignment(Alignment alignment) { native().setAlignment(alignment); }
void Label::setWordWrap(bool wrap) { native().setWordWrap(wrap); }

} // namespace platform
