#pragma once

#include <cstdint>
#include <functional>

namespace platform {

// Arguments of the mouse and key events, as the forms runtime passes them:
// button 1 left, 2 right, 4 middle; shift 1 Shift, 2 Ctrl, 4 Alt; x and y in
// the scale units of the receiving form.
using MouseHandler = std::function<void(int16_t button, int16_t shift, float x, float y)>;

} // namespace platform
