// What every control's window shares: its place, visibility, font, colours,
// tool tip and focus, the messages its parent hands back to it, and finding
// the control of a window.

#include "platform/forms/win32/win32_control.h"

#include "platform/system/win32/wide_text.h"

#include <commctrl.h>

namespace platform::win32 {

namespace {

// The window property that holds a control window's Win32Control.
constexpr wchar_t kControlProperty[] = L"Zandreth.Control";
// The window property of a top-level window that holds its tool tips.
constexpr wchar_t kToolTipProperty[] = L"Zandreth.ToolTips";

HWND toolTipsOf(HWND window)
{
    HWND root = GetAncestor(window, GA_ROOT);
    auto tips = static_cast<HWND>(GetPropW(root, kToolTipProperty));
    if (tips == nullptr) {
        tips = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, root, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
        SendMessageW(tips, TTM_SETMAXTIPWIDTH, 0, 600);
        SetPropW(root, kToolTipProperty, tips);
    }
    return tips;
}

HWND notifyingChild(UINT message, WPARAM wParam, LPARAM lParam)
{
    (void)wParam;
    switch (message) {
    case WM_COMMAND:
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSCROLLBAR:
        return reinterpret_cast<HWND>(lParam);
    case WM_NOTIFY:
        return reinterpret_cast<const NMHDR*>(lParam)->hwndFrom;
    case WM_DRAWITEM:
        return reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)->hwndItem;
    default:
        return nullptr;
    }
}

} // namespace

HWND windowOf(const backend::NativeWindow& window) { return dynamic_cast<const Win32Window&>(window).handle(); }

COLORREF colorRefOf(Colour colour)
{
    if (isSystemColour(colour))
        return GetSysColor(systemColourIndex(colour));
    Rgb rgb = rgbOf(colour);
    return RGB(rgb.red, rgb.green, rgb.blue);
}

Win32Control::Win32Control(HWND parent, const wchar_t* className, DWORD style, DWORD exStyle,
                           backend::NativeEvents& events)
    : events_(events)
    , foreColour_(GetSysColor(COLOR_WINDOWTEXT))
    , backColour_(GetSysColor(COLOR_BTNFACE))
{
    window_ = CreateWindowExW(exStyle, className, L"", WS_CHILD | WS_CLIPSIBLINGS | WS_VISIBLE | style, 0, 0, 0, 0,
                              parent, nullptr, GetModuleHandleW(nullptr), nullptr);
    SetPropW(window_, kControlProperty, this);
    watch(window_);
}

Win32Control::~Win32Control()
{
    if (IsWindow(window_)) {
        RemovePropW(window_, kControlProperty);
        DestroyWindow(window_);
    }
    if (backBrush_ != nullptr)
        DeleteObject(backBrush_);
}

void Win32Control::watch(HWND window)
{
    SetWindowSubclass(window, &Win32Control::watchedProcedure, 1, reinterpret_cast<DWORD_PTR>(this));
}

LRESULT CALLBACK Win32Control::watchedProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                                DWORD_PTR control)
{
    LRESULT result = 0;
    if (reinterpret_cast<Win32Control*>(control)->ownMessage(window, message, wParam, lParam, result))
        return result;
    if (message == WM_NCDESTROY)
        RemoveWindowSubclass(window, &Win32Control::watchedProcedure, 1);
    return DefSubclassProc(window, message, wParam, lParam);
}

bool forwardMouse(HWND window, backend::NativeEvents& events, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != WM_LBUTTONDOWN && message != WM_RBUTTONDOWN && message != WM_MBUTTONDOWN
        && message != WM_MOUSEMOVE)
        return false;
    int x = static_cast<short>(LOWORD(lParam));
    int y = static_cast<short>(HIWORD(lParam));
    backend::DispatchScope dispatch;
    if (message == WM_MOUSEMOVE) {
        POINT onScreen { x, y };
        ClientToScreen(window, &onScreen);
        events.nativeMouseMove(mouseButtonsOf(wParam), shiftState(), x, y, onScreen.x, onScreen.y);
    } else {
        int16_t button = message == WM_LBUTTONDOWN ? 1 : message == WM_RBUTTONDOWN ? 2 : 4;
        events.nativeMouseDown(button, shiftState(), x, y);
    }
    return true;
}

bool Win32Control::ownMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    (void)result;
    // The window goes on with the mouse as it would (a button pressed, a
    // list opened).
    forwardMouse(window, events_, message, wParam, lParam);
    return false;
}

bool Win32Control::paintMessage(UINT message, WPARAM wParam, LRESULT& result)
{
    switch (message) {
    case WM_ERASEBKGND:
        result = 1;
        return true;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window_, &paint);
        draw(dc);
        EndPaint(window_, &paint);
        result = 0;
        return true;
    }
    case WM_PRINTCLIENT:
        draw(reinterpret_cast<HDC>(wParam));
        result = 0;
        return true;
    default:
        return false;
    }
}

bool Win32Control::parentMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    (void)lParam;
    switch (message) {
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX: {
        auto dc = reinterpret_cast<HDC>(wParam);
        SetTextColor(dc, foreColour_);
        if (message == WM_CTLCOLOREDIT || message == WM_CTLCOLORLISTBOX) {
            // The edit field and the drop-down list keep the window colour.
            SetBkColor(dc, GetSysColor(COLOR_WINDOW));
            result = reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
            return true;
        }
        SetBkColor(dc, backColour_);
        result = reinterpret_cast<LRESULT>(backBrush_ != nullptr ? backBrush_ : GetSysColorBrush(COLOR_BTNFACE));
        return true;
    }
    default:
        return false;
    }
}

void Win32Control::setGeometry(const backend::PixelRect& rect)
{
    SetWindowPos(window_, nullptr, rect.x, rect.y, rect.width, rect.height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32Control::setVisible(bool visible) { ShowWindow(window_, visible ? SW_SHOWNA : SW_HIDE); }
void Win32Control::setEnabled(bool enabled) { EnableWindow(window_, enabled ? TRUE : FALSE); }

void Win32Control::setFont(const Font& font)
{
    SendMessageW(window_, WM_SETFONT, reinterpret_cast<WPARAM>(fontFor(font)), TRUE);
}

void Win32Control::setForeColor(Colour colour)
{
    foreColour_ = colorRefOf(colour);
    InvalidateRect(window_, nullptr, TRUE);
}

void Win32Control::setBackColor(Colour colour)
{
    backColour_ = colorRefOf(colour);
    if (backBrush_ != nullptr)
        DeleteObject(backBrush_);
    backBrush_ = CreateSolidBrush(backColour_);
    InvalidateRect(window_, nullptr, TRUE);
}

void Win32Control::setToolTip(const std::string& text) { setToolTipOf(window_, text); }

// The tool goes and comes back with its new text: asking for the tool's
// present text would copy it into a buffer of the new one's size.
void setToolTipOf(HWND window, const std::string& text)
{
    HWND tips = toolTipsOf(window);
    std::wstring wide = widen(text);
    TOOLINFOW tool {};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = GetParent(window);
    tool.uId = reinterpret_cast<UINT_PTR>(window);
    SendMessageW(tips, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    if (text.empty())
        return;
    tool.lpszText = wide.data();
    SendMessageW(tips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

void Win32Control::setFocus(bool byTab)
{
    (void)byTab;
    SetFocus(window_);
}

bool Win32Control::hasFocus() const
{
    HWND focus = GetFocus();
    return focus != nullptr && (focus == window_ || IsChild(window_, focus));
}

void Win32Control::raise() { SetWindowPos(window_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE); }

void Win32Control::setText(const std::string& text) { SetWindowTextW(window_, widen(text).c_str()); }

Win32Control* controlOf(HWND window)
{
    for (HWND at = window; at != nullptr; at = GetParent(at)) {
        if (auto* control = static_cast<Win32Control*>(GetPropW(at, kControlProperty)))
            return control;
        if ((GetWindowLongPtrW(at, GWL_STYLE) & WS_CHILD) == 0)
            break;
    }
    return nullptr;
}

bool reflectToControl(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    HWND child = notifyingChild(message, wParam, lParam);
    if (child == nullptr)
        return false;
    Win32Control* control = controlOf(child);
    return control != nullptr && control->parentMessage(message, wParam, lParam, result);
}

int16_t shiftState()
{
    int16_t shift = 0;
    if (GetKeyState(VK_SHIFT) < 0)
        shift |= 1;
    if (GetKeyState(VK_CONTROL) < 0)
        shift |= 2;
    if (GetKeyState(VK_MENU) < 0)
        shift |= 4;
    return shift;
}

// The program's key codes are the virtual keys themselves (VK_RETURN 13,
// VK_ESCAPE 27, 'A' 65, VK_PRIOR 33 ... VK_DOWN 40, VK_F1 112).
int16_t keyCodeOf(WPARAM virtualKey) { return static_cast<int16_t>(virtualKey & 0xFF); }

int16_t mouseButtonsOf(WPARAM wParam)
{
    int16_t buttons = 0;
    if (wParam & MK_LBUTTON)
        buttons |= 1;
    if (wParam & MK_RBUTTON)
        buttons |= 2;
    if (wParam & MK_MBUTTON)
        buttons |= 4;
    return buttons;
}

} // namespace platform::win32

namespace platform::win32 {

namespace {

const Font kDefaultFont { "MS UI Gothic", 9, false, 128 };

std::unique_ptr<Win32Control> createOf(backend::ControlKind kind, HWND window, backend::NativeEvents& events)
{
    using backend::ControlKind;
    switch (kind) {
    case ControlKind::Label:
        return createLabel(window, events);
    case ControlKind::Image:
        return createImage(window, events);
    case ControlKind::PictureBox:
        return createPictureBox(window, events);
    case ControlKind::Line:
        return createLine(window, events);
    case ControlKind::Frame:
        return createFrame(window, events);
    case ControlKind::CheckBox:
        return createCheckBox(window, events);
    case ControlKind::OptionButton:
        return createOptionButton(window, events);
    case ControlKind::CommandButton:
        return createCommandButton(window, events);
    case ControlKind::ComboBox:
        return createComboBox(window, events);
    case ControlKind::HScrollBar:
        return createHScrollBar(window, events);
    }
    return nullptr;
}

} // namespace

} // namespace platform::win32

namespace platform::backend {

std::unique_ptr<NativeControl> createControl(ControlKind kind, NativeWindow& parent, NativeEvents& events)
{
    using namespace platform::win32;
    HWND window = windowOf(parent);
    std::unique_ptr<Win32Control> control = createOf(kind, window, events);
    // A control starts in the forms' default font (a Japanese Gothic face,
    // as on Japanese Windows); a font of its own replaces it.
    if (control != nullptr)
        SendMessageW(control->handle(), WM_SETFONT, reinterpret_cast<WPARAM>(fontFor(kDefaultFont)), FALSE);
    return control;
}

} // namespace platform::backend
