#include "platform/forms/combo_box.h"

#include "platform/forms/runtime.h"
#include "platform/runtime/runtime_error.h"

namespace platform {

ComboBox::ComboBox(Container& container)
    : Control(container, backend::ControlKind::ComboBox)
{
}

int32_t ComboBox::listCount() const { return static_cast<int32_t>(items_.size()); }

std::string ComboBox::list(int32_t index) const
{
    if (index < 0 || index >= listCount())
        raiseSubscript("list item " + std::to_string(index) + " does not exist: the list has "
                       + std::to_string(listCount()) + " items");
    return items_[static_cast<std::size_t>(index)];
}

// Writing an item with the text it already has costs one comparison; the
// native list is told only of real changes.
void ComboBox::setList(int32_t index, const std::string& text)
{
    if (index < 0 || index > listCount())
        raiseSubscript("list item " + std::to_string(index) + " cannot be written: the list has "
                       + std::to_string(listCount()) + " items");
    if (index == listCount()) {
        items_.push_back(text);
    } else {
        std::string& item = items_[static_cast<std::size_t>(index)];
        if (item == text)
            return;
        item = text;
    }
    native().setItem(index, text);
}

int32_t ComboBox::listIndex() const { return unmatched_ ? -1 : native().selectedItem(); }

void ComboBox::setListIndex(int32_t index)
{
    if (index < -1 || index >= listCount())
        throw RuntimeError(RuntimeErrorKind::Other,
                           "list index " + std::to_string(index) + " is not valid: the list has items 0 to "
                               + std::to_string(listCount() - 1));
    native().selectItem(index);
    unmatched_ = false;
}

std::string ComboBox::text() const { return native().text(); }

void ComboBox::setText(const std::string& text) { native().setEditText(text); }

int32_t ComboBox::findExact(const std::string& text) const
{
    for (int32_t row = 0; row < listCount(); ++row)
        if (items_[static_cast<std::size_t>(row)] == text)
            return row;
    return -1;
}

// The selected item's own text keeps it selected, another item's exact text
// selects that item, any other text names none.
void ComboBox::nativeTextChanged(const std::string& text)
{
    int32_t selected = native().selectedItem();
    if (selected >= 0 && selected < listCount() && items_[static_cast<std::size_t>(selected)] == text) {
        unmatched_ = false;
        return;
    }
    // An empty field names no city, even where a record has no name.
    int32_t match = text.empty() ? -1 : findExact(text);
    if (match < 0) {
        unmatched_ = true;
        return;
    }
    native().selectTypedItem(match);
    unmatched_ = false;
}

void ComboBox::nativeTextEdited()
{
    if (onChange)
        Runtime::current().deliver(onChange);
}

void ComboBox::revertUnmatchedText()
{
    if (!unmatched_)
        return;
    int32_t selected = native().selectedItem();
    if (selected < 0)
        return;
    native().setEditText(items_[static_cast<std::size_t>(selected)]);
    unmatched_ = false;
}

} // namespace platform
