#include "platform/forms/option_button.h"

#include "platform/forms/container.h"
#include "platform/forms/runtime.h"

#include <algorithm>

namespace platform {

// Exclusivity is kept by the container, not by the window system, so that
// code can clear every button of a group and hidden buttons take part too.
OptionButton::OptionButton(Container& container)
    : Control(container, backend::ControlKind::OptionButton)
{
    container.optionButtons_.push_back(this);
}

OptionButton::~OptionButton()
{
    std::erase(container().optionButtons_, this);
}

bool OptionButton::value() const { return value_; }

void OptionButton::setValue(bool selected)
{
    if (selected == value_)
        return;
    value_ = selected;
    native().setChecked(selected);
    if (selected)
        select();
}

// The user selected the button (a click on a selected one changes nothing).
void OptionButton::nativeValueChanged(int value)
{
    if (value == 0 || value_)
        return;
    value_ = true;
    select();
}

void OptionButton::select()
{
    for (OptionButton* other : container().optionButtons_) {
        if (other == this || !other->value_)
            continue;
        other->value_ = false;
        other->native().setChecked(false);
    }
    if (onClick)
        Runtime::current().deliver(onClick);
}

const std::string& OptionButton::caption() const { return caption_; }

void OptionButton::setCaption(const std::string& text)
{
    caption_ = text;
    native().setText(text);
}

} // namespace platform
