#include "platform/system/files.h"

#include "wide_text.h"

#include <cstdint>
#include <cwctype>
#include <cwchar>
#include <map>
#include <windows.h>

namespace platform::system {

namespace {

std::wstring hexadecimal(std::uint64_t value)
{
    wchar_t digits[17];
    ::swprintf(digits, 17, L"%016llx", static_cast<unsigned long long>(value));
    return digits;
}

// The folder as the file system identifies it: its volume's serial number
// and its file number, the same whatever spelling of its path led there (a
// short 8.3 name such as "C:\PROGRA~1", letter case, separators, links).
// Empty when the folder cannot be opened.
std::wstring folderIdentity(const std::string& folder)
{
    HANDLE handle = ::CreateFileW(win32::widen(folder).c_str(), FILE_READ_ATTRIBUTES,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return {};
    BY_HANDLE_FILE_INFORMATION information {};
    bool known = ::GetFileInformationByHandle(handle, &information) != 0;
    ::CloseHandle(handle);
    if (!known)
        return {};
    std::uint64_t fileNumber = (std::uint64_t { information.nFileIndexHigh } << 32) | information.nFileIndexLow;
    return hexadecimal(information.dwVolumeSerialNumber) + L"." + hexadecimal(fileNumber);
}

// The mutex's name for a folder: "Local\" keeps it to the user's session.
// A folder that cannot be opened is named by its path, folded to one case
// and one separator (Windows file names ignore both) and hashed, as a
// backslash may not appear in the name itself.
std::wstring mutexName(const std::string& folder)
{
    if (std::wstring identity = folderIdentity(folder); !identity.empty())
        return L"Local\\Zandreth.instance.file." + identity;
    std::wstring path = win32::widen(folder);
    for (wchar_t& c : path)
        c = c == L'/' ? L'\\' : static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
    while (path.size() > 1 && path.back() == L'\\')
        path.pop_back();
    std::uint64_t hash = 14695981039346656037ull; // FNV-1a
    for (wchar_t c : path)
        hash = (hash ^ static_cast<std::uint64_t>(c)) * 1099511628211ull;
    return L"Local\\Zandreth.instance.path." + hexadecimal(hash);
}

} // namespace

bool anotherInstanceHolds(const std::string& folder)
{
    // One answer per folder for the life of the process; the handle stays
    // open, so the mutex lives until the process ends, however it ends.
    static std::map<std::string, bool> answers;
    auto found = answers.find(folder);
    if (found != answers.end())
        return found->second;
    HANDLE mutex = ::CreateMutexW(nullptr, FALSE, mutexName(folder).c_str());
    bool held = mutex != nullptr && ::GetLastError() == ERROR_ALREADY_EXISTS;
    if (held)
        ::CloseHandle(mutex);
    answers[folder] = held;
    return held;
}

} // namespace platform::system
