#pragma once

#include <cstdint>

namespace platform {

// Colours as &H00BBGGRR& values. A value with the top bit set names a system
// colour by its index in the system's table of colours (the numbering of
// Windows' COLOR_ constants); kButtonFace and kWindowText are the two this
// program uses.
using Colour = uint32_t;

inline constexpr Colour kButtonFace = 0x8000000F;
inline constexpr Colour kWindowText = 0x80000008;

// The system colours a backend shows with its own means, by index.
enum class SystemColour { Window = 0x05, WindowText = 0x08, ButtonFace = 0x0F };

inline constexpr bool isSystemColour(Colour value) { return (value & 0x80000000u) != 0; }
// The index of a system colour in the system's table.
inline constexpr int systemColourIndex(Colour value) { return static_cast<int>(value & 0xFF); }

// The red, green and blue of a colour that is not a system colour.
struct Rgb {
    uint8_t red;
    uint8_t green;
    uint8_t blue;
};
inline constexpr Rgb rgbOf(Colour value)
{
    return { static_cast<uint8_t>(value & 0xFF), static_cast<uint8_t>((value >> 8) & 0xFF),
             static_cast<uint8_t>((value >> 16) & 0xFF) };
}

} // namespace platform
