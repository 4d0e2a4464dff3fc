#include "platform/forms/container.h"

#include "platform/forms/backend.h"

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
    return scaleMode_ == ScaleMode::Twips ? twipsToPixels(units) : static_cast<int>(std::lround(units));
}

float Container::fromPixels(int pixels) const
{
    return scaleMode_ == ScaleMode::Twips ? pixelsToTwips(pixels) : static_cast<float>(pixels);
}

int twipsToPixels(float twips) { return static_cast<int>(std::lround(twips / twipsPerPixel())); }
float pixelsToTwips(int pixels) { return static_cast<float>(pixels) * twipsPerPixel(); }

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
