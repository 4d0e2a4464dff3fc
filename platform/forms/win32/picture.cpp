// The image and the picture box: static windows that show a bitmap compiled
// into the program (the map) or the program's icon, and hand the mouse over
// them to the rules.

#include "platform/forms/win32/win32_control.h"
#include "platform/forms/win32/win32_forms.h"

#include "platform/system/win32/wide_text.h"

#include <algorithm>
#include <cwctype>

namespace platform::win32 {

namespace {

class Win32Picture : public Win32Control {
public:
    Win32Picture(::HWND parent, backend::NativeEvents& events)
        : Win32Control(parent, L"STATIC", SS_NOTIFY | SS_BITMAP, 0, events)
    {
    }

    ~Win32Picture() override
    {
        if (bitmap_ != nullptr)
            DeleteObject(bitmap_);
        if (icon_ != nullptr)
            DestroyIcon(icon_);
    }

    // The bitmap resource of that name (resource names are upper case), or
    // the missing picture.
    backend::PixelRect setPicture(const std::string& resourceName) override
    {
        std::wstring name = widen(resourceName);
        std::transform(name.begin(), name.end(), name.begin(), [](wchar_t c) { return std::towupper(c); });
        auto bitmap = static_cast<HBITMAP>(
            LoadImageW(GetModuleHandleW(nullptr), name.c_str(), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
        if (bitmap == nullptr)
            bitmap = filledBitmap(backend::kMissingPictureWidth, backend::kMissingPictureHeight,
                                  colorRefOf(backend::kMissingPictureColour));
        BITMAP size {};
        GetObjectW(bitmap, sizeof size, &size);
        setStyle(SS_BITMAP);
        SendMessageW(handle(), STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap));
        if (bitmap_ != nullptr)
            DeleteObject(bitmap_);
        bitmap_ = bitmap;
        return { 0, 0, size.bmWidth, size.bmHeight };
    }

    backend::PixelRect setProgramIcon() override
    {
        constexpr int kSize = 32;
        auto icon = static_cast<HICON>(
            LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kProgramIconId), IMAGE_ICON, kSize, kSize, 0));
        setStyle(SS_ICON);
        SendMessageW(handle(), STM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon));
        if (icon_ != nullptr)
            DestroyIcon(icon_);
        icon_ = icon;
        return { 0, 0, kSize, kSize };
    }

private:
    void setStyle(DWORD kind)
    {
        LONG_PTR style = GetWindowLongPtrW(handle(), GWL_STYLE);
        style = (style & ~static_cast<LONG_PTR>(SS_TYPEMASK)) | kind;
        SetWindowLongPtrW(handle(), GWL_STYLE, style);
    }

    static HBITMAP filledBitmap(int width, int height, COLORREF colour)
    {
        HDC screen = GetDC(nullptr);
        HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
        HDC dc = CreateCompatibleDC(screen);
        HGDIOBJ previous = SelectObject(dc, bitmap);
        RECT area { 0, 0, width, height };
        HBRUSH brush = CreateSolidBrush(colour);
        FillRect(dc, &area, brush);
        DeleteObject(brush);
        SelectObject(dc, previous);
        DeleteDC(dc);
        ReleaseDC(nullptr, screen);
        return bitmap;
    }

    HBITMAP bitmap_ = nullptr;
    HICON icon_ = nullptr;
};

} // namespace

std::unique_ptr<Win32Control> createImage(::HWND parent, backend::NativeEvents& events)
{
    return std::make_unique<Win32Picture>(parent, events);
}

std::unique_ptr<Win32Control> createPictureBox(::HWND parent, backend::NativeEvents& events)
{
    return std::make_unique<Win32Picture>(parent, events);
}

} // namespace platform::win32
