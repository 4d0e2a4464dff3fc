#include "platform/h_scroll_bar.h"

#include "platform/runtime.h"
#include "platform/runtime_error.h"

#include <algorithm>

namespace platform {

HScrollBar::HScrollBar(Container& container)
    : Control(container, backend::ControlKind::HScrollBar)
{
    native().setRange(min_, max_);
    native().setSteps(smallChange_, largeChange_);
}

int16_t HScrollBar::value() const { return value_; }

void HScrollBar::setValue(int16_t value)
{
    if (value < min_ || value > max_)
        throw RuntimeError(RuntimeErrorKind::Other,
                           "a scroll bar value of " + std::to_string(value) + " is outside its range "
                               + std::to_string(min_) + " to " + std::to_string(max_));
    if (value == value_)
        return;
    value_ = value;
    native().setValue(value);
    if (onChange)
        Runtime::current().deliver(onChange);
}

void HScrollBar::nativeValueChanged(int value)
{
    value_ = static_cast<int16_t>(std::clamp(value, int(min_), int(max_)));
    if (onChange)
        Runtime::current().deliver(onChange);
}

int16_t HScrollBar::min() const { return min_; }
int16_t HScrollBar::max() const { return max_; }

// A new end moves the other end and the value into the range, without an
// event.
void HScrollBar::setMin(int16_t value)
{
    min_ = value;
    max_ = std::max(max_, value);
    value_ = std::clamp(value_, min_, max_);
    native().setRange(min_, max_);
}

void HScrollBar::setMax(int16_t value)
{
    max_ = value;
    min_ = std::min(min_, value);
    value_ = std::clamp(value_, min_, max_);
    native().setRange(min_, max_);
}

void HScrollBar::setSmallChange(int16_t value)
{
    smallChange_ = value;
    native().setSteps(smallChange_, largeChange_);
}

void HScrollBar::setLargeChange(int16_t value)
{
    largeChange_ = value;
    native().setSteps(smallChange_, largeChange_);
}

} // namespace platform
