// The command button: a click, or the space bar, is reported. Enter and Esc
// are the rules' (the focused button, the default and the cancel button),
// so the window only shows whether it is the default button.

#include "platform/forms/win32/win32_control.h"

namespace platform::win32 {

namespace {

constexpr int16_t kSpace = VK_SPACE;

class CommandButtonControl final : public Win32Control {
public:
    CommandButtonControl(HWND parent, backend::NativeEvents& events)
        : Win32Control(parent, L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP, 0, events)
    {
    }

    void setDefault(bool isDefault) override
    {
        SendMessageW(handle(), BM_SETSTYLE, isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
    }

    bool parentMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override
    {
        if (message != WM_COMMAND || HIWORD(wParam) != BN_CLICKED)
            return Win32Control::parentMessage(message, wParam, lParam, result);
        backend::DispatchScope dispatch;
        events().nativeClicked();
        result = 0;
        return true;
    }

    bool usesKey(int16_t keyCode) const override { return keyCode == kSpace; }
};

} // namespace

std::unique_ptr<Win32Control> createCommandButton(HWND parent, backend::NativeEvents& events)
{
    return std::make_unique<CommandButtonControl>(parent, events);
}

} // namespace platform::win32
