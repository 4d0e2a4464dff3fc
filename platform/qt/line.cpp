#include "platform/line.h"

#include "platform/qt/control_impl.h"

#include <QPainter>
#include <QWidget>

#include <algorithm>

namespace platform {

namespace {

class LineWidget : public QWidget {
public:
    LineWidget() { setAttribute(Qt::WA_TransparentForMouseEvents); }

    QColor colour { Qt::black };
    int penWidth = 1;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.fillRect(0, 0, width(), std::min(height(), penWidth), colour);
    }
};

} // namespace

Line::Line(Container& container)
    : Control(container, std::make_unique<ControlImpl>(container, new LineWidget))
{
}

void Line::setPoints(float x1, float y1, float x2, float y2)
{
    // Only horizontal rules are drawn: the widget spans the line's length and
    // its pen's width.
    auto* widget = static_cast<LineWidget*>(impl().widget.data());
    float onePixel = container().fromPixels(1);
    move(std::min(x1, x2), std::min(y1, y2), std::max(x1, x2) - std::min(x1, x2) + onePixel,
         std::max(onePixel * widget->penWidth, std::max(y1, y2) - std::min(y1, y2)));
}

void Line::setBorderColor(Colour colour)
{
    static_cast<LineWidget*>(impl().widget.data())->colour = colourFromValue(colour);
    impl().widget->update();
}

void Line::setBorderWidth(int pixels)
{
    auto* widget = static_cast<LineWidget*>(impl().widget.data());
    widget->penWidth = std::max(1, pixels);
    setHeight(std::max(height(), container().fromPixels(widget->penWidth)));
}

} // namespace platform
