#pragma once

#include "platform/forms/control.h"

#include <functional>
#include <string>

namespace platform {

// An option button, exclusive within its container: selecting one clears
// every other option button of the same container, visible or hidden.
// Selecting it (by the user or by code) raises onClick; clearing it does not.
class OptionButton : public Control {
public:
    explicit OptionButton(Container& container);
    ~OptionButton() override;

    bool value() const;
    void setValue(bool selected);

    const std::string& caption() const;
    void setCaption(const std::string& text);

    std::function<void()> onClick;

private:
    void nativeValueChanged(int value) override;
    // Selects this button and clears the others of its container.
    void select();

    bool value_ = false;
    std::string caption_;
};

} // namespace platform
