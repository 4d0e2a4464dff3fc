// The platform's drivers for tests (platform/testing/hooks.h): a key on a form,
// typing into a list, the pixels of a control, each through the backend's
// own drivers (support/backend_drivers.h) on the control's native window.
// Built into the tests alone, never into the program.

#include "support/backend_drivers.h"
#include "platform/forms/combo_box.h"
#include "platform/forms/control.h"
#include "platform/forms/form.h"
#include "platform/testing/hooks.h"
#include "support/form_drivers.h"

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
