// The controls Qt has no widget for, drawn here: the classic frame and the
// horizontal rule.

#include "platform/forms/qt/native_control.h"

#include <QGroupBox>
#include <QPainter>

#include <algorithm>

namespace platform::qt {

namespace {

// A frame drawn the classic way: an etched rectangle whose top edge runs
// through the middle of the caption, the caption standing on it near the
// left. The controls inside are placed from the frame's top-left corner, so
// the first of them sit just below that edge, as designed.
class FrameWidget : public QGroupBox {
protected:
    void paintEvent(QPaintEvent*) override
    {
        constexpr int kCaptionLeft = 8;
        constexpr int kCaptionPadding = 2;
        QPainter painter(this);
        QFontMetrics metrics(font());
        int edge = title().isEmpty() ? 0 : metrics.height() / 2;
        QRect box = rect().adjusted(0, edge, -2, -2);
        painter.setPen(palette().color(QPalette::Dark));
        painter.drawRect(box);
        painter.setPen(palette().color(QPalette::Light));
        painter.drawRect(box.translated(1, 1));
        if (title().isEmpty())
            return;
        QRect caption(kCaptionLeft, 0, metrics.horizontalAdvance(title()) + 2 * kCaptionPadding, metrics.height());
        painter.fillRect(caption, palette().color(QPalette::Window));
        painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
        painter.drawText(caption, Qt::AlignCenter | Qt::TextSingleLine, title());
    }
};

// Only horizontal rules are drawn: the widget spans the line's length and
// its pen's width.
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

QWidget* createFrameWidget() { return new FrameWidget; }
QWidget* createLineWidget() { return new LineWidget; }

void styleLine(QWidget& line, const QColor& colour, int penWidth)
{
    auto& widget = static_cast<LineWidget&>(line);
    widget.colour = colour;
    widget.penWidth = penWidth;
    widget.update();
}

} // namespace platform::qt
