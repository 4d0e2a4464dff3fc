#include "platform/backend.h"

#include <QCursor>
#include <QGuiApplication>

namespace platform::backend {

void setPointerHidden(bool hidden)
{
    if (hidden)
        QGuiApplication::setOverrideCursor(Qt::BlankCursor);
    else
        QGuiApplication::restoreOverrideCursor();
}

} // namespace platform::backend
