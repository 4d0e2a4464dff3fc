// The platform's drivers for tests (platform/testing.h): a key on a form,
// typing into a list, the pixels of a control, each through the backend's
// own drivers (platform/backend_testing.h) on the control's native window.
// Built into the tests alone, never into the program.

#include "platform/backend_testing.h"
#include "platform/combo_box.h"
#include "platform/control.h"
#include "platform/form.h"
#include "platform/testing.h"

namespace platform {

void pressKeyForTesting(Form& form, int16_t keyCode, int16_t shift)
{
    backend::pressKey(form.native(), keyCode, shift);
}

void typeForTesting(ComboBox& list, const std::string& text) { backend::typeKeys(list.native(), text); }

std::vector<std::vector<uint32_t>> pixelsForTesting(const Control& control)
{
    return backend::grabPixels(control.native());
}

} // namespace platform
