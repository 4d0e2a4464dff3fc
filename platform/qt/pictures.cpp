// The controls that show something and take no focus: labels, frames,
// lines, the map image and the icon's picture box.

#include "platform/qt/native_control.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QPainter>
#include <QPixmap>

#include <algorithm>

namespace platform::qt {

namespace {

class LabelControl : public QtControl {
public:
    LabelControl(QLabel* label, backend::NativeEvents& events)
        : QtControl(label, events)
        , label_(label)
    {
    }

    void setText(const std::string& text) override { label_->setText(QString::fromStdString(text)); }

    backend::PixelRect textExtent() const override
    {
        QFontMetrics metrics(label_->font());
        return { 0, 0, metrics.horizontalAdvance(label_->text()), metrics.height() };
    }

    void setAlignment(int alignment) override
    {
        Qt::Alignment horizontal = alignment == 2 ? Qt::AlignHCenter : alignment == 1 ? Qt::AlignRight : Qt::AlignLeft;
        label_->setAlignment(horizontal | Qt::AlignTop);
    }

    void setWordWrap(bool wrap) override { label_->setWordWrap(wrap); }

    backend::PixelRect setPicture(const std::string& resourceName) override
    {
        QPixmap picture(QStringLiteral(":/zandreth/") + QString::fromStdString(resourceName) + QStringLiteral(".bmp"));
        if (picture.isNull()) {
            // A build without the picture still shows a map-sized area.
            picture = QPixmap(740, 370);
            picture.fill(QColor(150, 175, 200));
        }
        label_->setPixmap(picture);
        return { 0, 0, picture.width(), picture.height() };
    }

    backend::PixelRect setProgramIcon() override
    {
        QPixmap picture = QApplication::windowIcon().pixmap(32, 32);
        label_->setPixmap(picture);
        return { 0, 0, picture.width(), picture.height() };
    }

private:
    QLabel* label_;
};

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

class LineControl : public QtControl {
public:
    LineControl(LineWidget* line, backend::NativeEvents& events)
        : QtControl(line, events)
        , line_(line)
    {
    }

    void setLineStyle(Colour colour, int penWidth) override
    {
        line_->colour = colourFromValue(colour);
        line_->penWidth = penWidth;
        line_->update();
    }

private:
    LineWidget* line_;
};

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

class FrameControl : public QtControl {
public:
    FrameControl(QGroupBox* frame, backend::NativeEvents& events)
        : QtControl(frame, events)
        , frame_(frame)
    {
    }

    void setText(const std::string& text) override { frame_->setTitle(QString::fromStdString(text)); }

private:
    QGroupBox* frame_;
};

// A label keeps the mouse to itself: a click or a move over it reaches
// neither the form nor a picture under it. The map image is a label too,
// whose mouse events go to the rules.
QLabel* labelWidget()
{
    auto* label = new QLabel;
    label->setAttribute(Qt::WA_NoMousePropagation);
    label->setMouseTracking(true);
    label->setMargin(0);
    label->setIndent(0);
    return label;
}

} // namespace

std::unique_ptr<QtControl> createLabel(backend::NativeEvents& events)
{
    QLabel* label = labelWidget();
    label->setTextFormat(Qt::PlainText);
    label->setAutoFillBackground(true);
    return std::make_unique<LabelControl>(label, events);
}

std::unique_ptr<QtControl> createImage(backend::NativeEvents& events)
{
    QLabel* image = labelWidget();
    image->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return std::make_unique<LabelControl>(image, events);
}

std::unique_ptr<QtControl> createPictureBox(backend::NativeEvents& events)
{
    return std::make_unique<LabelControl>(new QLabel, events);
}

std::unique_ptr<QtControl> createLine(backend::NativeEvents& events)
{
    return std::make_unique<LineControl>(new LineWidget, events);
}

std::unique_ptr<QtControl> createFrame(backend::NativeEvents& events)
{
    return std::make_unique<FrameControl>(new FrameWidget, events);
}

} // namespace platform::qt
