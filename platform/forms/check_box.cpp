#include "platform/forms/check_box.h"

#include "platform/forms/runtime.h"
#include "platform/runtime/runtime_error.h"

namespace platform {

CheckBox::CheckBox(Container& container)
    : Control(container, backend::ControlKind::CheckBox)
{
}

int16_t CheckBox::value() const { return value_; }

// A value set by code raises onClick at once, as a click by the user does.
void CheckBox::setValue(int16_t value)
{
    if (value != 0 && value != 1)
        throw RuntimeError(RuntimeErrorKind::Other,
                           "a check box value of " + std::to_string(value) + " is not valid (only 0 and 1 are)");
    if (value == value_)
        return;
    value_ = value;
    native().setChecked(value == 1);
    if (onClick)
        Runtime::current().deliver(onClick);
}

void CheckBox::nativeValueChanged(int value)
{
    value_ = value != 0 ? 1 : 0;
    if (onClick)
        Runtime::current().deliver(onClick);
}

const std::string& CheckBox::caption() const { return caption_; }

void CheckBox::setCaption(const std::string& text)
{
    caption_ = text;
    native().setText(text);
}

} // namespace platform
