#include "platform/forms/qt/native_control.h"

#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyleOptionFocusRect>
#include <QStyleOptionSlider>

namespace platform::qt {

namespace {

// Its keys are the rules' (HScrollBar): Qt's own runs the arrow keys the
// other way. While it has the focus, its thumb is framed by a focus
// rectangle, where Windows blinks the thumb.
class ScrollBarWidget : public QScrollBar {
public:
    ScrollBarWidget()
        : QScrollBar(Qt::Horizontal)
    {
    }

protected:
    void keyPressEvent(QKeyEvent* event) override { event->ignore(); }

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

class ScrollBarControl : public QtControl {
public:
    ScrollBarControl(ScrollBarWidget* bar, backend::NativeEvents& events)
        : QtControl(bar, events)
        , bar_(bar)
    {
        QObject::connect(bar, &QScrollBar::valueChanged, [&events](int value) { events.nativeValueChanged(value); });
    }

    void setRange(int min, int max) override
    {
        const QSignalBlocker quiet(bar_);
        bar_->setRange(min, max);
    }

    void setValue(int value) override
    {
        const QSignalBlocker quiet(bar_);
        bar_->setValue(value);
    }

    void setSteps(int small, int large) override
    {
        bar_->setSingleStep(small);
        bar_->setPageStep(large);
    }

private:
    ScrollBarWidget* bar_;
};

} // namespace

std::unique_ptr<QtControl> createHScrollBar(backend::NativeEvents& events)
{
    return std::make_unique<ScrollBarControl>(new ScrollBarWidget, events);
}

} // namespace platform::qt
