#pragma once

// A form or a frame: something controls are placed in. It fixes the unit of
// its controls' positions: pixels, or twips (1440 to the inch, 15 to a pixel
// at 96 dots per inch, converted with the screen's real resolution).
//
// Pixels are logical pixels: a form draws them at a scale, the device pixels
// of one pixel (Form::pixelScale: the scale of the monitor its picture is
// on, 2 on a monitor of 192 dots per inch), so that a picture looks the same
// size on every monitor and is sharp where the monitor is fine.

#include "platform/forms/font.h"

#include <vector>

namespace platform {

namespace backend {
class NativeWindow;
}

class Form;
class OptionButton;

enum class ScaleMode { Twips = 1, Pixels = 3 };

class Container {
public:
    virtual ~Container();
    Container(const Container&) = delete;
    Container& operator=(const Container&) = delete;

    ScaleMode scaleMode() const;
    Form& form() const;

    // Units of this container to device pixels and back: the one place where
    // Single positions become whole pixels (rounded to the nearest).
    int toPixels(float units) const;
    float fromPixels(int pixels) const;
    // A picture's own pixels (logical pixels) as units of this container.
    float fromPicturePixels(int pixels) const;
    // A font of this container's controls as the window system is to draw
    // it: its points scaled as the container's pixels are.
    Font deviceFont(const Font& font) const;

    // Whether the controls in this container may be enabled and shown: a
    // form always lets them; a frame only while it is enabled, and shown in
    // its form, itself.
    virtual bool enablesControls() const { return true; }
    virtual bool showsControls() const { return true; }

    // The native window the container's controls are placed in.
    backend::NativeWindow& nativeHost() const { return *host_; }

protected:
    Container(Form& form, ScaleMode scaleMode);
    void setNativeHost(backend::NativeWindow& host) { host_ = &host; }

private:
    friend class OptionButton;

    Form& form_;
    ScaleMode scaleMode_;
    backend::NativeWindow* host_ = nullptr;
    // Option buttons placed directly in this container: one exclusive group.
    std::vector<OptionButton*> optionButtons_;
};

// Twips per device pixel on this screen (15 at 96 dots per inch).
float twipsPerPixel();
// The screen's resolution, dots per inch; 96 where it reports none that
// makes sense.
double standardDotsPerInch();
// Twips as whole pixels (rounded), and pixels as twips.
int twipsToPixels(float twips);
float pixelsToTwips(int pixels);

} // namespace platform
