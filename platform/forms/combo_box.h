#pragma once

#include "platform/forms/control.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace platform {

// A drop-down list with an editable text field.
//
// Typing: while the user types, the list offers the items whose text
// contains the typed text (in any letter case). A typed text that equals an
// item's text exactly selects that item (the selected item itself when its
// text is the one typed, otherwise the first such item); any other text
// leaves the list with no selected item (listIndex() -1). When the list loses
// the focus while its text names no item, the selected item's text is put
// back, so a list that had a selection keeps it.
//
// Long lists: writing an item with the text it already has costs one
// comparison, and the changes of a run of writes reach the screen together
// when the event loop next runs, so a loop that writes every item of a list
// of tens of thousands stays fast.
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

    // What losing the focus does: when the edit field holds a text that names
    // no item, the selected item's text is put back and the item is selected
    // again. Nothing happens when the text names an item or when the list has
    // never had a selected item.
    void revertUnmatchedText();

    std::function<void()> onChange;

private:
    // Keeps listIndex() in step with the text in the edit field, whoever
    // changed it.
    void nativeTextChanged(const std::string& text) override;
    void nativeTextEdited() override;
    void nativeFocusLost() override { revertUnmatchedText(); }
    // The first item whose text is exactly `text`; -1 when none is.
    int32_t findExact(const std::string& text) const;

    std::vector<std::string> items_;
    // True while the edit field holds a text that names no item.
    bool unmatched_ = false;
};

} // namespace platform
