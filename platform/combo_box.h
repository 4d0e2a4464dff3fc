#pragma once

#include "platform/control.h"

#include <cstdint>
#include <functional>
#include <string>

namespace platform {

// A drop-down list with an editable text field.
class ComboBox : public Control {
public:
    explicit ComboBox(Container& container);

    int32_t listCount() const;
    // Item i; a subscript run-time error outside 0..listCount() - 1.
    std::string list(int32_t index) const;
    // Writing item i replaces its text, or appends an item when i equals
    // listCount(); the selected item stays selected (its text follows).
    void setList(int32_t index, const std::string& text);

    // The selected item, -1 for none. Setting an index outside
    // -1..listCount() - 1 raises the "Invalid property value" run-time error.
    int32_t listIndex() const;
    void setListIndex(int32_t index);

    // The text in the edit field.
    std::string text() const;
    void setText(const std::string& text);

    std::function<void()> onChange;
};

} // namespace platform
