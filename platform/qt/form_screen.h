#pragma once

namespace platform {

class Form;

// Shows a borderless maximised form over the whole screen and keeps it there
// (form_screen.cpp); the unload stops that and lets the keyboard and the
// mouse go.
void showCoveringScreen(Form& form);
void stopCoveringScreen(Form& form);

} // namespace platform
