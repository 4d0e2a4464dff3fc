#pragma once

namespace platform {

// Re-attaches the default input context to every window that had it taken
// away (the end of the program after a run-time error).
void restoreAllInputContexts();

class Form;
// Drops what is known of a form's input context (the form is going away).
void forgetInputContext(Form* form);

} // namespace platform
