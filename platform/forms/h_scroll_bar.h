#pragma once

#include "platform/forms/control.h"

#include <cstdint>
#include <functional>

namespace platform {

// A horizontal scroll bar with a 16-bit value in min..max. A value changed by
// the user or by code raises onChange.
class HScrollBar : public Control {
public:
    explicit HScrollBar(Container& container);

    int16_t value() const;
    // A value outside min..max raises the "Invalid property value" run-time
    // error and leaves the bar as it was.
    void setValue(int16_t value);
    int16_t min() const;
    int16_t max() const;
    void setMin(int16_t value);
    void setMax(int16_t value);
    void setSmallChange(int16_t value);
    void setLargeChange(int16_t value);

    std::function<void()> onChange;

private:
    void nativeValueChanged(int value) override;
    bool nativeKeyPressed(int16_t keyCode, int16_t shift) override;

    int16_t value_ = 0;
    int16_t min_ = 0;
    int16_t max_ = 32767;
    int16_t smallChange_ = 1;
    int16_t largeChange_ = 10;
};

} // namespace platform
