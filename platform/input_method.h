#pragma once

// ImmAssociateContext: which keyboard input context (input method) a window
// has. Every window starts with the default context; associating the null
// context detaches the input method from the window (no composition window,
// keys arrive as plain key events); handing back the returned context
// restores the previous association.

#include "platform/form.h"

#include <cstdint>

namespace platform {

using HIMC = intptr_t;
inline constexpr HIMC kNullInputContext = 0;

HIMC ImmAssociateContext(HWND window, HIMC context);
HIMC currentInputContext(HWND window);

// Re-attaches the default input context to every window that had it taken
// away (the end of the program after a run-time error).
void restoreAllInputContexts();
// Drops what is known of a form's input context (the form is going away).
void forgetInputContext(HWND window);

} // namespace platform
