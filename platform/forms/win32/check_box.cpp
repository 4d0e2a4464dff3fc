// The check box. The rules own its value: the window neither checks itself
// on a click (BS_CHECKBOX, not BS_AUTOCHECKBOX) nor reports a check set by
// code. A click or the space bar turns the box over and reports the new
// state.
//
// The window draws its focus rectangle around its caption; a box without a
// caption would show no focus at all, so the rectangle goes around the box
// itself, when the window shows focus rectangles (its UI state).

#include "platform/forms/win32/win32_control.h"

#include <commctrl.h>

#include <algorithm>

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

    bool ownMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override
    {
        if (Win32Control::ownMessage(window, message, wParam, lParam, result))
            return true;
        switch (message) {
        case WM_PAINT:
        case WM_PRINTCLIENT: {
            if (!showsFocusAroundBox())
                return false;
            result = DefSubclassProc(window, message, wParam, lParam);
            HDC dc = message == WM_PRINTCLIENT ? reinterpret_cast<HDC>(wParam) : GetDC(window);
            drawFocusAroundBox(dc);
            if (message == WM_PAINT)
                ReleaseDC(window, dc);
            return true;
        }
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
        case WM_UPDATEUISTATE:
            // The window draws its focus change itself, around no caption:
            // the whole box is drawn again, with or without the rectangle.
            result = DefSubclassProc(window, message, wParam, lParam);
            if (GetWindowTextLengthW(window) == 0)
                InvalidateRect(window, nullptr, TRUE);
            return true;
        default:
            return false;
        }
    }

private:
    bool showsFocusAroundBox() const
    {
        return GetFocus() == handle() && GetWindowTextLengthW(handle()) == 0
            && (SendMessageW(handle(), WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS) == 0;
    }

    // The box stands at the window's left edge, centred from top to bottom,
    // 13 pixels wide and high at 96 dots per inch; the rectangle keeps a
    // pixel of space around it, inside the window.
    void drawFocusAroundBox(HDC dc) const
    {
        RECT client;
        GetClientRect(handle(), &client);
        int box = MulDiv(13, GetDeviceCaps(dc, LOGPIXELSY), 96);
        int top = (client.bottom - box) / 2;
        RECT around { 0, top - 2, box + 2, top + box + 2 };
        around.left = std::max(around.left, client.left);
        around.top = std::max(around.top, client.top);
        around.right = std::min(around.right, client.right);
        around.bottom = std::min(around.bottom, client.bottom);
        DrawFocusRect(dc, &around);
    }
};

} // namespace

std::unique_ptr<Win32Control> createCheckBox(HWND parent, backend::NativeEvents& events)
{
    return std::make_unique<CheckBoxControl>(parent, events);
}

} // namespace platform::win32
