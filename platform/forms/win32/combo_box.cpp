// The editable drop-down list (CBS_DROPDOWN: an edit field over a list).
//
// The list keeps its items and its selected item itself, as the rules' view
// of them: the native list learns of the items written since the last time
// when the event loop next runs (or before the user's next key or click on
// it), so that a loop that rewrites every item of a list of thousands costs
// one refill of the native list instead of a removal and an insertion per
// item. Typing leaves the selected item as it is; the rules decide what the
// typed text names.
//
// The edit field reports every new text, whoever put it there: the user's
// typing (CBN_EDITCHANGE, then also as typed), a choice in the list
// (CBN_SELCHANGE, or the list's own rewrite of the field) and code. Only a
// selection made by code is not reported: the rules made it.

#include "platform/forms/win32/win32_control.h"

#include "platform/forms/item_batch.h"
#include "platform/system/win32/wide_text.h"

#include <commctrl.h>
#include <imm.h>

#include <algorithm>

namespace platform::win32 {

namespace {

// Posted to the list's window: hand the items written since to the native
// list.
constexpr UINT kPublishItems = WM_APP + 0x2A1;
// More rewritten rows than this are handed over by refilling the list.
constexpr int32_t kRefillAbove = 32;

class ComboBoxControl final : public Win32Control {
public:
    ComboBoxControl(HWND parent, backend::NativeEvents& events)
        : Win32Control(parent, L"COMBOBOX", CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL | WS_TABSTOP, 0, events)
    {
        COMBOBOXINFO parts {};
        parts.cbSize = sizeof parts;
        GetComboBoxInfo(handle(), &parts);
        edit_ = parts.hwndItem;
        list_ = parts.hwndList;
        watch(edit_);
        SendMessageW(handle(), CB_SETMINVISIBLE, backend::kDropDownRows, 0);
        followInputMethod(parent);
    }

    void setGeometry(const backend::PixelRect& rect) override
    {
        // The window's height is the closed list's and the dropped list's
        // together; the closed list takes the height its font needs.
        rect_ = rect;
        auto itemHeight = static_cast<int>(SendMessageW(handle(), CB_GETITEMHEIGHT, 0, 0));
        backend::PixelRect withList = rect;
        withList.height = rect.height + backend::kDropDownRows * std::max(itemHeight, 1) + 2;
        Win32Control::setGeometry(withList);
    }

    void setFont(const Font& font) override
    {
        Win32Control::setFont(font);
        if (rect_.width > 0)
            setGeometry(rect_);
    }

    // The mouse over the field is the field's own: it shows the tip too.
    void setToolTip(const std::string& text) override
    {
        Win32Control::setToolTip(text);
        setToolTipOf(edit_, text);
    }

    void setFocus(bool byTab) override
    {
        SetFocus(handle());
        // By Tab the whole name is selected, to be typed over; by code the
        // cursor goes after it, for typing on.
        int end = GetWindowTextLengthW(edit_);
        SendMessageW(edit_, EM_SETSEL, byTab ? 0 : end, end);
    }

    void setItem(int32_t row, const std::string& text) override
    {
        if (row < items_.count() && items_.item(row) == text)
            return;
        items_.write(row, text);
        schedulePublish();
        // The selected item's field follows its new text.
        if (row == selected_)
            putText(text, Report::Yes);
    }

    int32_t selectedItem() const override { return selected_; }

    void selectItem(int32_t index) override
    {
        selected_ = index;
        putText(index >= 0 ? items_.item(index) : std::string(), Report::No);
        markSelectedInList();
    }

    void selectTypedItem(int32_t index) override
    {
        selected_ = index;
        markSelectedInList();
    }

    std::string text() const override { return editText(); }

    void setEditText(const std::string& text) override { putText(text, Report::Yes); }

    bool dropped() const override { return SendMessageW(handle(), CB_GETDROPPEDSTATE, 0, 0) != 0; }

    void setDropped(bool dropped) override
    {
        if (dropped)
            publish();
        SendMessageW(handle(), CB_SHOWDROPDOWN, dropped ? TRUE : FALSE, 0);
    }

    int32_t markedItem() const override
    {
        auto marked = static_cast<int32_t>(SendMessageW(list_, LB_GETCURSEL, 0, 0));
        return marked >= 0 && marked < items_.published() ? marked : -1;
    }

    // The list part's own selection, which tells nobody: the field keeps its
    // text until the rules choose.
    void markItem(int32_t row) override { SendMessageW(list_, LB_SETCURSEL, static_cast<WPARAM>(row), 0); }

    bool usesKey(int16_t keyCode) const override
    {
        switch (keyCode) {
        case VK_RETURN:
        case VK_ESCAPE:
            // They close a dropped list; otherwise they are the form's.
            return SendMessageW(handle(), CB_GETDROPPEDSTATE, 0, 0) != 0;
        case VK_BACK:
        case VK_SPACE:
        case VK_PRIOR:
        case VK_NEXT:
        case VK_END:
        case VK_HOME:
        case VK_LEFT:
        case VK_UP:
        case VK_RIGHT:
        case VK_DOWN:
        case VK_INSERT:
        case VK_DELETE:
        case VK_F4:
        case VK_PROCESSKEY:
            return true;
        default:
            return (keyCode >= '0' && keyCode <= '9') || (keyCode >= 'A' && keyCode <= 'Z')
                || (keyCode >= VK_NUMPAD0 && keyCode <= VK_DIVIDE) || (keyCode >= VK_OEM_1 && keyCode <= VK_OEM_102);
        }
    }

    bool parentMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override
    {
        if (message != WM_COMMAND)
            return Win32Control::parentMessage(message, wParam, lParam, result);
        result = 0;
        switch (HIWORD(wParam)) {
        case CBN_EDITCHANGE:
            if (puttingText_ == 0)
                textTyped();
            break;
        case CBN_SELCHANGE:
            itemChosen();
            break;
        case CBN_DROPDOWN:
            publish();
            break;
        default:
            break;
        }
        return true;
    }

    bool ownMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override
    {
        if (Win32Control::ownMessage(window, message, wParam, lParam, result))
            return true;
        switch (message) {
        case kPublishItems:
            if (window != handle())
                return false;
            publish();
            result = 0;
            return true;
        case WM_KEYDOWN:
            publish();
            // Typing cleared the closed list's own mark; its arrows move on
            // from the selected item.
            if (window == edit_ && SendMessageW(handle(), CB_GETDROPPEDSTATE, 0, 0) == 0)
                markSelectedInList();
            return false;
        case WM_LBUTTONDOWN:
        case WM_CHAR:
            // The list opens or searches its items: it needs them all.
            publish();
            return false;
        case WM_SETTEXT:
            if (window != edit_ || puttingText_ != 0)
                return false;
            // The list itself writes the field: an item chosen in it.
            result = DefSubclassProc(window, message, wParam, lParam);
            textPutByList();
            return true;
        case WM_KILLFOCUS:
            if (window != edit_)
                return false;
            result = DefSubclassProc(window, message, wParam, lParam);
            focusLeft(reinterpret_cast<HWND>(wParam));
            return true;
        default:
            return false;
        }
    }

private:
    enum class Report { No, Yes };

    std::string editText() const
    {
        std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(edit_)) + 1, L'\0');
        text.resize(static_cast<std::size_t>(GetWindowTextW(edit_, text.data(), static_cast<int>(text.size()))));
        return narrow(text);
    }

    // Code writes the field. Its report comes inside the code that wrote it,
    // not as a new event of the window system.
    void putText(const std::string& text, Report report)
    {
        ++puttingText_;
        SetWindowTextW(edit_, widen(text).c_str());
        --puttingText_;
        std::string now = editText();
        if (now == shownText_)
            return;
        shownText_ = now;
        if (report == Report::Yes)
            events().nativeTextChanged(now);
    }

    void textTyped()
    {
        std::string now = editText();
        if (now == shownText_)
            return;
        shownText_ = now;
        backend::DispatchScope dispatch;
        events().nativeTextChanged(now);
        events().nativeTextEdited();
    }

    // The user chose an item in the list; the field gets its text now or
    // has it already.
    void itemChosen()
    {
        auto chosen = static_cast<int32_t>(SendMessageW(handle(), CB_GETCURSEL, 0, 0));
        if (chosen < 0 || chosen >= items_.count())
            return;
        selected_ = chosen;
        std::string text = items_.item(chosen);
        if (text == shownText_)
            return;
        shownText_ = text;
        backend::DispatchScope dispatch;
        events().nativeTextChanged(text);
    }

    void textPutByList()
    {
        std::string now = editText();
        if (now == shownText_)
            return;
        shownText_ = now;
        auto chosen = static_cast<int32_t>(SendMessageW(handle(), CB_GETCURSEL, 0, 0));
        if (chosen >= 0 && chosen < items_.count() && items_.item(chosen) == now)
            selected_ = chosen;
        backend::DispatchScope dispatch;
        events().nativeTextChanged(now);
    }

    // A loss of the focus counts when another window of the same form
    // takes it: not the list's own parts, not another window or program.
    void focusLeft(HWND to)
    {
        if (to == nullptr || to == handle() || to == list_ || IsChild(handle(), to))
            return;
        if (GetAncestor(to, GA_ROOT) != GetAncestor(handle(), GA_ROOT))
            return;
        backend::DispatchScope dispatch;
        events().nativeFocusLost();
    }

    void markSelectedInList()
    {
        if (selected_ < items_.published())
            SendMessageW(list_, LB_SETCURSEL, static_cast<WPARAM>(selected_), 0);
    }

    void schedulePublish()
    {
        if (publishPosted_)
            return;
        publishPosted_ = PostMessageW(handle(), kPublishItems, 0, 0) != FALSE;
    }

    // The items go straight to the list part: each message to the list's
    // own window would pass its watch, which costs more than the insertion.
    // Its drawing and scroll bar wait until the last item is in.
    void publish()
    {
        publishPosted_ = false;
        if (!items_.pending())
            return;
        bool dropped = IsWindowVisible(list_) != FALSE;
        SendMessageW(list_, WM_SETREDRAW, FALSE, 0);
        if (auto changed = items_.takeChanged()) {
            if (changed->last - changed->first >= kRefillAbove) {
                SendMessageW(list_, LB_RESETCONTENT, 0, 0);
                appendToList(0, items_.published() - 1);
            } else {
                for (int32_t row = changed->first; row <= changed->last; ++row) {
                    SendMessageW(list_, LB_DELETESTRING, static_cast<WPARAM>(row), 0);
                    SendMessageW(list_, LB_INSERTSTRING, static_cast<WPARAM>(row),
                                 reinterpret_cast<LPARAM>(widen(items_.item(row)).c_str()));
                }
            }
        }
        if (auto appended = items_.appended()) {
            appendToList(appended->first, appended->last);
            items_.publishAppended();
        }
        SendMessageW(list_, LB_SETCURSEL, static_cast<WPARAM>(selected_), 0);
        SendMessageW(list_, WM_SETREDRAW, TRUE, 0);
        // Turning the drawing on marks a window visible where a window
        // procedure leaves the message to the system: a closed list's part
        // stays hidden.
        if (!dropped)
            ShowWindow(list_, SW_HIDE);
        InvalidateRect(list_, nullptr, TRUE);
    }

    void appendToList(int32_t first, int32_t last)
    {
        if (last < first)
            return;
        int32_t count = last - first + 1;
        SendMessageW(list_, LB_INITSTORAGE, static_cast<WPARAM>(count),
                     static_cast<LPARAM>(count) * 32 * sizeof(wchar_t));
        for (int32_t row = first; row <= last; ++row)
            SendMessageW(list_, LB_INSERTSTRING, static_cast<WPARAM>(-1),
                         reinterpret_cast<LPARAM>(widen(items_.item(row)).c_str()));
    }

    // A list made in a form whose input method is detached stays detached
    // with it.
    void followInputMethod(HWND parent)
    {
        HWND form = GetAncestor(parent, GA_ROOT);
        HIMC context = ImmGetContext(form);
        if (context == nullptr) {
            ImmAssociateContextEx(handle(), nullptr, IACE_CHILDREN);
            return;
        }
        ImmReleaseContext(form, context);
    }

    HWND edit_ = nullptr;
    HWND list_ = nullptr;
    backend::PixelRect rect_;
    // The items, and which of them the native list has yet to learn.
    ItemBatch items_;
    bool publishPosted_ = false;
    int32_t selected_ = -1;
    // The field's text as last reported (or put there by code).
    std::string shownText_;
    // Code writes the field: its notices are not the user's.
    int puttingText_ = 0;
};

} // namespace

std::unique_ptr<Win32Control> createComboBox(HWND parent, backend::NativeEvents& events)
{
    return std::make_unique<ComboBoxControl>(parent, events);
}

} // namespace platform::win32
