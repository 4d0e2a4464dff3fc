#pragma once

#include "platform/forms/control.h"

namespace platform {

// A picture box showing the program's icon, sized to the picture.
class PictureBox : public Control {
public:
    explicit PictureBox(Container& container);
    void setProgramIcon();
};

} // namespace platform
