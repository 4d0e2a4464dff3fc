#include "platform/h_scroll_bar.h"

#include "platform/qt/control_impl.h"
#include "platform/runtime.h"
#include "platform/runtime_error.h"

#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyleOptionFocusRect>
#include <QStyleOptionSlider>

namespace platform {

namespace {

// The scroll bar as Windows users' hands know it: Left and Up lower the
// value by a small change, Right and Down raise it, Page Up and Page Down
// move by a large change, Home and End go to the ends. (Qt's own scroll bar
// runs the arrow keys the other way.) While it has the focus, its thumb is
// framed by a focus rectangle, where Windows blinks the thumb.
class ScrollBarWidget : public QScrollBar {
public:
    ScrollBarWidget()
        : QScrollBar(Qt::Horizontal)
    {
    }

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        if (event->modifiers() & ~Qt::KeypadModifier) {
            event->ignore();
            return;
        }
        SliderAction action = SliderNoAction;
        switch (event->key()) {
        case Qt::Key_Left:
        case Qt::Key_Up:
            action = SliderSingleStepSub;
            break;
        case Qt::Key_Right:
        case Qt::Key_Down:
            action = SliderSingleStepAdd;
            break;
        case Qt::Key_PageUp:
            action = SliderPageStepSub;
            break;
        case Qt::Key_PageDown:
            action = SliderPageStepAdd;
            break;
        case Qt::Key_Home:
            action = SliderToMinimum;
            break;
        case Qt::Key_End:
            action = SliderToMaximum;
            break;
        default:
            // Esc, Enter and the rest go on to the form.
            event->ignore();
            return;
        }
        triggerAction(action);
        event->accept();
    }

    void paintEvent(QPaintEvent* event) override
    {
        QScrollBar::paintEvent(event);
        if (!hasFocus())
            return;
        QStyleOptionSlider slider;
        initStyleOption(&slider);
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        // Marked however the focus came, by a key or by a click.
        focus.state |= QStyle::State_KeyboardFocusChange;
        focus.rect = style()->subControlRect(QStyle::CC_ScrollBar, &slider, QStyle::SC_ScrollBarSlider, this)
                         .adjusted(1, 1, -1, -1);
        focus.backgroundColor = palette().color(QPalette::Button);
        QPainter painter(this);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
    }
};

QScrollBar* bar(const HScrollBar& scrollBar) { return static_cast<QScrollBar*>(scrollBar.impl().widget.data()); }

} // namespace

HScrollBar::HScrollBar(Container& container)
    : Control(container, std::make_unique<ControlImpl>(container, new ScrollBarWidget))
{
    bar(*this)->setFocusPolicy(Qt::StrongFocus);
    bar(*this)->setRange(0, 32767);
    QObject::connect(bar(*this), &QScrollBar::valueChanged, [this](int) {
        if (onChange)
            Runtime::current().deliver(onChange);
    });
}

int16_t HScrollBar::value() const { return static_cast<int16_t>(bar(*this)->value()); }

void HScrollBar::setValue(int16_t value)
{
    if (value < min() || value > max())
        throw RuntimeError(RuntimeErrorKind::Other,
                           "a scroll bar value of " + std::to_string(value) + " is outside its range "
                               + std::to_string(min()) + " to " + std::to_string(max()));
    if (value == this->value())
        return;
    bar(*this)->blockSignals(true);
    bar(*this)->setValue(value);
    bar(*this)->blockSignals(false);
    if (onChange)
        Runtime::current().deliver(onChange);
}

int16_t HScrollBar::min() const { return static_cast<int16_t>(bar(*this)->minimum()); }
int16_t HScrollBar::max() const { return static_cast<int16_t>(bar(*this)->maximum()); }

void HScrollBar::setMin(int16_t value)
{
    bar(*this)->blockSignals(true);
    bar(*this)->setMinimum(value);
    bar(*this)->blockSignals(false);
}

void HScrollBar::setMax(int16_t value)
{
    bar(*this)->blockSignals(true);
    bar(*this)->setMaximum(value);
    bar(*this)->blockSignals(false);
}

void HScrollBar::setSmallChange(int16_t value) { bar(*this)->setSingleStep(value); }
void HScrollBar::setLargeChange(int16_t value) { bar(*this)->setPageStep(value); }

} // namespace platform
