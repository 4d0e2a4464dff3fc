// A line: a small window of its own class that paints the horizontal rule
// in its colour and pen width, and lets the mouse through to the form.

#include "platform/forms/win32/win32_control.h"

#include <algorithm>

namespace platform::win32 {

namespace {

constexpr wchar_t kLineClass[] = L"Zandreth.Line";

const wchar_t* lineClass()
{
    static bool registered = [] {
        WNDCLASSEXW line {};
        line.cbSize = sizeof line;
        line.lpfnWndProc = &DefWindowProcW;
        line.hInstance = GetModuleHandleW(nullptr);
        line.lpszClassName = kLineClass;
        return RegisterClassExW(&line) != 0;
    }();
    (void)registered;
    return kLineClass;
}

class Win32Line : public Win32Control {
public:
    Win32Line(::HWND parent, backend::NativeEvents& events)
        : Win32Control(parent, lineClass(), 0, 0, events)
    {
    }

    void setLineStyle(Colour colour, int penWidth) override
    {
        colour_ = colorRefOf(colour);
        penWidth_ = std::max(penWidth, 1);
        InvalidateRect(handle(), nullptr, TRUE);
    }

    bool ownMessage(::HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override
    {
        if (message == WM_NCHITTEST) {
            result = HTTRANSPARENT;
            return true;
        }
        if (paintMessage(message, wParam, result))
            return true;
        return Win32Control::ownMessage(window, message, wParam, lParam, result);
    }

private:
    void draw(HDC dc) override
    {
        RECT area;
        GetClientRect(handle(), &area);
        area.bottom = std::min<LONG>(area.bottom, penWidth_);
        HBRUSH brush = CreateSolidBrush(colour_);
        FillRect(dc, &area, brush);
        DeleteObject(brush);
    }

    COLORREF colour_ = RGB(0, 0, 0);
    int penWidth_ = 1;
};

} // namespace

std::unique_ptr<Win32Control> createLine(::HWND parent, backend::NativeEvents& events)
{
    return std::make_unique<Win32Line>(parent, events);
}

} // namespace platform::win32
