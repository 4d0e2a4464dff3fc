#pragma once

#include <cstdint>

namespace platform {

// Colours as &H00BBGGRR& values. A value with the top bit set names a system
// colour: kButtonFace and kWindowText are the two this program uses.
using Colour = uint32_t;

inline constexpr Colour kButtonFace = 0x8000000F;
inline constexpr Colour kWindowText = 0x80000008;

} // namespace platform
