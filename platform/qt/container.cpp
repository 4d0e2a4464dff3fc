#include "platform/container.h"

#include "platform/qt/control_impl.h"

#include <QGuiApplication>
#include <QScreen>

#include <cmath>

namespace platform {

Container::Container(std::unique_ptr<ContainerImpl> impl)
    : containerImpl_(std::move(impl))
{
}

Container::~Container() = default;

void Container::setContainerImpl(std::unique_ptr<ContainerImpl> impl)
{
    containerImpl_ = std::move(impl);
}

ScaleMode Container::scaleMode() const { return containerImpl_->scaleMode; }

Form& Container::form() const { return *containerImpl_->form; }

int Container::toPixels(float units) const
{
    double pixels = containerImpl_->scaleMode == ScaleMode::Twips ? units / twipsPerPixel() : units;
    return static_cast<int>(std::lround(pixels));
}

float Container::fromPixels(int pixels) const
{
    return containerImpl_->scaleMode == ScaleMode::Twips ? pixels * twipsPerPixel() : static_cast<float>(pixels);
}

float twipsPerPixel()
{
    constexpr float kTwipsPerInch = 1440;
    constexpr float kStandardDpi = 96;
    QScreen* screen = QGuiApplication::primaryScreen();
    double dpi = screen ? screen->logicalDotsPerInchX() : kStandardDpi;
    // A screen that reports no sensible resolution is taken as the standard one.
    if (!(dpi >= 48 && dpi <= 480))
        dpi = kStandardDpi;
    return static_cast<float>(kTwipsPerInch / dpi);
}

} // namespace platform
