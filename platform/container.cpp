#include "platform/container.h"

#include "platform/backend.h"

#include <cmath>

namespace platform {

Container::Container(Form& form, ScaleMode scaleMode)
    : form_(form)
    , scaleMode_(scaleMode)
{
}

Container::~Container() = default;

ScaleMode Container::scaleMode() const { return scaleMode_; }

Form& Container::form() const { return form_; }

int Container::toPixels(float units) const
{
    double pixels = scaleMode_ == ScaleMode::Twips ? units / twipsPerPixel() : units;
    return static_cast<int>(std::lround(pixels));
}

float Container::fromPixels(int pixels) const
{
    return scaleMode_ == ScaleMode::Twips ? static_cast<float>(pixels) * twipsPerPixel() : static_cast<float>(pixels);
}

float twipsPerPixel()
{
    constexpr double kTwipsPerInch = 1440;
    constexpr double kStandardDpi = 96;
    double dpi = backend::dotsPerInch();
    // A screen that reports no sensible resolution is taken as the standard one.
    if (!(dpi >= 48 && dpi <= 480))
        dpi = kStandardDpi;
    return static_cast<float>(kTwipsPerInch / dpi);
}

} // namespace platform
