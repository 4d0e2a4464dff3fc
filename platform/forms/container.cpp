#include "platform/forms/container.h"

#include "platform/forms/backend.h"
#include "platform/forms/form.h"

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

namespace {

constexpr double kTwipsPerInch = 1440;
constexpr double kStandardDpi = 96;

} // namespace

int Container::toPixels(float units) const
{
    if (scaleMode_ == ScaleMode::Twips)
        return twipsToPixels(units);
    double scale = form_.pixelScale();
    if (scale == 1)
        return static_cast<int>(std::lround(units));
    return static_cast<int>(std::lround(static_cast<double>(units) * scale));
}

float Container::fromPixels(int pixels) const
{
    if (scaleMode_ == ScaleMode::Twips)
        return pixelsToTwips(pixels);
    double scale = form_.pixelScale();
    if (scale == 1)
        return static_cast<float>(pixels);
    return static_cast<float>(pixels / scale);
}

float Container::fromPicturePixels(int pixels) const
{
    if (scaleMode_ == ScaleMode::Twips)
        return static_cast<float>(pixels * (kTwipsPerInch / kStandardDpi));
    return static_cast<float>(pixels);
}

// The points of a font are of the screen's inch (backend::dotsPerInch), at
// which twips are drawn too; a form in pixels draws them at its own scale.
Font Container::deviceFont(const Font& font) const
{
    if (scaleMode_ == ScaleMode::Twips)
        return font;
    double scale = form_.pixelScale() * kStandardDpi / standardDotsPerInch();
    if (scale == 1)
        return font;
    Font scaled = font;
    scaled.size = font.size * scale;
    return scaled;
}

int twipsToPixels(float twips) { return static_cast<int>(std::lround(twips / twipsPerPixel())); }
float pixelsToTwips(int pixels) { return static_cast<float>(pixels) * twipsPerPixel(); }

float twipsPerPixel() { return static_cast<float>(kTwipsPerInch / standardDotsPerInch()); }

double standardDotsPerInch()
{
    double dpi = backend::dotsPerInch();
    // A screen that reports no sensible resolution is taken as the standard one.
    if (!(dpi >= 48 && dpi <= 480))
        dpi = kStandardDpi;
    return dpi;
}

} // namespace platform
