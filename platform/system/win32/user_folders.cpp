#include "platform/system/user_folders.h"

#include "wide_text.h"

#include <algorithm>
#include <iterator>
#include <shlobj.h>
#include <windows.h>

namespace platform {

namespace {

std::string environmentVariable(const wchar_t* name)
{
    DWORD length = ::GetEnvironmentVariableW(name, nullptr, 0);
    if (length == 0)
        return "";
    std::wstring value(length, L'\0');
    length = ::GetEnvironmentVariableW(name, value.data(), length);
    value.resize(length);
    return win32::narrow(value);
}

} // namespace

UserFolders userFoldersFromEnvironment()
{
    UserFolders user;
    user.appData = environmentVariable(L"APPDATA");
    if (user.appData.empty()) {
        // Started without the usual environment: ask the shell where the
        // user's roaming application data is.
        wchar_t folder[MAX_PATH] {};
        if (SUCCEEDED(::SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder)))
            user.appData = win32::narrow(folder);
    }
    user.home = environmentVariable(L"USERPROFILE");
    return user;
}

std::string pathInFolder(const std::string& folder, const std::string& name)
{
    std::string path = folder + "\\" + name;
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

} // namespace platform
