#include "platform/qt/native_control.h"

#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPalette>

namespace platform::qt {

namespace {

// Hands a control's keys and mouse to the rules; a key they use goes no
// further.
class InputForwarder : public QObject {
public:
    InputForwarder(QWidget* widget, backend::NativeEvents& events)
        : QObject(widget)
        , events_(events)
    {
        widget->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::KeyPress: {
            auto* key = static_cast<QKeyEvent*>(event);
            return events_.nativeKeyPressed(keyCodeOf(*key), shiftStateOf(key->modifiers()));
        }
        case QEvent::MouseButtonPress:
        case QEvent::MouseMove: {
            auto* mouse = static_cast<QMouseEvent*>(event);
            auto x = static_cast<int>(mouse->position().x());
            auto y = static_cast<int>(mouse->position().y());
            int16_t shift = shiftStateOf(mouse->modifiers());
            if (event->type() == QEvent::MouseMove)
                events_.nativeMouseMove(mouseButtonOf(mouse->buttons()), shift, x, y);
            else
                events_.nativeMouseDown(mouseButtonOf(mouse->button()), shift, x, y);
            return false;
        }
        default:
            return false;
        }
    }

private:
    backend::NativeEvents& events_;
};

} // namespace

QtControl::QtControl(QWidget* widget, backend::NativeEvents& events)
    : widget_(widget)
    , events_(events)
{
    new InputForwarder(widget, events);
}

QtControl::~QtControl() { delete widget_.data(); }

void QtControl::setGeometry(const backend::PixelRect& rect)
{
    if (widget_)
        widget_->setGeometry(rect.x, rect.y, rect.width, rect.height);
}

void QtControl::setVisible(bool visible)
{
    if (widget_)
        widget_->setVisible(visible);
}

void QtControl::setEnabled(bool enabled)
{
    if (widget_)
        widget_->setEnabled(enabled);
}

void QtControl::setFont(const Font& font)
{
    if (widget_)
        widget_->setFont(qtFont(font));
}

void QtControl::setForeColor(Colour colour)
{
    if (!widget_)
        return;
    QPalette palette = widget_->palette();
    palette.setColor(QPalette::WindowText, colourFromValue(colour));
    palette.setColor(QPalette::Text, colourFromValue(colour));
    palette.setColor(QPalette::ButtonText, colourFromValue(colour));
    widget_->setPalette(palette);
}

void QtControl::setBackColor(Colour colour)
{
    if (!widget_)
        return;
    QPalette palette = widget_->palette();
    palette.setColor(QPalette::Window, colourFromValue(colour));
    widget_->setPalette(palette);
    widget_->setAutoFillBackground(true);
}

void QtControl::setToolTip(const std::string& text)
{
    if (widget_)
        widget_->setToolTip(QString::fromStdString(text));
}

void QtControl::setFocus(bool byTab)
{
    if (widget_)
        widget_->setFocus(byTab ? Qt::TabFocusReason : Qt::OtherFocusReason);
}

bool QtControl::hasFocus() const { return widget_ && widget_->hasFocus(); }

void QtControl::raise()
{
    if (widget_)
        widget_->raise();
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

} // namespace platform::qt

namespace platform::backend {

std::unique_ptr<NativeControl> createControl(ControlKind kind, NativeWindow& parent, NativeEvents& events)
{
    std::unique_ptr<qt::QtControl> control;
    bool takesFocus = true;
    switch (kind) {
    case ControlKind::Label:
        control = qt::createLabel(events);
        takesFocus = false;
        break;
    case ControlKind::Image:
        control = qt::createImage(events);
        takesFocus = false;
        break;
    case ControlKind::PictureBox:
        control = qt::createPictureBox(events);
        takesFocus = false;
        break;
    case ControlKind::Line:
        control = qt::createLine(events);
        takesFocus = false;
        break;
    case ControlKind::Frame:
        control = qt::createFrame(events);
        takesFocus = false;
        break;
    case ControlKind::CheckBox:
        control = qt::createCheckBox(events);
        break;
    case ControlKind::OptionButton:
        control = qt::createOptionButton(events);
        break;
    case ControlKind::CommandButton:
        control = qt::createCommandButton(events);
        break;
    case ControlKind::ComboBox:
        control = qt::createComboBox(events);
        break;
    case ControlKind::HScrollBar:
        control = qt::createHScrollBar(events);
        break;
    }
    QWidget* widget = control->widget();
    widget->setParent(qt::widgetOf(parent));
    widget->setFocusPolicy(takesFocus ? Qt::StrongFocus : Qt::NoFocus);
    widget->show();
    return control;
}

std::vector<std::vector<uint32_t>> grabPixels(const NativeControl& control)
{
    std::vector<std::vector<uint32_t>> rows;
    QWidget* widget = qt::widgetOf(control);
    if (!widget)
        return rows;
    QImage image = widget->grab().toImage().convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const uint32_t*>(image.constScanLine(y));
        rows.emplace_back(line, line + image.width());
    }
    return rows;
}

} // namespace platform::backend
