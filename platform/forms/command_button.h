#pragma once

#include "platform/forms/control.h"

#include <functional>
#include <string>

namespace platform {

class CommandButton : public Control {
public:
    explicit CommandButton(Container& container);

    const std::string& caption() const;
    void setCaption(const std::string& text);

    // The default button is pressed by Enter, the cancel button by Esc,
    // wherever the focus is in the form.
    void setDefault(bool value);
    void setCancel(bool value);

    // Presses the button as a click would.
    void click();
    // Enter on the default button and Esc on the cancel one click it.
    void pressByKey() override { click(); }

    std::function<void()> onClick;

private:
    void nativeClicked() override { click(); }
    bool nativeKeyPressed(int16_t keyCode, int16_t shift) override;

    std::string caption_;
};

} // namespace platform
