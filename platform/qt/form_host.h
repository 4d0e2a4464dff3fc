#pragma once

namespace platform {

class Form;

// Shows a form that hostIn() has put into a screen-saver host's window
// (form_host.cpp).
void showInHost(Form& form);

} // namespace platform
