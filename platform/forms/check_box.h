#pragma once

#include "platform/forms/control.h"

#include <cstdint>
#include <functional>
#include <string>

namespace platform {

// A check box: value 0 unchecked, 1 checked. A value set by code raises
// onClick at once, like a click by the user.
class CheckBox : public Control {
public:
    explicit CheckBox(Container& container);

    int16_t value() const;
    // A value other than 0 or 1 raises the "Invalid property value" run-time
    // error and leaves the box as it was.
    void setValue(int16_t value);

    const std::string& caption() const;
    void setCaption(const std::string& text);

    std::function<void()> onClick;

private:
    void nativeValueChanged(int value) override;

    int16_t value_ = 0;
    std::string caption_;
};

} // namespace platform
