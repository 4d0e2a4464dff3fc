#include "platform/forms/cursor.h"

#include "platform/forms/backend.h"

namespace platform {

namespace {

// The display counter of ShowCursor: the pointer is hidden while it is below
// zero.
struct CursorState {
    int32_t counter = 0;
    bool hidden = false;
};

CursorState& state()
{
    static CursorState cursor;
    return cursor;
}

void apply()
{
    auto& cursor = state();
    bool hide = cursor.counter < 0;
    if (hide != cursor.hidden) {
        backend::setPointerHidden(hide);
        cursor.hidden = hide;
    }
}

} // namespace

int32_t ShowCursor(int32_t show)
{
    state().counter += show != 0 ? 1 : -1;
    apply();
    return state().counter;
}

bool cursorVisible() { return !state().hidden; }

void restoreCursor()
{
    if (state().counter < 0)
        state().counter = 0;
    apply();
}

} // namespace platform
