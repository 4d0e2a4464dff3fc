// The program's folder and the command line after the program's name, as
// Windows passes it (the screen-saver settings write "/s", "/c:1234",
// "/p 1234" after the program's path, quoted or not).

#include "platform/system/program.h"

#include "program.h"
#include "wide_text.h"

#include <vector>
#include <windows.h>

namespace platform::win32 {

// The name ends at its closing quote when it starts with one, else at the
// first blank or tab.
std::wstring commandTailOf(std::wstring_view commandLine)
{
    std::size_t at = 0;
    if (!commandLine.empty() && commandLine[0] == L'"') {
        std::size_t close = commandLine.find(L'"', 1);
        at = close == std::wstring_view::npos ? commandLine.size() : close + 1;
    }
    while (at < commandLine.size() && commandLine[at] != L' ' && commandLine[at] != L'\t')
        ++at;
    while (at < commandLine.size() && (commandLine[at] == L' ' || commandLine[at] == L'\t'))
        ++at;
    std::wstring tail(commandLine.substr(at));
    while (!tail.empty() && (tail.back() == L' ' || tail.back() == L'\t'))
        tail.pop_back();
    return tail;
}

} // namespace platform::win32

namespace platform::system {

// The module's own file name answers for the folder, and the command line
// as it was written for the tail: main's arguments are not needed.
std::string programFolder(const std::vector<std::string>&)
{
    std::vector<wchar_t> path(MAX_PATH);
    for (;;) {
        DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0)
            return ".";
        if (length < path.size()) {
            std::wstring file(path.data(), length);
            std::size_t slash = file.find_last_of(L"\\/");
            return win32::narrow(slash == std::wstring::npos ? L"." : file.substr(0, slash));
        }
        path.resize(path.size() * 2);
    }
}

std::string commandTail(const std::vector<std::string>&)
{
    return win32::narrow(win32::commandTailOf(GetCommandLineW()));
}

// A screen saver's command line is "/S", "/C" or "/P"; "--help" is text
// like any other, which opens the settings dialog.
InformationRequest informationRequested(const std::vector<std::string>&)
{
    return InformationRequest::None;
}

} // namespace platform::system
