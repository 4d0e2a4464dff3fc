#include "platform/forms/combo_box.h"

#include "platform/forms/runtime.h"
#include "platform/runtime/runtime_error.h"

#include <algorithm>

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
    int32_t named = native().text().empty() ? -1 : findAnyCase(native().text());
    if (named >= 0) {
        choose(named);
        return;
    }
    int32_t selected = native().selectedItem();
    if (selected < 0)
        return;
    native().setEditText(items_[static_cast<std::size_t>(selected)]);
    unmatched_ = false;
}

namespace {

constexpr int16_t kEnter = 13;
constexpr int16_t kEscape = 27;
constexpr int16_t kPageUp = 33;
constexpr int16_t kPageDown = 34;
constexpr int16_t kEnd = 35;
constexpr int16_t kHome = 36;
constexpr int16_t kUp = 38;
constexpr int16_t kDown = 40;
constexpr int16_t kF4 = 115;
constexpr int16_t kShiftAlt = 4;
constexpr int16_t kShiftCtrlAlt = 2 | 4;

char lowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool equalAnyCase(const std::string& a, const std::string& b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (lowerAscii(a[i]) != lowerAscii(b[i]))
            return false;
    return true;
}

// The character a letter or digit key types, small; 0 for any other key.
char characterOfKey(int16_t keyCode)
{
    if ((keyCode >= 'A' && keyCode <= 'Z') || (keyCode >= '0' && keyCode <= '9'))
        return lowerAscii(static_cast<char>(keyCode));
    return 0;
}

} // namespace

int32_t ComboBox::findAnyCase(const std::string& text) const
{
    int32_t selected = native().selectedItem();
    if (selected >= 0 && selected < listCount() && equalAnyCase(items_[static_cast<std::size_t>(selected)], text))
        return selected;
    for (int32_t row = 0; row < listCount(); ++row)
        if (equalAnyCase(items_[static_cast<std::size_t>(row)], text))
            return row;
    return -1;
}

void ComboBox::choose(int32_t row)
{
    if (row < 0 || row >= listCount())
        return;
    native().selectItem(row);
    unmatched_ = false;
}

bool ComboBox::nativeKeyPressed(int16_t keyCode, int16_t shift)
{
    bool toggles = ((keyCode == kDown || keyCode == kUp) && (shift & kShiftCtrlAlt) == kShiftAlt)
        || (keyCode == kF4 && (shift & kShiftCtrlAlt) == 0);
    if (native().dropped()) {
        if (toggles) {
            int32_t marked = native().markedItem();
            native().setDropped(false);
            choose(marked);
            return true;
        }
        return droppedListKey(keyCode, shift);
    }
    if (!toggles)
        return false;
    native().setDropped(true);
    native().markItem(unmatched_ ? -1 : native().selectedItem());
    return true;
}

bool ComboBox::droppedListKey(int16_t keyCode, int16_t shift)
{
    if (listCount() == 0)
        return false;
    int32_t marked = native().markedItem();
    int32_t last = listCount() - 1;
    auto mark = [&](int32_t row) {
        native().markItem(std::clamp<int32_t>(row, 0, last));
        return true;
    };
    if ((shift & kShiftCtrlAlt) != 0)
        return false;
    switch (keyCode) {
    case kEnter:
        native().setDropped(false);
        choose(marked);
        return true;
    case kEscape:
        native().setDropped(false);
        return true;
    case kUp:
        return mark(marked < 0 ? 0 : marked - 1);
    case kDown:
        return mark(marked + 1);
    case kPageUp:
        return mark(marked < 0 ? 0 : marked - kPageRows);
    case kPageDown:
        return mark(marked < 0 ? kPageRows : marked + kPageRows);
    case kHome:
        return mark(0);
    case kEnd:
        return mark(last);
    default:
        break;
    }
    char typed = characterOfKey(keyCode);
    if (typed == 0)
        return false;
    // The next item that begins with the character, after the marked one.
    for (int32_t step = 1; step <= listCount(); ++step) {
        int32_t row = ((marked < 0 ? -1 : marked) + step) % listCount();
        const std::string& item = items_[static_cast<std::size_t>(row)];
        if (!item.empty() && lowerAscii(item.front()) == typed)
            return mark(row);
    }
    return true;
}

} // namespace platform
