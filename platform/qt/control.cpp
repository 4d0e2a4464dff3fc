#include "platform/control.h"

#include "platform/qt/control_impl.h"

#include <QApplication>
#include <QImage>
#include <QPalette>

#include <cmath>

namespace platform {

ControlImpl::ControlImpl(Container& owner, QWidget* control)
    : container(owner)
    , widget(control)
{
}

ControlImpl::~ControlImpl()
{
    delete widget.data();
}

void ControlImpl::applyGeometry()
{
    if (!widget)
        return;
    int x = container.toPixels(left);
    int y = container.toPixels(top);
    int w = std::max(0, container.toPixels(width));
    int h = std::max(0, container.toPixels(height));
    widget->setGeometry(x, y, w, h);
    sizeChanged();
}

QColor colourFromValue(Colour value)
{
    if (value & 0x80000000u) {
        QPalette palette = QApplication::palette();
        switch (value & 0xFF) {
        case 0x08:
            return palette.color(QPalette::WindowText);
        case 0x0F:
            return palette.color(QPalette::Button);
        case 0x05:
            return palette.color(QPalette::Base);
        default:
            return palette.color(QPalette::Window);
        }
    }
    return QColor(int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF));
}

QFont qtFont(const Font& font)
{
    QFont result(QString::fromStdString(font.name));
    result.setPointSizeF(font.size);
    result.setBold(font.bold);
    return result;
}

Control::Control(Container& container, std::unique_ptr<ControlImpl> impl)
    : impl_(std::move(impl))
{
    auto& form = container.form();
    form.formImpl().controls.push_back(this);
    if (impl_->widget) {
        impl_->widget->setParent(container.containerImpl().host);
        impl_->widget->setFocusPolicy(Qt::NoFocus);
        impl_->widget->show();
    }
}

Control::~Control()
{
    auto& controls = impl_->container.form().formImpl().controls;
    std::erase(controls, this);
}

float Control::left() const { return impl_->left; }
float Control::top() const { return impl_->top; }
float Control::width() const { return impl_->width; }
float Control::height() const { return impl_->height; }

void Control::setLeft(float value)
{
    impl_->left = value;
    impl_->applyGeometry();
}

void Control::setTop(float value)
{
    impl_->top = value;
    impl_->applyGeometry();
}

void Control::setWidth(float value)
{
    impl_->width = value;
    impl_->applyGeometry();
}

void Control::setHeight(float value)
{
    impl_->height = value;
    impl_->applyGeometry();
}

void Control::move(float left, float top, float width, float height)
{
    impl_->left = left;
    impl_->top = top;
    impl_->width = width;
    impl_->height = height;
    impl_->applyGeometry();
}

bool Control::visible() const { return impl_->visible; }

void Control::setVisible(bool value)
{
    impl_->visible = value;
    if (impl_->widget)
        impl_->widget->setVisible(value);
}

bool Control::enabled() const
{
    return impl_->widget ? impl_->widget->isEnabled() : true;
}

void Control::setEnabled(bool value)
{
    if (impl_->widget)
        impl_->widget->setEnabled(value);
}

void Control::setFont(const Font& font)
{
    if (impl_->widget)
        impl_->widget->setFont(qtFont(font));
}

void Control::setForeColor(Colour colour)
{
    if (!impl_->widget)
        return;
    QPalette palette = impl_->widget->palette();
    palette.setColor(QPalette::WindowText, colourFromValue(colour));
    palette.setColor(QPalette::Text, colourFromValue(colour));
    palette.setColor(QPalette::ButtonText, colourFromValue(colour));
    impl_->widget->setPalette(palette);
}

void Control::setBackColor(Colour colour)
{
    if (!impl_->widget)
        return;
    QPalette palette = impl_->widget->palette();
    palette.setColor(QPalette::Window, colourFromValue(colour));
    impl_->widget->setPalette(palette);
    impl_->widget->setAutoFillBackground(true);
}

void Control::setToolTipText(const std::string& text)
{
    impl_->toolTip = text;
    if (impl_->widget)
        impl_->widget->setToolTip(QString::fromStdString(text));
}

const std::string& Control::toolTipText() const { return impl_->toolTip; }

int Control::tabIndex() const { return impl_->tabIndex; }

void Control::setTabIndex(int index)
{
    impl_->tabIndex = index;
}

void Control::setFocus()
{
    if (impl_->widget)
        impl_->widget->setFocus(Qt::OtherFocusReason);
}

bool Control::hasFocus() const
{
    return impl_->widget && impl_->widget->hasFocus();
}

void Control::bringToFront()
{
    if (impl_->widget)
        impl_->widget->raise();
}

Container& Control::container() const { return impl_->container; }

std::vector<std::vector<uint32_t>> Control::pixelsForTesting() const
{
    std::vector<std::vector<uint32_t>> rows;
    if (!impl_->widget)
        return rows;
    QImage image = impl_->widget->grab().toImage().convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const uint32_t*>(image.constScanLine(y));
        rows.emplace_back(line, line + image.width());
    }
    return rows;
}

} // namespace platform
