// The image and the picture box: static windows that draw a bitmap compiled
// into the program (the map) or the program's icon filling their size in
// device pixels, and hand the mouse over them to the rules; the map's pixels
// can be read and others shown in its place (its night side darkened).
//
// A picture drawn larger than its own pixels is drawn from its finer copy
// (bitmap "MAP-2X" for "MAP") where the program has one. A copy of another
// size than the window is scaled once, when the copy or the window's size
// changes, and painted from there; the icon is taken at the window's size
// from the sizes the program's icon holds.

#include "platform/forms/win32/win32_control.h"
#include "platform/forms/win32/win32_forms.h"

#include "platform/system/win32/wide_text.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cwctype>

namespace platform::win32 {

namespace {

// A bitmap the picture owns, deleted with it or when replaced.
class OwnedBitmap {
public:
    OwnedBitmap() = default;
    explicit OwnedBitmap(HBITMAP bitmap)
        : bitmap_(bitmap)
    {
    }
    ~OwnedBitmap() { reset(); }
    OwnedBitmap(const OwnedBitmap&) = delete;
    OwnedBitmap& operator=(const OwnedBitmap&) = delete;
    OwnedBitmap& operator=(OwnedBitmap&& other) noexcept
    {
        if (this != &other) {
            reset();
            bitmap_ = other.bitmap_;
            other.bitmap_ = nullptr;
        }
        return *this;
    }

    HBITMAP get() const { return bitmap_; }
    void reset()
    {
        if (bitmap_ != nullptr)
            DeleteObject(bitmap_);
        bitmap_ = nullptr;
    }

private:
    HBITMAP bitmap_ = nullptr;
};

SIZE sizeOf(HBITMAP bitmap)
{
    BITMAP size {};
    if (bitmap == nullptr || GetObjectW(bitmap, sizeof size, &size) == 0)
        return { 0, 0 };
    return { size.bmWidth, size.bmHeight };
}

HBITMAP loadBitmap(const std::wstring& name)
{
    return static_cast<HBITMAP>(
        LoadImageW(GetModuleHandleW(nullptr), name.c_str(), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
}

class Win32Picture : public Win32Control {
public:
    Win32Picture(::HWND parent, backend::NativeEvents& events)
        : Win32Control(parent, L"STATIC", SS_NOTIFY | SS_BITMAP, 0, events)
    {
    }

    ~Win32Picture() override
    {
        if (icon_ != nullptr)
            DestroyIcon(icon_);
    }

    void setGeometry(const backend::PixelRect& rect) override
    {
        Win32Control::setGeometry(rect);
        if (showsIcon_)
            loadIcon();
        InvalidateRect(handle(), nullptr, FALSE);
    }

    // The bitmap resource of that name (resource names are upper case) and
    // its finer copy, or the missing picture.
    backend::PixelRect setPicture(const std::string& resourceName) override
    {
        std::wstring name = widen(resourceName);
        std::transform(name.begin(), name.end(), name.begin(), [](wchar_t c) { return std::towupper(c); });
        HBITMAP own = loadBitmap(name);
        HBITMAP finer = own != nullptr ? loadBitmap(name + L"-2X") : nullptr;
        if (own == nullptr)
            own = filledBitmap(backend::kMissingPictureWidth, backend::kMissingPictureHeight,
                               colorRefOf(backend::kMissingPictureColour));
        own_ = OwnedBitmap(own);
        finer_ = OwnedBitmap(finer);
        shown_.reset();
        scaled_.reset();
        showIcon(false);
        setStyle(SS_BITMAP);
        InvalidateRect(handle(), nullptr, FALSE);
        SIZE size = sizeOf(own_.get());
        return { 0, 0, size.cx, size.cy };
    }

    // The copy of the picture that fills the window now, read back as
    // 32-bit pixels, top row first, whatever setPicturePixels shows.
    PixelPicture picturePixels() const override
    {
        HBITMAP copy = pictureCopy();
        SIZE size = sizeOf(copy);
        if (size.cx <= 0 || size.cy <= 0)
            return {};
        PixelPicture picture { size.cx, size.cy, {} };
        picture.pixels.resize(static_cast<std::size_t>(size.cx) * static_cast<std::size_t>(size.cy));
        BITMAPINFO format = pixelFormat(size.cx, size.cy, 32);
        HDC screen = GetDC(nullptr);
        int rows = GetDIBits(screen, copy, 0, static_cast<UINT>(size.cy), picture.pixels.data(), &format,
                             DIB_RGB_COLORS);
        ReleaseDC(nullptr, screen);
        if (rows != size.cy)
            return {};
        for (uint32_t& pixel : picture.pixels)
            pixel &= 0x00FFFFFFu;
        return picture;
    }

    // The pixels become a 24-bit bitmap of their own, drawn in the
    // picture's place, filling the window.
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
        shown_ = OwnedBitmap(bitmap);
        scaled_.reset();
        showIcon(false);
        setStyle(SS_BITMAP);
        InvalidateRect(handle(), nullptr, FALSE);
    }

    // The icon at 32 x 32 pixels, drawn at the window's size from the icon's
    // nearest size.
    backend::PixelRect setProgramIcon() override
    {
        constexpr int kSize = 32;
        own_.reset();
        finer_.reset();
        shown_.reset();
        scaled_.reset();
        showIcon(true);
        loadIcon();
        setStyle(SS_ICON);
        InvalidateRect(handle(), nullptr, FALSE);
        return { 0, 0, kSize, kSize };
    }

    bool ownMessage(::HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override
    {
        if (paintMessage(message, wParam, result))
            return true;
        return Win32Control::ownMessage(window, message, wParam, lParam, result);
    }

private:
    SIZE windowSize() const
    {
        RECT area {};
        GetClientRect(handle(), &area);
        return { area.right, area.bottom };
    }

    // The copy of the picture for the window's width: the finer one where
    // the window is wider than the picture's own pixels.
    HBITMAP pictureCopy() const
    {
        if (finer_.get() != nullptr && windowSize().cx > sizeOf(own_.get()).cx)
            return finer_.get();
        return own_.get();
    }

    void draw(HDC dc) override
    {
        SIZE window = windowSize();
        if (window.cx <= 0 || window.cy <= 0)
            return;
        if (showsIcon_) {
            // The parent answers with the control's colours and brush.
            auto brush = reinterpret_cast<HBRUSH>(
                SendMessageW(GetParent(handle()), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                             reinterpret_cast<LPARAM>(handle())));
            RECT area { 0, 0, window.cx, window.cy };
            FillRect(dc, &area, brush != nullptr ? brush : GetSysColorBrush(COLOR_BTNFACE));
            if (icon_ != nullptr)
                DrawIconEx(dc, 0, 0, icon_, window.cx, window.cy, 0, nullptr, DI_NORMAL);
            return;
        }
        HBITMAP source = shown_.get() != nullptr ? shown_.get() : pictureCopy();
        if (source == nullptr)
            return;
        SIZE size = sizeOf(source);
        if (size.cx != window.cx || size.cy != window.cy) {
            if (scaled_.get() == nullptr || scaledFrom_ != source || scaledSize_.cx != window.cx
                || scaledSize_.cy != window.cy) {
                scaled_ = OwnedBitmap(scaledCopy(source, size, window));
                scaledFrom_ = source;
                scaledSize_ = window;
            }
            if (scaled_.get() != nullptr)
                source = scaled_.get();
        }
        HDC from = CreateCompatibleDC(dc);
        HGDIOBJ previous = SelectObject(from, source);
        BitBlt(dc, 0, 0, window.cx, window.cy, from, 0, 0, SRCCOPY);
        SelectObject(from, previous);
        DeleteDC(from);
    }

    // `source` (of `size`) scaled to `target` with Windows' averaging of
    // the pixels each device pixel covers.
    static HBITMAP scaledCopy(HBITMAP source, SIZE size, SIZE target)
    {
        HDC screen = GetDC(nullptr);
        HBITMAP copy = CreateCompatibleBitmap(screen, target.cx, target.cy);
        if (copy != nullptr) {
            HDC from = CreateCompatibleDC(screen);
            HDC to = CreateCompatibleDC(screen);
            HGDIOBJ previousFrom = SelectObject(from, source);
            HGDIOBJ previousTo = SelectObject(to, copy);
            SetStretchBltMode(to, HALFTONE);
            SetBrushOrgEx(to, 0, 0, nullptr);
            StretchBlt(to, 0, 0, target.cx, target.cy, from, 0, 0, size.cx, size.cy, SRCCOPY);
            SelectObject(to, previousTo);
            SelectObject(from, previousFrom);
            DeleteDC(to);
            DeleteDC(from);
        }
        ReleaseDC(nullptr, screen);
        return copy;
    }

    void showIcon(bool shows)
    {
        showsIcon_ = shows;
        if (!shows && icon_ != nullptr) {
            DestroyIcon(icon_);
            icon_ = nullptr;
            iconSize_ = 0;
        }
    }

    // The program's icon at the window's size (32 x 32 before it has one),
    // made from the nearest size the icon holds.
    void loadIcon()
    {
        constexpr int kSize = 32;
        SIZE window = windowSize();
        int size = window.cx > 0 && window.cy > 0 ? std::min(window.cx, window.cy) : kSize;
        if (icon_ != nullptr && size == iconSize_)
            return;
        auto icon = static_cast<HICON>(
            LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kProgramIconId), IMAGE_ICON, size, size, 0));
        if (icon_ != nullptr)
            DestroyIcon(icon_);
        icon_ = icon;
        iconSize_ = size;
    }

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

    // The picture's own pixels and its finer copy (none where the program
    // has none), the pixels shown in their place, and the copy scaled to
    // the window's size (of scaledFrom_, at scaledSize_).
    OwnedBitmap own_;
    OwnedBitmap finer_;
    OwnedBitmap shown_;
    OwnedBitmap scaled_;
    HBITMAP scaledFrom_ = nullptr;
    SIZE scaledSize_ { 0, 0 };
    bool showsIcon_ = false;
    HICON icon_ = nullptr;
    int iconSize_ = 0;
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
