#include "platform/command_button.h"

#include "platform/form.h"
#include "platform/runtime.h"

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

void CommandButton::click()
{
    if (onClick && container().form().loaded())
        Runtime::current().deliver(onClick);
}

} // namespace platform
