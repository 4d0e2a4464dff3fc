#include "platform/cursor.h"

#include <QCursor>
#include <QGuiApplication>

namespace platform {

namespace {

struct CursorState {
    int32_t counter = 0;
    bool overridden = false;
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
    if (hide && !cursor.overridden) {
        QGuiApplication::setOverrideCursor(Qt::BlankCursor);
        cursor.overridden = true;
    } else if (!hide && cursor.overridden) {
        QGuiApplication::restoreOverrideCursor();
        cursor.overridden = false;
    }
}

} // namespace

int32_t ShowCursor(int32_t show)
{
    state().counter += show != 0 ? 1 : -1;
    apply();
    return state().counter;
}

bool cursorVisible() { return !state().overridden; }

void restoreCursor()
{
    if (state().counter < 0)
        state().counter = 0;
    apply();
}

} // namespace platform
