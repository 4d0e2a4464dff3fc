#include "platform/app.h"

#include "platform/backend.h"
#include "platform/container.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QStringList>

namespace platform {

ScreenInfo Screen;

std::string backend::programFolder() { return QCoreApplication::applicationDirPath().toStdString(); }

std::string backend::commandTail()
{
    QStringList arguments = QCoreApplication::arguments();
    if (!arguments.isEmpty())
        arguments.removeFirst();
    return arguments.join(' ').toStdString();
}

float ScreenInfo::width() const
{
    QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry().width() * twipsPerPixel() : 0;
}

float ScreenInfo::height() const
{
    QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry().height() * twipsPerPixel() : 0;
}

} // namespace platform
