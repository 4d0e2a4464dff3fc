#include "platform/forms/command_button.h"

#include "platform/forms/form.h"
#include "platform/forms/runtime.h"

namespace platform {

CommandButton::CommandButton(Container& container)
    : Control(container, backend::ControlKind::CommandButton)
{
}

const std::string& CommandButton::caption() const { return caption_; }

void CommandButton::setCaption(const std::string& text)
{
    caption_ = text;
    native().setText(text);
}

void CommandButton::setDefault(bool value)
{
    auto& form = container().form();
    form.defaultButton_ = value ? this : (form.defaultButton_ == this ? nullptr : form.defaultButton_);
    native().setDefault(value);
}

void CommandButton::setCancel(bool value)
{
    auto& form = container().form();
    form.cancelButton_ = value ? this : (form.cancelButton_ == this ? nullptr : form.cancelButton_);
}

// Enter on a focused button presses it, as Space does: the hands of Windows
// users expect it of every button, not only of the default one.
bool CommandButton::nativeKeyPressed(int16_t keyCode, int16_t shift)
{
    constexpr int16_t kEnter = 13;
    if (keyCode != kEnter || shift != 0)
        return false;
    click();
    return true;
}

void CommandButton::click()
{
    if (onClick && container().form().loaded())
        Runtime::current().deliver(onClick);
}

} // namespace platform
