// The image and the picture box: static windows that show a bitmap compiled
// into the program (the map) or the program's icon, and hand the mouse over
// them to the rules; the map's pixels can be read and others shown in its
// place (its night side darkened).

#include "platform/forms/win32/win32_control.h"
#include "platform/forms/win32/win32_forms.h"

#include "platform/system/win32/wide_text.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
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

    // The bitmap shown, read back as 32-bit pixels, top row first.
    PixelPicture picturePixels() const override
    {
        BITMAP size {};
        if (bitmap_ == nullptr || GetObjectW(bitmap_, sizeof size, &size) == 0)
            return {};
        PixelPicture picture { size.bmWidth, size.bmHeight, {} };
        picture.pixels.resize(static_cast<std::size_t>(size.bmWidth) * static_cast<std::size_t>(size.bmHeight));
        BITMAPINFO format = pixelFormat(size.bmWidth, size.bmHeight, 32);
        HDC screen = GetDC(nullptr);
        int rows = GetDIBits(screen, bitmap_, 0, static_cast<UINT>(size.bmHeight), picture.pixels.data(), &format,
                             DIB_RGB_COLORS);
        ReleaseDC(nullptr, screen);
        if (rows != size.bmHeight)
            return {};
        for (uint32_t& pixel : picture.pixels)
            pixel &= 0x00FFFFFFu;
        return picture;
    }

    // The pixels become a 24-bit bitmap of their own: a static control of
    // common controls 6 would blend a 32-bit one by its alpha bytes.
    void setPicturePixels(const PixelPicture& picture) override
    {
        BITMAPINFO format = pixelFormat(picture.width, picture.height, 24);
        void* bits = nullptr;
        HBITMAP bitmap = CreateDIBSection(nullptr, &format, DIB_RGB_COLORS, &bits, nullptr, 0);
        if (bitmap == nullptr)
            return;
        const std::size_t stride = (static_cast<std::size_t>(picture.width) * 3 + 3) & ~std::size_t { 3 };
        const uint32_t* from = picture.pixels.data();
        for (int y = 0; y < picture.height; ++y) {
            auto* to = static_cast<uint8_t*>(bits) + static_cast<std::size_t>(y) * stride;
            for (int x = 0; x < picture.width; ++x, ++from) {
                *to++ = static_cast<uint8_t>(*from);
                *to++ = static_cast<uint8_t>(*from >> 8);
                *to++ = static_cast<uint8_t>(*from >> 16);
            }
        }
        GdiFlush();
        setStyle(SS_BITMAP);
        SendMessageW(handle(), STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap));
        if (bitmap_ != nullptr)
            DeleteObject(bitmap_);
        bitmap_ = bitmap;
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

    // Device-independent pixels of that depth, top row first.
    static BITMAPINFO pixelFormat(int width, int height, WORD bitsPerPixel)
    {
        BITMAPINFO format {};
        format.bmiHeader.biSize = sizeof format.bmiHeader;
        format.bmiHeader.biWidth = width;
        format.bmiHeader.biHeight = -height;
        format.bmiHeader.biPlanes = 1;
        format.bmiHeader.biBitCount = bitsPerPixel;
        format.bmiHeader.biCompression = BI_RGB;
        return format;
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
