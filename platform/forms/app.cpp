#include "platform/forms/app.h"

#include "platform/forms/backend.h"
#include "platform/forms/container.h"
#include "platform/forms/runtime.h"
#include "platform/profile/settings_folder.h"
#include "platform/system/files.h"
#include "platform/system/program.h"
#include "platform/testing/hooks.h"

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

FileReplaceFailure& copyFailure()
{
    static FileReplaceFailure failure;
    return failure;
}

} // namespace

std::string Application::path() const
{
    if (testPath())
        return *testPath();
    // The first call may create the user's folder and copy the installed
    // catalogue into it; later calls find it there.
    return chooseSettingsFolder(system::programFolder(Runtime::current().arguments()), userFoldersFromEnvironment(),
                                copyFailure());
}

FileReplaceFailure Application::settingsCopyFailure() const { return copyFailure(); }

bool Application::prevInstance() const { return system::anotherInstanceHolds(path()); }

std::string Application::title() const { return std::string(kProgramTitle); }
int16_t Application::major() const { return programVersion().major; }
int16_t Application::minor() const { return programVersion().minor; }
int16_t Application::revision() const { return programVersion().revision; }

void setAppPathForTesting(const std::string& path)
{
    testPath() = path;
    copyFailure() = {};
}

void setSettingsCopyFailureForTesting(const FileReplaceFailure& failure) { copyFailure() = failure; }

float ScreenInfo::width() const { return pixelsToTwips(backend::screenArea().width); }
float ScreenInfo::height() const { return pixelsToTwips(backend::screenArea().height); }

std::string Command()
{
    if (testCommand())
        return *testCommand();
    return system::commandTail(Runtime::current().arguments());
}

void setCommandForTesting(const std::string& command) { testCommand() = command; }

} // namespace platform
