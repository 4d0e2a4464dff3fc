#pragma once

// A form or a frame: something controls are placed in. It fixes the unit of
// its controls' positions: pixels, or twips (1440 to the inch, 15 to a pixel
// at 96 dots per inch, converted with the screen's real resolution).

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
// Twips as whole pixels (rounded), and pixels as twips.
int twipsToPixels(float twips);
float pixelsToTwips(int pixels);

} // namespace platform
