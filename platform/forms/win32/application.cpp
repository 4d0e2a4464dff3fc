// The forms backend on Win32 (Windows, zandreth.scr).
//
// Implements every call of platform/forms/backend.h with plain windows of user32,
// gdi32, comctl32 and imm32: forms, the controls of the common controls,
// timers on a message-only window, event loops, the message box, the screen
// and the pointer.
//
// Where it differs from the Qt backend:
// - A form hosted in another window becomes a child window of it, drawn at
//   its own size; window 0 covers the screen. (The X11 switches that ask for
//   hosting are Linux's.)
// - A covering window is topmost and stays on top by itself: holdOnTop and
//   repaintHostView keep the backend's defaults, which do nothing.
// - setOwner makes the settings dialog belong to the window of Windows'
//   screen-saver settings ("/c:HWND"), which waits while it is shown.
//
// This file: the window classes and the common controls, the windows of the
// program as a whole, the screen and the pointer.

#include "platform/forms/win32/win32_form.h"

#include <commctrl.h>

namespace platform::win32 {

namespace {

constexpr wchar_t kMessageClass[] = L"Zandreth.Messages";

::HWND& messageWindowHandle()
{
    static ::HWND window = nullptr;
    return window;
}

void registerClasses()
{
    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW form {};
    form.cbSize = sizeof form;
    form.style = CS_DBLCLKS;
    form.lpfnWndProc = &Win32Form::procedure;
    form.hInstance = instance;
    form.hIcon = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(kProgramIconId), IMAGE_ICON,
                                               GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), 0));
    form.hIconSm = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(kProgramIconId), IMAGE_ICON,
                                                 GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
    form.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    form.lpszClassName = kFormClass;
    RegisterClassExW(&form);

    WNDCLASSEXW messages {};
    messages.cbSize = sizeof messages;
    messages.lpfnWndProc = &DefWindowProcW;
    messages.hInstance = instance;
    messages.lpszClassName = kMessageClass;
    RegisterClassExW(&messages);
}

BOOL CALLBACK hideWindow(::HWND window, LPARAM)
{
    if (window != messageWindowHandle() && IsWindowVisible(window))
        ShowWindow(window, SW_HIDE);
    return TRUE;
}

} // namespace

::HWND messageWindow()
{
    ::HWND& window = messageWindowHandle();
    if (window == nullptr)
        window = CreateWindowExW(0, kMessageClass, L"", 0, 0, 0, 0, 0, kMessageOnly, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
    return window;
}

} // namespace platform::win32

namespace platform::backend {

using namespace platform::win32;

void startApplication(int& argc, char** argv)
{
    (void)argc, (void)argv;
    INITCOMMONCONTROLSEX controls { sizeof controls, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES };
    InitCommonControlsEx(&controls);
    registerClasses();
    messageWindow();
}

void stopApplication()
{
    ::HWND& window = messageWindowHandle();
    if (window != nullptr)
        DestroyWindow(window);
    window = nullptr;
}

void hideAllWindows() { EnumThreadWindows(GetCurrentThreadId(), &hideWindow, 0); }

double dotsPerInch() { return screenDotsPerInch(); }

double screenScale() { return win32::monitorScale(MonitorFromPoint({ 0, 0 }, MONITOR_DEFAULTTOPRIMARY)); }

// Windows' screen-saver settings start the program with "/s", "/c" and
// "/p HWND" alone: the X11 hosts' switches are unknown ones here.
bool hostSwitchesExist() { return false; }

PixelRect screenArea() { return { 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN) }; }

// The system's display counter of the pointer: hidden while below zero,
// over every window of the program.
void setPointerHidden(bool hidden) { ShowCursor(hidden ? FALSE : TRUE); }

} // namespace platform::backend
