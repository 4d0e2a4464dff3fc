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
// the focus while its text names no item, an item whose text it is in
// another letter case ("tokyo" for "Tokyo") is selected, the selected item
// first; failing that, the selected item's text is put back, so a list that
// had a selection keeps it.
//
// The dropped list: Alt+Down, Alt+Up and F4 open it with the selected item
// marked, and close it again choosing the marked item. While it is open, a
// letter or digit marks the next item that begins with it (in any letter
// case), going round from the last item to the first; Up, Down, Page Up,
// Page Down (a page of kPageRows rows), Home and End move the mark; Enter
// chooses the marked item and Esc closes the list choosing nothing. An item
// chosen is selected and its text fills the field. A click on an item of the
// open list chooses it, as the window system reports.
//
// Long lists: writing an item with the text it already has costs one
// comparison, and the changes of a run of writes reach the screen together
// when the event loop next runs, so a loop that writes every item of a list
// of tens of thousands stays fast.
class ComboBox : public Control {
public:
    // The rows Page Up and Page Down move the mark of the dropped list by:
    // one fewer than the list shows.
    static constexpr int32_t kPageRows = 15;

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
    // no item exactly, the item it names in another letter case is selected
    // and its text fills the field; failing that, the selected item's text is
    // put back and the item is selected again. Nothing happens when the text
    // names an item or when the list has never had a selected item and the
    // text names none in any case.
    void revertUnmatchedText();

    std::function<void()> onChange;

private:
    // Keeps listIndex() in step with the text in the edit field, whoever
    // changed it.
    void nativeTextChanged(const std::string& text) override;
    void nativeTextEdited() override;
    void nativeFocusLost() override { revertUnmatchedText(); }
    bool nativeKeyPressed(int16_t keyCode, int16_t shift) override;
    // A key while the dropped list is open; true when it used the key.
    bool droppedListKey(int16_t keyCode, int16_t shift);
    // The item chosen in the dropped list: selected, its text in the field.
    void choose(int32_t row);
    // The first item whose text is exactly `text`; -1 when none is.
    int32_t findExact(const std::string& text) const;
    // The item whose text is `text` in any letter case, the selected item
    // first; -1 when none is.
    int32_t findAnyCase(const std::string& text) const;

    std::vector<std::string> items_;
    // True while the edit field holds a text that names no item.
    bool unmatched_ = false;
};

} // namespace platform
