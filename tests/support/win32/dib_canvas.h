#pragma once

// A picture to draw into and read back, pixel for pixel: a top-down 32-bit
// DIB section selected into a memory device context of the screen's.

#include <windows.h>

#include <cstdint>

namespace testing_support::win32 {

class DibCanvas {
public:
    DibCanvas(int width, int height)
        : width_(width)
    {
        BITMAPINFO format {};
        format.bmiHeader.biSize = sizeof format.bmiHeader;
        format.bmiHeader.biWidth = width;
        format.bmiHeader.biHeight = -height;
        format.bmiHeader.biPlanes = 1;
        format.bmiHeader.biBitCount = 32;
        format.bmiHeader.biCompression = BI_RGB;
        screen_ = GetDC(nullptr);
        picture_ = CreateDIBSection(screen_, &format, DIB_RGB_COLORS, &bits_, nullptr, 0);
        dc_ = CreateCompatibleDC(screen_);
        previous_ = SelectObject(dc_, picture_);
    }

    ~DibCanvas()
    {
        SelectObject(dc_, previous_);
        DeleteDC(dc_);
        DeleteObject(picture_);
        ReleaseDC(nullptr, screen_);
    }

    DibCanvas(const DibCanvas&) = delete;
    DibCanvas& operator=(const DibCanvas&) = delete;

    HDC dc() const { return dc_; }
    // Lets what was drawn reach the picture's pixels.
    void flush() const { GdiFlush(); }
    // The pixel at (x, y), 0x00RRGGBB and what drawing left in the top byte.
    uint32_t at(int x, int y) const
    {
        return static_cast<const uint32_t*>(bits_)[static_cast<std::size_t>(y) * width_ + x];
    }

private:
    int width_;
    HDC screen_ = nullptr;
    HBITMAP picture_ = nullptr;
    HDC dc_ = nullptr;
    HGDIOBJ previous_ = nullptr;
    void* bits_ = nullptr;
};

} // namespace testing_support::win32
