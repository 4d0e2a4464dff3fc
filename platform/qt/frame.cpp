#include "platform/frame.h"

#include "platform/qt/control_impl.h"

#include <QGroupBox>
#include <QPainter>

namespace platform {

namespace {

std::unique_ptr<ContainerImpl> frameContainer(Container& parent, QWidget* host)
{
    auto impl = std::make_unique<ContainerImpl>();
    impl->form = &parent.form();
    impl->scaleMode = parent.scaleMode();
    impl->host = host;
    return impl;
}

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

} // namespace

Frame::Frame(Container& container)
    : Control(container, std::make_unique<ControlImpl>(container, new FrameWidget))
    , Container(frameContainer(container, impl().widget.data()))
{
}

const std::string& Frame::caption() const { return captionText_; }

void Frame::setCaption(const std::string& text)
{
    captionText_ = text;
    static_cast<QGroupBox*>(impl().widget.data())->setTitle(QString::fromStdString(text));
}

} // namespace platform
