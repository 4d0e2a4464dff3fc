// What tests do through the Win32 window system: keys pressed on a form,
// text typed into a combo box, and a control's pixels. The messages are those
// the keyboard would bring, delivered as the program's message loop delivers
// them, so they go through the backend's own key handling to the rules.

#include "platform/forms/win32/win32_form.h"

#include "support/backend_drivers.h"
#include "support/win32/dib_canvas.h"
#include "platform/system/win32/wide_text.h"

namespace platform::backend {

using namespace platform::win32;

namespace {

// Holds the shift keys of `shift` down in the thread's keyboard state (what
// GetKeyState reads) until it goes out of scope.
class HeldShiftKeys {
public:
    explicit HeldShiftKeys(int16_t shift)
    {
        GetKeyboardState(saved_);
        BYTE held[256];
        GetKeyboardState(held);
        if (shift & 1)
            held[VK_SHIFT] |= 0x80;
        if (shift & 2)
            held[VK_CONTROL] |= 0x80;
        if (shift & 4)
            held[VK_MENU] |= 0x80;
        SetKeyboardState(held);
    }
    ~HeldShiftKeys() { SetKeyboardState(saved_); }
    HeldShiftKeys(const HeldShiftKeys&) = delete;
    HeldShiftKeys& operator=(const HeldShiftKeys&) = delete;

private:
    BYTE saved_[256] {};
};

} // namespace

// The key goes to the focused window of the form (the form's own window
// when none has the focus) through the loop's key handling; with Alt held
// it is a system key, as the keyboard brings it.
void pressKey(NativeForm& form, int16_t keyCode, int16_t shift)
{
    ::HWND window = windowOf(form);
    ::HWND focus = GetFocus();
    if (focus == nullptr || GetAncestor(focus, GA_ROOT) != window)
        focus = window;
    HeldShiftKeys held(shift);
    bool alt = (shift & 4) != 0;
    LPARAM altDown = alt ? (1 << 29) : 0;
    MSG press { focus, alt ? WM_SYSKEYDOWN : WM_KEYDOWN, static_cast<WPARAM>(keyCode), 1 | altDown, GetTickCount(), {} };
    deliverMessage(press);
    if (!IsWindow(focus))
        return;
    MSG release { focus, alt ? WM_SYSKEYUP : WM_KEYUP, static_cast<WPARAM>(keyCode),
                  static_cast<LPARAM>(0xC0000001) | altDown, GetTickCount(), {} };
    deliverMessage(release);
}

// Each character goes to the combo box's edit field as the keyboard types
// it.
void typeKeys(NativeControl& comboBox, const std::string& text)
{
    ::HWND box = windowOf(comboBox);
    ::HWND edit = FindWindowExW(box, nullptr, L"Edit", nullptr);
    ::HWND target = edit != nullptr ? edit : box;
    for (wchar_t character : widen(text)) {
        MSG typed { target, WM_CHAR, static_cast<WPARAM>(character), 1, GetTickCount(), {} };
        deliverMessage(typed);
        processPendingEvents();
    }
}

std::vector<std::vector<uint32_t>> grabPixels(const NativeControl& control)
{
    ::HWND window = windowOf(control);
    RECT area;
    GetClientRect(window, &area);
    int width = area.right;
    int height = area.bottom;
    std::vector<std::vector<uint32_t>> rows;
    if (width <= 0 || height <= 0)
        return rows;
    testing_support::win32::DibCanvas canvas(width, height);
    // The window paints itself into the picture, covered or not.
    if (!PrintWindow(window, canvas.dc(), PW_CLIENTONLY)) {
        HDC source = GetDC(window);
        BitBlt(canvas.dc(), 0, 0, width, height, source, 0, 0, SRCCOPY);
        ReleaseDC(window, source);
    }
    canvas.flush();
    for (int y = 0; y < height; ++y) {
        std::vector<uint32_t> row(static_cast<std::size_t>(width));
        for (int x = 0; x < width; ++x)
            row[static_cast<std::size_t>(x)] = canvas.at(x, y) | 0xFF000000u;
        rows.push_back(std::move(row));
    }
    return rows;
}

} // namespace platform::backend
