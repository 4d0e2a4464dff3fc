#pragma once

// A form or a frame: something controls are placed in. It fixes the unit of
// its controls' positions: pixels, or twips (1440 to the inch, 15 to a pixel
// at 96 dots per inch, converted with the screen's real resolution).

#include <memory>

namespace platform {

class Form;
struct ContainerImpl;

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

    ContainerImpl& containerImpl() const { return *containerImpl_; }

protected:
    explicit Container(std::unique_ptr<ContainerImpl> impl);
    void setContainerImpl(std::unique_ptr<ContainerImpl> impl);

private:
    std::unique_ptr<ContainerImpl> containerImpl_;
};

// Twips per device pixel on this screen (15 at 96 dots per inch).
float twipsPerPixel();

} // namespace platform
