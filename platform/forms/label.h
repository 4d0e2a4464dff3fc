#pragma once

#include "platform/forms/control.h"

#include <string>

namespace platform {

enum class Alignment { Left = 0, Right = 1, Center = 2 };

// A label. It takes no focus and swallows the mouse: a click or a move over a
// label reaches neither the form nor what lies under it.
class Label : public Control {
public:
    explicit Label(Container& container);

    const std::string& caption() const;
    void setCaption(const std::string& text);

    // True fits the label's width and height to its caption, now and at every
    // later caption change.
    bool autoSize() const;
    void setAutoSize(bool value);

    void setAlignment(Alignment alignment);
    void setWordWrap(bool wrap);

private:
    void fitToCaption();
    // An autosized label fits its caption again in the font at the new scale.
    void rescale() override;

    std::string caption_;
    bool autoSize_ = false;
};

} // namespace platform
