// The option button. Its group's exclusivity is the rules' business: the
// window is a plain BS_RADIOBUTTON (no automatic check, no WS_GROUP), so a
// click on a selected button leaves it selected and a check set by code is
// not reported. A click or the space bar selects it.

#include "platform/forms/win32/win32_control.h"

#include <commctrl.h>

namespace platform::win32 {

namespace {

constexpr int16_t kSpace = VK_SPACE;

class OptionButtonControl final : public Win32Control {
public:
    OptionButtonControl(HWND parent, backend::NativeEvents& events)
        : Win32Control(parent, L"BUTTON", BS_RADIOBUTTON | WS_TABSTOP, 0, events)
    {
    }

    void setChecked(bool checked) override
    {
        SendMessageW(handle(), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
    }

    bool ownMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override
    {
        if (Win32Control::ownMessage(window, message, wParam, lParam, result))
            return true;
        if (message != WM_SETFOCUS)
            return false;
        // A radio button that gets the focus other than by a click tells its
        // parent it was clicked, as a dialog's arrow keys want. Here Tab
        // walks through every button of a group, which must select none.
        takingFocus_ = true;
        result = DefSubclassProc(window, message, wParam, lParam);
        takingFocus_ = false;
        return true;
    }

    bool parentMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override
    {
        if (message != WM_COMMAND || (HIWORD(wParam) != BN_CLICKED && HIWORD(wParam) != BN_DOUBLECLICKED))
            return Win32Control::parentMessage(message, wParam, lParam, result);
        result = 0;
        if (takingFocus_)
            return true;
        setChecked(true);
        // Reported even for a selected button: the rules keep the value and
        // ignore a click that changes nothing.
        backend::DispatchScope dispatch;
        events().nativeValueChanged(1);
        return true;
    }

    bool usesKey(int16_t keyCode) const override { return keyCode == kSpace; }

private:
    bool takingFocus_ = false;
};

} // namespace

std::unique_ptr<Win32Control> createOptionButton(HWND parent, backend::NativeEvents& events)
{
    return std::make_unique<OptionButtonControl>(parent, events);
}

} // namespace platform::win32
