// The check box. The rules own its value: the window neither checks itself
// on a click (BS_CHECKBOX, not BS_AUTOCHECKBOX) nor reports a check set by
// code. A click or the space bar turns the box over and reports the new
// state.

#include "platform/forms/win32/win32_control.h"

namespace platform::win32 {

namespace {

constexpr int16_t kSpace = VK_SPACE;

class CheckBoxControl final : public Win32Control {
public:
    CheckBoxControl(HWND parent, backend::NativeEvents& events)
        : Win32Control(parent, L"BUTTON", BS_CHECKBOX | WS_TABSTOP, 0, events)
    {
    }

    void setChecked(bool checked) override
    {
        SendMessageW(handle(), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
    }

    bool parentMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override
    {
        if (message != WM_COMMAND || HIWORD(wParam) != BN_CLICKED)
            return Win32Control::parentMessage(message, wParam, lParam, result);
        bool checked = SendMessageW(handle(), BM_GETCHECK, 0, 0) != BST_CHECKED;
        setChecked(checked);
        backend::DispatchScope dispatch;
        events().nativeValueChanged(checked ? 1 : 0);
        result = 0;
        return true;
    }

    bool usesKey(int16_t keyCode) const override { return keyCode == kSpace; }
};

} // namespace

std::unique_ptr<Win32Control> createCheckBox(HWND parent, backend::NativeEvents& events)
{
    return std::make_unique<CheckBoxControl>(parent, events);
}

} // namespace platform::win32
