#pragma once

// The common part of every control: position and size in the container's
// scale units (pixels on a pixel form, twips on a twip form), kept as Single
// values exactly as code set them and turned into device pixels in one place,
// plus visibility, tool tip and tab order.

#include "platform/forms/backend.h"
#include "platform/forms/colour.h"
#include "platform/forms/font.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace platform {

class Container;

class Control : private backend::NativeEvents {
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

    // The control's native window (the backend's object).
    backend::NativeControl& native() const { return *native_; }
    // Whether the control can take the focus at all (Tab stops at it).
    bool takesFocus() const;
    // Visible, and so is every frame it lies in.
    bool shownInForm() const;

    // What Enter or Esc does to the control when it is its form's default or
    // cancel button (CommandButton::setDefault, setCancel): a command button
    // is clicked; no other control is either.
    virtual void pressByKey() { }

protected:
    Control(Container& container, backend::ControlKind kind);
    // Turns the Single position and size into device pixels.
    void applyGeometry();
    // The form draws its pixels at a new scale: the control's geometry and
    // font anew (a control that depends on them more does more).
    virtual void rescale();

private:
    friend class Form;

    Container& container_;
    backend::ControlKind kind_;
    std::unique_ptr<backend::NativeControl> native_;
    float left_ = 0;
    float top_ = 0;
    float width_ = 0;
    float height_ = 0;
    bool visible_ = true;
    bool enabled_ = true;
    int tabIndex_ = -1;
    std::string toolTip_;
    // The font as set, before the form's scale.
    std::optional<Font> font_;
};

} // namespace platform
