// The frame: a group box that holds controls. Its controls are child windows
// of its own window, so their notifications reach the frame's window, which
// hands them on to them as a form does; and it paints the ground under them
// in its back colour.

#include "platform/forms/win32/win32_control.h"

namespace platform::win32 {

namespace {

class FrameControl final : public Win32Control {
public:
    FrameControl(HWND parent, backend::NativeEvents& events)
        : Win32Control(parent, L"BUTTON", BS_GROUPBOX | WS_CLIPCHILDREN, WS_EX_CONTROLPARENT, events)
    {
    }

    bool ownMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override
    {
        if (Win32Control::ownMessage(window, message, wParam, lParam, result))
            return true;
        if (reflectToControl(message, wParam, lParam, result))
            return true;
        switch (message) {
        case WM_ERASEBKGND: {
            RECT area;
            GetClientRect(window, &area);
            HBRUSH brush = backBrush() != nullptr ? backBrush() : GetSysColorBrush(COLOR_BTNFACE);
            FillRect(reinterpret_cast<HDC>(wParam), &area, brush);
            result = 1;
            return true;
        }
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
        case WM_LBUTTONUP:
        case WM_RBUTTONDOWN:
        case WM_RBUTTONUP:
        case WM_MBUTTONDOWN:
        case WM_MBUTTONUP:
            // The rules have had the mouse; a button window would take the
            // focus and the mouse for itself.
            result = 0;
            return true;
        case WM_NCHITTEST:
            // A group box lets the mouse through to the window under it; this
            // frame takes it, as a container does.
            result = HTCLIENT;
            return true;
        default:
            return false;
        }
    }
};

} // namespace

std::unique_ptr<Win32Control> createFrame(HWND parent, backend::NativeEvents& events)
{
    return std::make_unique<FrameControl>(parent, events);
}

} // namespace platform::win32
