// A borderless form maximised over the whole screen: the virtual screen
// that every monitor makes up, above every other window, and the monitors
// it shows.

#include "platform/forms/win32/win32_form.h"

namespace platform::win32 {

namespace {

BOOL CALLBACK noteMonitor(HMONITOR monitor, HDC, LPRECT area, LPARAM list)
{
    reinterpret_cast<std::vector<backend::MonitorArea>*>(list)->push_back(
        { { area->left, area->top, area->right - area->left, area->bottom - area->top }, monitorScale(monitor) });
    return TRUE;
}

} // namespace

void Win32Form::coverScreen()
{
    if (!coversScreen_) {
        coversScreen_ = true;
        styles_.style = (styles_.style & ~(WS_CAPTION | WS_THICKFRAME | WS_SYSMENU)) | WS_POPUP;
        styles_.exStyle = (styles_.exStyle & ~static_cast<DWORD>(WS_EX_DLGMODALFRAME)) | WS_EX_TOPMOST;
        SetWindowLongPtrW(window_, GWL_STYLE, styles_.style);
        SetWindowLongPtrW(window_, GWL_EXSTYLE, styles_.exStyle);
    }
    placeOverScreen();
}

void Win32Form::placeOverScreen()
{
    int x = GetSystemMetrics(SM_XVIRTUALSCREEN);
    int y = GetSystemMetrics(SM_YVIRTUALSCREEN);
    int width = GetSystemMetrics(SM_CXVIRTUALSCREEN);
    int height = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    if (width <= 0 || height <= 0)
        return;
    SetWindowPos(window_, kTopmost, x, y, width, height, SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

std::vector<backend::MonitorArea> Win32Form::monitorAreas() const
{
    if (!coversScreen_)
        return {};
    std::vector<backend::MonitorArea> areas;
    EnumDisplayMonitors(nullptr, nullptr, &noteMonitor, reinterpret_cast<LPARAM>(&areas));
    return areas;
}

// The monitor the window is on (mostly), or the primary one.
double Win32Form::scale() const
{
    return monitorScale(MonitorFromWindow(window_, MONITOR_DEFAULTTOPRIMARY));
}

} // namespace platform::win32
