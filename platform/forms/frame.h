#pragma once

#include "platform/forms/container.h"
#include "platform/forms/control.h"

#include <string>

namespace platform {

// A frame: a control with a caption that holds other controls. Positions of
// the controls in it count from the frame's top-left corner, in the units of
// the frame's form. Option buttons in one frame form one group.
class Frame : public Control, public Container {
public:
    explicit Frame(Container& container);
    // A frame inside another frame; without it `Frame inner { outer }` would
    // name the (deleted) copy constructor.
    explicit Frame(Frame& container)
        : Frame(static_cast<Container&>(container))
    {
    }

    const std::string& caption() const;
    void setCaption(const std::string& text);

    // A control in a disabled or hidden frame is disabled or hidden too.
    bool enablesControls() const override { return enabled(); }
    bool showsControls() const override { return shownInForm(); }

private:
    std::string caption_;
};

} // namespace platform
