#include "platform/system/files.h"

#include "wide_text.h"

#include <cstdint>
#include <cwctype>
#include <cwchar>
#include <map>
#include <windows.h>

namespace platform::system {

namespace {

// The mutex's name for a folder: the folder's path folded to one case and
// one separator (Windows file names ignore both), hashed, as a backslash may
// not appear in the name itself. "Local\" keeps it to the user's session.
std::wstring mutexName(const std::string& folder)
{
    std::wstring path = win32::widen(folder);
    for (wchar_t& c : path)
        c = c == L'/' ? L'\\' : static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
    while (path.size() > 1 && path.back() == L'\\')
        path.pop_back();
    std::uint64_t hash = 14695981039346656037ull; // FNV-1a
    for (wchar_t c : path)
        hash = (hash ^ static_cast<std::uint64_t>(c)) * 1099511628211ull;
    wchar_t digits[17];
    ::swprintf(digits, 17, L"%016llx", static_cast<unsigned long long>(hash));
    return L"Local\\Zandreth.instance." + std::wstring(digits);
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
