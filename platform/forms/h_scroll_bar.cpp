#include "platform/forms/h_scroll_bar.h"

#include "platform/forms/runtime.h"
#include "platform/runtime/runtime_error.h"

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

// The keys as Windows users' hands know them: Left and Up lower the value by
// a small change, Right and Down raise it, Page Up and Page Down move by a
// large change, Home and End go to the ends. Esc, Enter and the rest, and
// keys with Shift, Ctrl or Alt, go on to the form.
bool HScrollBar::nativeKeyPressed(int16_t keyCode, int16_t shift)
{
    if (shift != 0)
        return false;
    int wanted = value_;
    switch (keyCode) {
    case 37: // Left
    case 38: // Up
        wanted -= smallChange_;
        break;
    case 39: // Right
    case 40: // Down
        wanted += smallChange_;
        break;
    case 33: // Page Up
        wanted -= largeChange_;
        break;
    case 34: // Page Down
        wanted += largeChange_;
        break;
    case 36: // Home
        wanted = min_;
        break;
    case 35: // End
        wanted = max_;
        break;
    default:
        return false;
    }
    setValue(static_cast<int16_t>(std::clamp(wanted, int(min_), int(max_))));
    return true;
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
