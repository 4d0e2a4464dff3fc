#include "platform/picture_box.h"

#include "platform/qt/control_impl.h"

#include <QApplication>
#include <QLabel>

namespace platform {

PictureBox::PictureBox(Container& container)
    : Control(container, std::make_unique<ControlImpl>(container, new QLabel))
{
}

void PictureBox::setProgramIcon()
{
    QPixmap picture = QApplication::windowIcon().pixmap(32, 32);
    static_cast<QLabel*>(impl().widget.data())->setPixmap(picture);
    move(left(), top(), container().fromPixels(picture.width()), container().fromPixels(picture.height()));
}

} // namespace platform
