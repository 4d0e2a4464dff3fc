#include "platform/app.h"

#include "platform/container.h"
#include "platform/qt/single_instance.h"
#include "platform/settings_folder.h"
#include "platform/testing.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QStringList>

#include <optional>

namespace platform {

Application App;
ScreenInfo Screen;

namespace {

std::optional<std::string>& testPath()
{
    static std::optional<std::string> path;
    return path;
}

std::optional<std::string>& testCommand()
{
    static std::optional<std::string> command;
    return command;
}

} // namespace

std::string Application::path() const
{
    if (testPath())
        return *testPath();
    // The first call may create the user's folder and copy the installed
    // catalogue into it; later calls find it there.
    return chooseSettingsFolder(QCoreApplication::applicationDirPath().toStdString(), userFoldersFromEnvironment());
}

bool Application::prevInstance() const { return anotherInstanceHolds(path()); }

std::string Application::title() const { return "Zandreth"; }
int16_t Application::major() const { return ZANDRETH_VERSION_MAJOR; }
int16_t Application::minor() const { return ZANDRETH_VERSION_MINOR; }
int16_t Application::revision() const { return ZANDRETH_VERSION_PATCH; }

void Application::setPathForTesting(const std::string& path) { testPath() = path; }

std::string Command()
{
    if (testCommand())
        return *testCommand();
    QStringList arguments = QCoreApplication::arguments();
    if (!arguments.isEmpty())
        arguments.removeFirst();
    return arguments.join(' ').toStdString();
}

void setCommandForTesting(const std::string& command) { testCommand() = command; }

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
