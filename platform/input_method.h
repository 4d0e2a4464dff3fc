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

} // namespace platform
