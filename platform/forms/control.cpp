#include "platform/forms/control.h"

#include "platform/forms/container.h"
#include "platform/forms/form.h"

#include <algorithm>

namespace platform {

Control::Control(Container& container, backend::ControlKind kind)
    : container_(container)
    , kind_(kind)
    , native_(backend::createControl(kind, container.nativeHost(), *this))
{
    container.form().controls_.push_back(this);
}

Control::~Control()
{
    std::erase(container_.form().controls_, this);
}

void Control::applyGeometry()
{
    native_->setGeometry({ container_.toPixels(left_), container_.toPixels(top_),
                           std::max(0, container_.toPixels(width_)), std::max(0, container_.toPixels(height_)) });
}

float Control::left() const { return left_; }
float Control::top() const { return top_; }
float Control::width() const { return width_; }
float Control::height() const { return height_; }

void Control::setLeft(float value)
{
    left_ = value;
    applyGeometry();
}

void Control::setTop(float value)
{
    top_ = value;
    applyGeometry();
}

void Control::setWidth(float value)
{
    width_ = value;
    applyGeometry();
}

void Control::setHeight(float value)
{
    height_ = value;
    applyGeometry();
}

void Control::move(float left, float top, float width, float height)
{
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    applyGeometry();
}

bool Control::visible() const { return visible_; }

void Control::setVisible(bool value)
{
    visible_ = value;
    native_->setVisible(value);
}

// A control in a disabled frame is disabled too.
bool Control::enabled() const
{
    return enabled_ && container_.enablesControls();
}

void Control::setEnabled(bool value)
{
    enabled_ = value;
    native_->setEnabled(value);
}

void Control::setFont(const Font& font)
{
    font_ = font;
    native_->setFont(container_.deviceFont(font));
}

void Control::rescale()
{
    if (font_)
        native_->setFont(container_.deviceFont(*font_));
    applyGeometry();
}
void Control::setForeColor(Colour colour) { native_->setForeColor(colour); }
void Control::setBackColor(Colour colour) { native_->setBackColor(colour); }

void Control::setToolTipText(const std::string& text)
{
    toolTip_ = text;
    native_->setToolTip(text);
}

const std::string& Control::toolTipText() const { return toolTip_; }

int Control::tabIndex() const { return tabIndex_; }
void Control::setTabIndex(int index) { tabIndex_ = index; }

void Control::setFocus() { native_->setFocus(false); }
bool Control::hasFocus() const { return native_->hasFocus(); }
void Control::bringToFront() { native_->raise(); }

Container& Control::container() const { return container_; }

bool Control::takesFocus() const { return backend::takesFocus(kind_); }

bool Control::shownInForm() const
{
    return visible_ && container_.showsControls();
}

} // namespace platform
