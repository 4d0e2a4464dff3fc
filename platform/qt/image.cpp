#include "platform/image.h"

#include "platform/form.h"
#include "platform/qt/control_impl.h"
#include "platform/qt/form_window.h"
#include "platform/runtime.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>

namespace platform {

namespace {

class ImageWidget : public QLabel {
public:
    explicit ImageWidget(Image& image)
        : image_(image)
    {
        setMouseTracking(true);
        setAttribute(Qt::WA_NoMousePropagation);
        setScaledContents(false);
        setAlignment(Qt::AlignLeft | Qt::AlignTop);
    }

protected:
    void mousePressEvent(QMouseEvent* event) override
    {
        event->accept();
        raise(image_.onMouseDown, mouseButtonOf(event->button()), *event);
    }
    void mouseMoveEvent(QMouseEvent* event) override
    {
        event->accept();
        raise(image_.onMouseMove, mouseButtonOf(event->buttons()), *event);
    }

private:
    void raise(const MouseHandler& handler, int16_t button, const QMouseEvent& event)
    {
        if (!handler || !image_.container().form().loaded())
            return;
        auto& container = image_.container();
        float x = container.fromPixels(static_cast<int>(event.position().x()));
        float y = container.fromPixels(static_cast<int>(event.position().y()));
        int16_t shift = shiftStateOf(event.modifiers());
        Runtime::current().deliver([&] { handler(button, shift, x, y); });
    }

    Image& image_;
};

} // namespace

Image::Image(Container& container)
    : Control(container, std::make_unique<ControlImpl>(container, nullptr))
{
    impl().widget = new ImageWidget(*this);
    impl().widget->setParent(container.containerImpl().host);
    impl().widget->show();
}

void Image::setPicture(const std::string& resourceName)
{
    QPixmap picture(QStringLiteral(":/zandreth/") + QString::fromStdString(resourceName) + QStringLiteral(".bmp"));
    if (picture.isNull()) {
        // A build without the picture still shows a map-sized area.
        picture = QPixmap(740, 370);
        picture.fill(QColor(150, 175, 200));
    }
    static_cast<QLabel*>(impl().widget.data())->setPixmap(picture);
    move(left(), top(), container().fromPixels(picture.width()), container().fromPixels(picture.height()));
}

} // namespace platform
