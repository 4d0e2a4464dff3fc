// A form's top-level window: its frame and placement in pixels, showing and
// hiding it (modal: the program's other windows take no input meanwhile),
// its keys, mouse and close box, and its background.

#include "platform/forms/win32/win32_form.h"

#include "platform/runtime/runtime_error.h"
#include "platform/system/win32/wide_text.h"

#include <imm.h>

namespace platform::win32 {

namespace {

struct WindowList {
    ::HWND except;
    std::vector<::HWND> windows;
};

BOOL CALLBACK noteEnabledWindow(::HWND window, LPARAM list)
{
    auto& found = *reinterpret_cast<WindowList*>(list);
    if (window != found.except && IsWindowVisible(window) && IsWindowEnabled(window))
        found.windows.push_back(window);
    return TRUE;
}

} // namespace

WindowStyles windowStylesFor(const FormDesign& design)
{
    constexpr DWORD kCaptioned = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
    WindowStyles styles;
    switch (design.borderStyle) {
    case BorderStyle::None:
        styles.style = WS_POPUP;
        break;
    case BorderStyle::FixedDialog:
        styles.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
        styles.exStyle = WS_EX_DLGMODALFRAME;
        break;
    case BorderStyle::FixedSingle:
    case BorderStyle::Sizable:
        styles.style = kCaptioned;
        if (design.borderStyle == BorderStyle::Sizable)
            styles.style |= WS_THICKFRAME;
        if (design.minButton)
            styles.style |= WS_MINIMIZEBOX;
        if (design.maxButton)
            styles.style |= WS_MAXIMIZEBOX;
        break;
    }
    styles.style |= WS_CLIPCHILDREN;
    return styles;
}

backend::PixelRect outerRectFor(const WindowStyles& styles, const backend::PixelRect& client)
{
    RECT outer { client.x, client.y, client.x + client.width, client.y + client.height };
    AdjustWindowRectEx(&outer, styles.style, FALSE, styles.exStyle);
    return { outer.left, outer.top, outer.right - outer.left, outer.bottom - outer.top };
}

Win32Form::Win32Form(const FormDesign& design, backend::NativeEvents& events)
    : events_(events)
    , styles_(windowStylesFor(design))
    , inTaskbar_(design.showInTaskbar)
    , background_(CreateSolidBrush(colorRefOf(design.backColor)))
{
    window_ = CreateWindowExW(styles_.exStyle, kFormClass, widen(design.caption).c_str(), styles_.style,
                              CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr,
                              GetModuleHandleW(nullptr), this);
}

Win32Form::~Win32Form()
{
    endModality();
    if (IsWindow(window_)) {
        SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
        DestroyWindow(window_);
    }
    DeleteObject(background_);
}

Win32Form* Win32Form::of(::HWND window)
{
    wchar_t className[32] = {};
    if (window == nullptr || GetClassNameW(window, className, 32) == 0 || std::wstring_view(className) != kFormClass)
        return nullptr;
    return reinterpret_cast<Win32Form*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

LRESULT CALLBACK Win32Form::procedure(::HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* form = static_cast<Win32Form*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        form->window_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
    }
    auto* form = reinterpret_cast<Win32Form*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (form == nullptr)
        return DefWindowProcW(window, message, wParam, lParam);
    return form->onMessage(message, wParam, lParam);
}

LRESULT Win32Form::onMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    if (reflectToControl(message, wParam, lParam, result))
        return result;
    switch (message) {
    case WM_ERASEBKGND: {
        RECT client;
        GetClientRect(window_, &client);
        FillRect(reinterpret_cast<HDC>(wParam), &client, background_);
        return 1;
    }
    case WM_CLOSE: {
        // The form decides: its unload handler runs and the window goes with
        // it.
        backend::DispatchScope dispatch;
        events_.nativeCloseRequested();
        return 0;
    }
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: {
        {
            backend::DispatchScope dispatch;
            events_.nativeKeyDown(keyCodeOf(wParam), shiftState());
        }
        if (message == WM_SYSKEYDOWN && IsWindow(window_))
            break;
        return 0;
    }
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_MOUSEMOVE:
        forwardMouse(window_, events_, message, wParam, lParam);
        return 0;
    case WM_ACTIVATEAPP:
        if (wParam == FALSE) {
            backend::DispatchScope dispatch;
            events_.nativeActivationLost();
        }
        break;
    case WM_ACTIVATE: {
        // The focus leaves with the window and comes back to the same
        // control, as in a dialog.
        ::HWND focus = GetFocus();
        if (LOWORD(wParam) == WA_INACTIVE) {
            if (focus != nullptr && IsChild(window_, focus))
                lastFocus_ = focus;
        } else if (lastFocus_ != nullptr && IsWindow(lastFocus_) && IsChild(window_, lastFocus_)
                   && IsWindowVisible(lastFocus_) && IsWindowEnabled(lastFocus_)) {
            SetFocus(lastFocus_);
            return 0;
        }
        break;
    }
    case WM_DISPLAYCHANGE:
        if (coversScreen_)
            placeOverScreen();
        break;
    case WM_DPICHANGED: {
        // The window's monitor has another scale (the user changed it, or a
        // window was moved onto another monitor). A window covering the
        // screen keeps the whole screen, whose pixels do not move; its next
        // placement draws the picture at its monitor's new scale. A window
        // of a host's stays as the host made it. Any other window takes the
        // rectangle Windows suggests.
        if (coversScreen_)
            placeOverScreen();
        else if (host_ == nullptr && lParam != 0) {
            const RECT& suggested = *reinterpret_cast<const RECT*>(lParam);
            SetWindowPos(window_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                         suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
        }
        return 0;
    }
    default:
        break;
    }
    return DefWindowProcW(window_, message, wParam, lParam);
}

void Win32Form::setFocus(bool) { SetFocus(window_); }

void Win32Form::setCaption(const std::string& text) { SetWindowTextW(window_, widen(text).c_str()); }

backend::PixelRect Win32Form::clientArea() const
{
    RECT client;
    GetClientRect(window_, &client);
    POINT origin { 0, 0 };
    ClientToScreen(window_, &origin);
    return { origin.x, origin.y, client.right, client.bottom };
}

backend::PixelRect Win32Form::outerArea()
{
    RECT outer;
    GetWindowRect(window_, &outer);
    POINT at { outer.left, outer.top };
    if (!shown_ && placedAt_)
        at = *placedAt_;
    return { at.x, at.y, outer.right - outer.left, outer.bottom - outer.top };
}

void Win32Form::setClientSize(int width, int height)
{
    backend::PixelRect outer = outerRectFor(styles_, { 0, 0, width, height });
    SetWindowPos(window_, nullptr, 0, 0, outer.width, outer.height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32Form::placeOuter(int x, int y)
{
    placedAt_ = POINT { x, y };
    SetWindowPos(window_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32Form::show(backend::WindowDisplay display, bool modal)
{
    if (modal && disabled_.empty()) {
        WindowList others { window_, {} };
        EnumThreadWindows(GetCurrentThreadId(), &noteEnabledWindow, reinterpret_cast<LPARAM>(&others));
        for (::HWND other : others.windows)
            if (other != messageWindow())
                EnableWindow(other, FALSE);
        disabled_ = others.windows;
    }
    // A form kept out of the task bar belongs to the program's active
    // window, as a dialog does.
    ::HWND active = GetActiveWindow();
    if (owner_ != nullptr && !ownerHeld_ && IsWindow(owner_) && IsWindowEnabled(owner_)) {
        EnableWindow(owner_, FALSE);
        ownerHeld_ = true;
    }
    if (owner_ == nullptr && !inTaskbar_ && active != nullptr && active != window_ && Win32Form::of(active) != nullptr)
        SetWindowLongPtrW(window_, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(active));
    shown_ = true;
    if (display == backend::WindowDisplay::CoverScreen) {
        coverScreen();
        ShowWindow(window_, SW_SHOW);
    } else {
        if (placedAt_ && display == backend::WindowDisplay::Normal)
            SetWindowPos(window_, nullptr, placedAt_->x, placedAt_->y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        ShowWindow(window_, display == backend::WindowDisplay::Maximized ? SW_SHOWMAXIMIZED
                       : display == backend::WindowDisplay::Minimized    ? SW_SHOWMINIMIZED
                                                                         : SW_SHOWNORMAL);
    }
    SetForegroundWindow(window_);
    BringWindowToTop(window_);
    // The controls placed while the window was hidden are drawn now.
    RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

void Win32Form::setWindowState(backend::WindowDisplay display)
{
    if (display == backend::WindowDisplay::CoverScreen) {
        coverScreen();
        return;
    }
    if (!IsWindowVisible(window_))
        return;
    ShowWindow(window_, display == backend::WindowDisplay::Maximized ? SW_MAXIMIZE
                   : display == backend::WindowDisplay::Minimized    ? SW_MINIMIZE
                                                                     : SW_RESTORE);
}

void Win32Form::hide()
{
    shown_ = false;
    // The windows the form held come back before it goes, so that one of
    // them is activated in its place.
    endModality();
    ShowWindow(window_, SW_HIDE);
}

void Win32Form::endModality()
{
    if (ownerHeld_ && IsWindow(owner_))
        EnableWindow(owner_, TRUE);
    ownerHeld_ = false;
    for (::HWND other : disabled_)
        if (IsWindow(other))
            EnableWindow(other, TRUE);
    disabled_.clear();
}

void Win32Form::setOwner(uint64_t windowId)
{
    auto owner = reinterpret_cast<::HWND>(static_cast<uintptr_t>(windowId));
    if (windowId == 0 || !IsWindow(owner) || owner == window_)
        return;
    owner_ = owner;
    SetWindowLongPtrW(window_, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(owner_));
}

void Win32Form::setTabOrder(const std::vector<backend::NativeControl*>& order) { tabOrder_ = order; }

// The input method is detached by giving the window no input context, and
// attached again by handing back the one it had.
void Win32Form::setInputMethodEnabled(bool enabled)
{
    if (!enabled && !inputDetached_) {
        savedInputContext_ = ImmAssociateContext(window_, nullptr);
        inputDetached_ = true;
    } else if (enabled && inputDetached_) {
        if (savedInputContext_ != nullptr)
            ImmAssociateContext(window_, savedInputContext_);
        else
            ImmAssociateContextEx(window_, nullptr, IACE_DEFAULT);
        savedInputContext_ = nullptr;
        inputDetached_ = false;
    }
}

// The form becomes a plain child window of the given window, filling it. Window 0 (the root window of
// an X screen) is the whole screen here.
void Win32Form::hostIn(uint64_t windowId)
{
    if (windowId == 0) {
        coverScreen();
        return;
    }
    auto host = reinterpret_cast<::HWND>(static_cast<uintptr_t>(windowId));
    if (!IsWindow(host))
        raiseTypeMismatch("there is no window " + std::to_string(windowId) + " to show the picture in");
    styles_.style = (styles_.style & ~(WS_POPUP | WS_CAPTION | WS_THICKFRAME | WS_SYSMENU)) | WS_CHILD;
    styles_.exStyle &= ~static_cast<DWORD>(WS_EX_DLGMODALFRAME | WS_EX_TOOLWINDOW | WS_EX_TOPMOST);
    SetWindowLongPtrW(window_, GWL_STYLE, styles_.style);
    SetWindowLongPtrW(window_, GWL_EXSTYLE, styles_.exStyle);
    SetParent(window_, host);
    host_ = host;
    RECT area;
    GetClientRect(host, &area);
    SetWindowPos(window_, nullptr, 0, 0, area.right, area.bottom, SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void Win32Form::showInHost()
{
    shown_ = true;
    ShowWindow(window_, SW_SHOWNA);
}

// The form over the whole screen in place of a host's window has the
// screen's size for as long as it lives.
backend::PixelRect Win32Form::hostArea() const
{
    if (host_ == nullptr) {
        backend::PixelRect client = clientArea();
        return { 0, 0, client.width, client.height };
    }
    RECT area {};
    if (!IsWindow(host_) || !GetClientRect(host_, &area))
        return {};
    return { 0, 0, area.right, area.bottom };
}

void Win32Form::followHost(int width, int height)
{
    SetWindowPos(window_, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

} // namespace platform::win32

namespace platform::backend {

std::unique_ptr<NativeForm> createForm(const FormDesign& design, int clientWidth, int clientHeight,
                                       std::optional<PixelRect> clientAt, NativeEvents& events)
{
    auto form = std::make_unique<win32::Win32Form>(design, events);
    PixelRect outer = win32::outerRectFor(win32::windowStylesFor(design),
                                          { clientAt ? clientAt->x : 0, clientAt ? clientAt->y : 0, clientWidth,
                                            clientHeight });
    UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
    if (!clientAt)
        flags |= SWP_NOMOVE;
    SetWindowPos(form->handle(), nullptr, outer.x, outer.y, outer.width, outer.height, flags);
    return form;
}

} // namespace platform::backend
