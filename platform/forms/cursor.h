#pragma once

#include <cstdint>

namespace platform {

// ShowCursor: a display counter, starting at 0; show (non-zero) adds 1,
// hide (0) takes 1 away; the mouse cursor is hidden over the program's
// windows while the counter is below 0. Returns the new counter.
int32_t ShowCursor(int32_t show);

bool cursorVisible();
// Shows the cursor whatever the counter says (the end of the program).
void restoreCursor();

} // namespace platform
