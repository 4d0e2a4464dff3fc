#include "platform/label.h"

#include "platform/qt/control_impl.h"

#include <QLabel>
#include <QMouseEvent>

namespace platform {

namespace {

// A label that keeps the mouse to itself: a click or a move over it reaches
// neither the form nor a picture under it.
class LabelWidget : public QLabel {
public:
    LabelWidget()
    {
        setTextFormat(Qt::PlainText);
        setAttribute(Qt::WA_NoMousePropagation);
        setMouseTracking(true);
        setAutoFillBackground(true);
        setMargin(0);
        setIndent(0);
    }

protected:
    void mousePressEvent(QMouseEvent* event) override { event->accept(); }
    void mouseReleaseEvent(QMouseEvent* event) override { event->accept(); }
    void mouseMoveEvent(QMouseEvent* event) override { event->accept(); }
};

struct LabelImpl : ControlImpl {
    LabelImpl(Container& owner, LabelWidget* native)
        : ControlImpl(owner, native)
        , label(native)
    {
    }

    void fitToCaption()
    {
        QFontMetrics metrics(label->font());
        width = container.fromPixels(metrics.horizontalAdvance(label->text()));
        height = container.fromPixels(metrics.height());
        applyGeometry();
    }

    LabelWidget* label;
    std::string caption;
    bool autoSize = false;
};

LabelImpl& labelImpl(const Label& label) { return static_cast<LabelImpl&>(label.impl()); }

} // namespace

Label::Label(Container& container)
    : Control(container, std::make_unique<LabelImpl>(container, new LabelWidget))
{
}

const std::string& Label::caption() const { return labelImpl(*this).caption; }

void Label::setCaption(const std::string& text)
{
    auto& impl = labelImpl(*this);
    if (impl.caption == text)
        return;
    impl.caption = text;
    impl.label->setText(QString::fromStdString(text));
    if (impl.autoSize)
        impl.fitToCaption();
}

bool Label::autoSize() const { return labelImpl(*this).autoSize; }

void Label::setAutoSize(bool value)
{
    auto& impl = labelImpl(*this);
    impl.autoSize = value;
    if (value)
        impl.fitToCaption();
}

void Label::setAlignment(Alignment alignment)
{
    Qt::Alignment horizontal = alignment == Alignment::Center ? Qt::AlignHCenter
        : alignment == Alignment::Right                       ? Qt::AlignRight
                                                              : Qt::AlignLeft;
    labelImpl(*this).label->setAlignment(horizontal | Qt::AlignTop);
}

void Label::setWordWrap(bool wrap)
{
    labelImpl(*this).label->setWordWrap(wrap);
}

} // namespace platform
