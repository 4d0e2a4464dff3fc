#pragma once

// ImmAssociateContext: which keyboard input context (input method) a window
// has. Every window starts with the default context; associating the null
// context detaches the input method from the window (no composition window,
// keys arrive as plain key events); handing back the returned context
// restores the previous association.

#include "platform/forms/backend.h"

#include <cstdint>

namespace platform {

using InputContext = intptr_t;
inline constexpr InputContext kNullInputContext = 0;

InputContext ImmAssociateContext(backend::WindowHandle window, InputContext context);
InputContext currentInputContext(backend::WindowHandle window);

// Re-attaches the default input context to every window that had it taken
// away (the end of the program after a run-time error).
void restoreAllInputContexts();
// Drops what is known of a window's input context (its form is going away).
void forgetInputContext(backend::WindowHandle window);

} // namespace platform
