#pragma once

// The common part of every control: position and size in the container's
// scale units (pixels on a pixel form, twips on a twip form), kept as Single
// values exactly as code set them and turned into device pixels in one place,
// plus visibility, tool tip and tab order.

#include "platform/colour.h"
#include "platform/font.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace platform {

class Container;
struct ControlImpl;

class Control {
public:
    virtual ~Control();
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    float left() const;
    float top() const;
    float width() const;
    float height() const;
    void setLeft(float value);
    void setTop(float value);
    void setWidth(float value);
    void setHeight(float value);
    // Left, top, width and height at once, as a designer places a control.
    void move(float left, float top, float width, float height);

    bool visible() const;
    void setVisible(bool value);
    bool enabled() const;
    void setEnabled(bool value);

    void setFont(const Font& font);
    void setForeColor(Colour colour);
    void setBackColor(Colour colour);
    void setToolTipText(const std::string& text);
    const std::string& toolTipText() const;

    // Tab order among the controls of one form; -1 for controls that never
    // take the focus.
    int tabIndex() const;
    void setTabIndex(int index);
    void setFocus();
    bool hasFocus() const;

    // Puts the control above every other control of its container. Forms
    // state their stacking order by calling this from the bottom up.
    void bringToFront();

    Container& container() const;

    // Tests: the control as it is drawn now, one row of 0xAARRGGBB pixels
    // after the other, top row first.
    std::vector<std::vector<uint32_t>> pixelsForTesting() const;
    ControlImpl& impl() const { return *impl_; }

protected:
    Control(Container& container, std::unique_ptr<ControlImpl> impl);

private:
    std::unique_ptr<ControlImpl> impl_;
};

} // namespace platform
