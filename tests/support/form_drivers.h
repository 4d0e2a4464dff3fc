#pragma once

// What tests do through the window system, on the backend's drivers for
// tests (support/backend_drivers.h). They are built into the tests alone
// (zandreth_test_drivers), never into the program.

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

class ComboBox;
class Control;
class Form;

// A key (classic key code: 13 Enter, 27 Esc, 9 Tab, 32 Space, 33 Page Up, 34
// Page Down, 35 End, 36 Home, 37 to 40 the arrows, the letters and digits)
// pressed and released on the form, as the keyboard would: it goes to the
// control that has the focus (to the form itself when none has), and what
// that control does not use goes on to its container and to the form.
// `shift` holds the shift keys down meanwhile (1 Shift, 2 Ctrl, 4 Alt).
void pressKeyForTesting(Form& form, int16_t keyCode, int16_t shift = 0);

// Types `text` into the list's edit field key by key, as the user would.
void typeForTesting(ComboBox& list, const std::string& text);

// The control as it is drawn now, one row of 0xAARRGGBB pixels after the
// other, top row first.
std::vector<std::vector<uint32_t>> pixelsForTesting(const Control& control);

} // namespace platform
