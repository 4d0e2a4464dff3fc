#include "platform/system/files.h"

#include "wide_text.h"

#include <cerrno>
#include <algorithm>
#include <iterator>
#include <random>
#include <windows.h>

namespace platform::system {

namespace {

constexpr DWORD kReadChunk = 64 * 1024;

bool isSeparator(wchar_t c)
{
    return c == L'\\' || c == L'/';
}

std::wstring randomSuffix()
{
    static constexpr wchar_t kCharacters[] = L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    std::random_device device;
    std::uniform_int_distribution<std::size_t> pick(0, std::size(kCharacters) - 2);
    std::wstring suffix;
    for (int i = 0; i < 6; ++i)
        suffix += kCharacters[pick(device)];
    return suffix;
}

bool writeAll(HANDLE file, const std::string& bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 30));
        DWORD written = 0;
        if (!::WriteFile(file, bytes.data() + done, chunk, &written, nullptr) || written == 0)
            return false;
        done += written;
    }
    return true;
}

} // namespace

bool isRegularFile(const std::string& path)
{
    DWORD attributes = ::GetFileAttributesW(win32::widen(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool somethingIsAt(const std::string& path)
{
    return ::GetFileAttributesW(win32::widen(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool isWritableFolder(const std::string& folder)
{
    // The read-only attribute of a folder means nothing to Windows and its
    // access control lists are many; creating a file is the one true answer.
    // The file is gone again when its handle closes.
    std::wstring probe = win32::widen(folder) + L"\\.zandreth-write-test." + randomSuffix();
    HANDLE file = ::CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    ::CloseHandle(file);
    return true;
}

bool makeFolders(const std::string& folder, int* errorNumber)
{
    auto failed = [errorNumber](int error) {
        if (errorNumber != nullptr)
            *errorNumber = error;
        return false;
    };
    std::wstring path = win32::widen(folder);
    while (path.size() > 1 && isSeparator(path.back()))
        path.pop_back();
    DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES)
        return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 || failed(ENOTDIR);
    auto separator = path.find_last_of(L"\\/");
    if (separator != std::wstring::npos && separator > 0) {
        std::wstring parent = path.substr(0, separator);
        // A drive ("C:") or the root of a share is there or not; it is not made.
        bool isRoot = parent.back() == L':' || parent.find_first_not_of(L"\\/") == std::wstring::npos;
        if (!isRoot && !makeFolders(win32::narrow(parent), errorNumber))
            return false;
    }
    return ::CreateDirectoryW(path.c_str(), nullptr) || ::GetLastError() == ERROR_ALREADY_EXISTS
           || failed(win32::errnoOf(::GetLastError()));
}

bool copyWhole(const std::string& source, const std::string& folder, const std::string& target,
               const std::string& hiddenName, int* errorNumber)
{
    int error = 0;
    auto failedWith = [&](int code) {
        if (error == 0)
            error = code;
        if (errorNumber != nullptr)
            *errorNumber = error;
        return false;
    };
    std::string bytes;
    int readError = 0;
    if (readRegularFile(source, bytes, readError) != ReadOutcome::Read)
        return failedWith(readError != 0 ? readError : EINVAL);
    std::wstring temporary = win32::widen(folder) + L"\\." + win32::widen(hiddenName) + L"." + randomSuffix();
    HANDLE file = ::CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                                nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return failedWith(win32::errnoOf(::GetLastError()));
    bool ok = writeAll(file, bytes) && ::FlushFileBuffers(file);
    if (!ok)
        error = win32::errnoOf(::GetLastError());
    ok = ::CloseHandle(file) && ok;
    // Without MOVEFILE_REPLACE_EXISTING: a settings file that appeared in
    // the meantime (another copy of the program was first) is kept.
    if (ok && !::MoveFileExW(temporary.c_str(), win32::widen(target).c_str(), MOVEFILE_WRITE_THROUGH)) {
        DWORD code = ::GetLastError();
        ok = code == ERROR_ALREADY_EXISTS || code == ERROR_FILE_EXISTS;
        if (!ok)
            error = win32::errnoOf(code);
    }
    ::DeleteFileW(temporary.c_str());
    if (!ok)
        return failedWith(error != 0 ? error : EIO);
    return true;
}

std::string accountHomeFolder()
{
    wchar_t buffer[MAX_PATH * 2];
    DWORD length = ::GetEnvironmentVariableW(L"USERPROFILE", buffer, static_cast<DWORD>(std::size(buffer)));
    if (length == 0 || length >= std::size(buffer))
        return "";
    return win32::narrow(std::wstring_view(buffer, length));
}

ReadOutcome readRegularFile(const std::string& path, std::string& bytes, int& errorNumber)
{
    std::wstring wide = win32::widen(path);
    DWORD attributes = ::GetFileAttributesW(wide.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        errorNumber = EISDIR;
        return ReadOutcome::Failed;
    }
    // Others may go on reading, writing and replacing the file meanwhile, as
    // they may while a POSIX program reads it.
    HANDLE file = ::CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        errorNumber = win32::errnoOf(::GetLastError());
        return ReadOutcome::Failed;
    }
    if (::GetFileType(file) != FILE_TYPE_DISK) {
        ::CloseHandle(file);
        return ReadOutcome::NotRegular;
    }
    bytes.clear();
    LARGE_INTEGER size {};
    if (::GetFileSizeEx(file, &size) && size.QuadPart > 0)
        bytes.reserve(static_cast<std::size_t>(size.QuadPart));
    char chunk[kReadChunk];
    for (;;) {
        DWORD got = 0;
        if (!::ReadFile(file, chunk, kReadChunk, &got, nullptr)) {
            errorNumber = win32::errnoOf(::GetLastError());
            ::CloseHandle(file);
            return ReadOutcome::Failed;
        }
        if (got == 0)
            break;
        bytes.append(chunk, got);
    }
    ::CloseHandle(file);
    return ReadOutcome::Read;
}

} // namespace platform::system
