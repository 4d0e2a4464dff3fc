#include "platform/frame.h"

#include "platform/qt/control_impl.h"

#include <QGroupBox>

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

} // namespace

Frame::Frame(Container& container)
    : Control(container, std::make_unique<ControlImpl>(container, new QGroupBox))
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
