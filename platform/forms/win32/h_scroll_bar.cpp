// The horizontal scroll bar. The rules own its range, steps and value; the
// window shows them and turns the user's mouse into a new value: an arrow
// moves it by the small change, a click in the trough by the large change,
// the thumb wherever it is dragged (reported at every move, so what shows
// the value follows the thumb). Its keys are the rules' too, so the window
// does not act on them itself.

#include "platform/forms/win32/win32_control.h"

#include <algorithm>

namespace platform::win32 {

namespace {

class HScrollBarControl final : public Win32Control {
public:
    HScrollBarControl(HWND parent, backend::NativeEvents& events)
        : Win32Control(parent, L"SCROLLBAR", SBS_HORZ | WS_TABSTOP, 0, events)
    {
    }

    void setRange(int min, int max) override
    {
        min_ = min;
        max_ = std::max(min, max);
        value_ = std::clamp(value_, min_, max_);
        SCROLLINFO info { sizeof info, SIF_RANGE | SIF_POS | SIF_PAGE, min_, max_, 0, value_, 0 };
        SetScrollInfo(handle(), SB_CTL, &info, TRUE);
    }

    void setValue(int value) override
    {
        value_ = std::clamp(value, min_, max_);
        SCROLLINFO info { sizeof info, SIF_POS, 0, 0, 0, value_, 0 };
        SetScrollInfo(handle(), SB_CTL, &info, TRUE);
    }

    void setSteps(int small, int large) override
    {
        small_ = small;
        large_ = large;
    }

    bool parentMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override
    {
        if (message != WM_HSCROLL)
            return Win32Control::parentMessage(message, wParam, lParam, result);
        result = 0;
        int wanted = value_;
        switch (LOWORD(wParam)) {
        case SB_LINELEFT:
            wanted -= small_;
            break;
        case SB_LINERIGHT:
            wanted += small_;
            break;
        case SB_PAGELEFT:
            wanted -= large_;
            break;
        case SB_PAGERIGHT:
            wanted += large_;
            break;
        case SB_LEFT:
            wanted = min_;
            break;
        case SB_RIGHT:
            wanted = max_;
            break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION:
            // The message carries the low 16 bits of the thumb's position;
            // a range is never wider than that, so they name one value of it.
            wanted = min_ + static_cast<int>(static_cast<uint16_t>(HIWORD(wParam) - static_cast<uint16_t>(min_)));
            break;
        default:
            return true;
        }
        int value = std::clamp(wanted, min_, max_);
        if (value == value_)
            return true;
        setValue(value);
        backend::DispatchScope dispatch;
        events().nativeValueChanged(value);
        return true;
    }

    bool ownMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override
    {
        if (Win32Control::ownMessage(window, message, wParam, lParam, result))
            return true;
        if (message != WM_KEYDOWN && message != WM_KEYUP)
            return false;
        result = 0;
        return true;
    }

private:
    int min_ = 0;
    int max_ = 0;
    int value_ = 0;
    int small_ = 1;
    int large_ = 1;
};

} // namespace

std::unique_ptr<Win32Control> createHScrollBar(HWND parent, backend::NativeEvents& events)
{
    return std::make_unique<HScrollBarControl>(parent, events);
}

} // namespace platform::win32
