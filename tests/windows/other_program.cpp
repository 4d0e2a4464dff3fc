// Another Windows program beside zandreth.scr, for its whole-program tests
// under Wine (tests/windows_program): what other programs and the window system do to a running
// screen saver.
//
//   other_program activate
//       Shows a window of its own and makes it the active window, as a
//       program that comes to the front does; keeps it for a minute.
//   other_program moves-in-place COUNT
//   other_program moves COUNT
//       Sends run mode's window (the window captioned "Form1") COUNT
//       mouse-move messages, each handled before the next goes: all at one place, as Windows sends them when
//       windows appear, disappear or move under a pointer at rest, or each
//       at a new place, as a moving pointer brings them.
//   other_program dpi
//       Prints the dots per inch a program that declares itself aware of
//       them is told: the screen's (GetDeviceCaps) and the primary
//       monitor's (GetDpiForMonitor, 0 where there is none), as "144 144".
//
// Exit status 0 once done, 2 when run mode's window is not there, 1 for a
// command line it does not know.

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcW(window, message, wParam, lParam);
}

int activate()
{
    WNDCLASSW windowClass {};
    windowClass.lpfnWndProc = &procedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hbrBackground = GetSysColorBrush(COLOR_WINDOW);
    windowClass.lpszClassName = L"OtherProgram";
    RegisterClassW(&windowClass);
    HWND window = CreateWindowExW(0, L"OtherProgram", L"Other program", WS_OVERLAPPEDWINDOW, 100, 100, 300, 200,
                                  nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ShowWindow(window, SW_SHOWNORMAL);
    SetForegroundWindow(window);
    DWORD until = GetTickCount() + 60000;
    while (GetTickCount() < until) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        Sleep(20);
    }
    return 0;
}

int moves(int count, bool inPlace)
{
    HWND form = FindWindowW(nullptr, L"Form1");
    if (form == nullptr)
        return 2;
    for (int i = 0; i < count; ++i) {
        int x = inPlace ? 200 : 200 + 3 * i;
        // Each waits until the window has handled it, so that all have
        // been handled when this program ends.
        DWORD_PTR ignored = 0;
        SendMessageTimeoutW(form, WM_MOUSEMOVE, 0, MAKELPARAM(x, 150), SMTO_ABORTIFHUNG, 5000, &ignored);
        Sleep(20);
    }
    return 0;
}

int dpi()
{
    SetProcessDPIAware();
    HDC screen = GetDC(nullptr);
    int system = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    using GetDpiForMonitorFunction = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
    UINT monitorX = 0;
    UINT monitorY = 0;
    if (HMODULE shcore = LoadLibraryW(L"shcore.dll"))
        if (auto getDpiForMonitor = reinterpret_cast<GetDpiForMonitorFunction>(
                reinterpret_cast<void*>(GetProcAddress(shcore, "GetDpiForMonitor"))))
            getDpiForMonitor(MonitorFromPoint({ 0, 0 }, MONITOR_DEFAULTTOPRIMARY), 0, &monitorX, &monitorY);
    std::printf("%d %u\n", system, monitorX);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 2 && std::strcmp(argv[1], "activate") == 0)
        return activate();
    if (argc == 3 && std::strcmp(argv[1], "moves-in-place") == 0)
        return moves(std::atoi(argv[2]), true);
    if (argc == 2 && std::strcmp(argv[1], "dpi") == 0)
        return dpi();
    if (argc == 3 && std::strcmp(argv[1], "moves") == 0)
        return moves(std::atoi(argv[2]), false);
    return 1;
}
