// A label: a static window that draws its caption itself, aligned and
// wrapped as the label says, in the colours the parent's WM_CTLCOLORSTATIC
// answer gives (the control's own), and that keeps the mouse for the rules.

#include "platform/forms/win32/win32_control.h"

#include "platform/forms/label.h"
#include "platform/system/win32/wide_text.h"

namespace platform::win32 {

namespace {

class Win32Label : public Win32Control {
public:
    Win32Label(::HWND parent, backend::NativeEvents& events)
        : Win32Control(parent, L"STATIC", SS_NOTIFY | SS_NOPREFIX, 0, events)
    {
    }

    void setText(const std::string& text) override
    {
        caption_ = widen(text);
        Win32Control::setText(text);
        InvalidateRect(handle(), nullptr, TRUE);
    }

    backend::PixelRect textExtent() const override
    {
        HDC dc = GetDC(handle());
        auto font = reinterpret_cast<HFONT>(SendMessageW(handle(), WM_GETFONT, 0, 0));
        HGDIOBJ previous = SelectObject(dc, font != nullptr ? font : GetStockObject(DEFAULT_GUI_FONT));
        TEXTMETRICW metrics {};
        GetTextMetricsW(dc, &metrics);
        RECT extent { 0, 0, 0, 0 };
        if (!caption_.empty())
            DrawTextW(dc, caption_.c_str(), static_cast<int>(caption_.size()), &extent,
                      DT_CALCRECT | DT_NOPREFIX | DT_EXPANDTABS);
        SelectObject(dc, previous);
        ReleaseDC(handle(), dc);
        int height = extent.bottom > metrics.tmHeight ? static_cast<int>(extent.bottom) : metrics.tmHeight;
        return { 0, 0, extent.right, height };
    }

    void setAlignment(Alignment alignment) override
    {
        alignment_ = alignment;
        InvalidateRect(handle(), nullptr, TRUE);
    }

    void setWordWrap(bool wrap) override
    {
        wrap_ = wrap;
        InvalidateRect(handle(), nullptr, TRUE);
    }

    bool ownMessage(::HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override
    {
        if (paintMessage(message, wParam, result))
            return true;
        return Win32Control::ownMessage(window, message, wParam, lParam, result);
    }

private:
    void draw(HDC dc) override
    {
        // The parent answers with the control's colours and brush.
        auto brush = reinterpret_cast<HBRUSH>(
            SendMessageW(GetParent(handle()), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                         reinterpret_cast<LPARAM>(handle())));
        RECT area;
        GetClientRect(handle(), &area);
        FillRect(dc, &area, brush != nullptr ? brush : GetSysColorBrush(COLOR_BTNFACE));
        if (!IsWindowEnabled(handle()))
            SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
        SetBkMode(dc, TRANSPARENT);
        auto font = reinterpret_cast<HFONT>(SendMessageW(handle(), WM_GETFONT, 0, 0));
        HGDIOBJ previous = SelectObject(dc, font != nullptr ? font : GetStockObject(DEFAULT_GUI_FONT));
        UINT format = DT_NOPREFIX | DT_EXPANDTABS | (wrap_ ? DT_WORDBREAK : 0);
        format |= alignment_ == Alignment::Center ? DT_CENTER : alignment_ == Alignment::Right ? DT_RIGHT : DT_LEFT;
        DrawTextW(dc, caption_.c_str(), static_cast<int>(caption_.size()), &area, format);
        SelectObject(dc, previous);
    }

    std::wstring caption_;
    Alignment alignment_ = Alignment::Left;
    bool wrap_ = false;
};

} // namespace

std::unique_ptr<Win32Control> createLabel(::HWND parent, backend::NativeEvents& events)
{
    return std::make_unique<Win32Label>(parent, events);
}

} // namespace platform::win32
