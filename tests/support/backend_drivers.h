#pragma once

// What tests do through the window system, which each toolkit backend
// implements for its tests alone: the program never calls these, and the
// implementations live beside the tests (tests/support/), not in the
// backend's own folder, so the program that users run does not hold them.

#include "platform/forms/backend.h"

#include <cstdint>
#include <string>
#include <vector>

namespace platform::backend {

// A key pressed and released on the form's focused window, with the shift
// keys of `shift` held (1 Shift, 2 Ctrl, 4 Alt).
void pressKey(NativeForm& form, int16_t keyCode, int16_t shift = 0);
// Text typed key by key into a combo box's edit field.
void typeKeys(NativeControl& comboBox, const std::string& text);
// The window as drawn now, rows of 0xAARRGGBB pixels, top row first.
std::vector<std::vector<uint32_t>> grabPixels(const NativeControl& control);

} // namespace platform::backend
