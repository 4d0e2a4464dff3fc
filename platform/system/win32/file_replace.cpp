#include "platform/system/file_replace.h"
#include "platform/system/file_replace_faults.h"
#include "platform/system/file_replace_report.h"
#include "platform/testing/hooks.h"

#include "wide_text.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <cwctype>
#include <iterator>
#include <random>
#include <vector>
#include <windows.h>

// The replacement on Windows: the new bytes go to a temporary file in the
// file's own folder ("." + the file's name + "." + six letters and digits),
// are flushed to disk (FlushFileBuffers), and then take the file's place in
// one step: ReplaceFileW for a file that exists, which keeps its attributes,
// security descriptor and creation time, MoveFileExW with write-through for
// a new one. A failure at any step removes the temporary file and leaves the
// file as it was.
//
// Saves of files in one folder take turns through a named mutex of that
// folder. The system hands an abandoned mutex to the next waiter when a
// save is killed, so the save that holds it knows that every temporary file
// of the pattern is a leftover of a killed save and removes it first.

namespace platform {

namespace {

constexpr int kMaxTemporaryNameAttempts = 100;
constexpr std::size_t kTemporarySuffixLength = 6;
// How long a save waits for another one in the same folder before it goes on
// without the turn (and without removing leftovers) rather than hang.
constexpr DWORD kTurnWaitMilliseconds = 2000;

bool isSeparator(wchar_t c)
{
    return c == L'\\' || c == L'/';
}

std::wstring folderOf(const std::wstring& path)
{
    auto separator = path.find_last_of(L"\\/");
    if (separator == std::wstring::npos)
        return path.size() >= 2 && path[1] == L':' ? path.substr(0, 2) : L".";
    if (separator == 0 || (separator == 2 && path[1] == L':'))
        return path.substr(0, separator + 1);
    return path.substr(0, separator);
}

std::wstring nameOf(const std::wstring& path)
{
    auto separator = path.find_last_of(L"\\/:");
    return separator == std::wstring::npos ? path : path.substr(separator + 1);
}

std::wstring inFolder(const std::wstring& folder, const std::wstring& name)
{
    return !folder.empty() && (isSeparator(folder.back()) || folder.back() == L':') ? folder + name
                                                                                     : folder + L"\\" + name;
}

std::wstring randomSuffix()
{
    static constexpr wchar_t kCharacters[] = L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    std::random_device device;
    std::uniform_int_distribution<std::size_t> pick(0, std::size(kCharacters) - 2);
    std::wstring suffix;
    for (std::size_t i = 0; i < kTemporarySuffixLength; ++i)
        suffix += kCharacters[pick(device)];
    return suffix;
}

bool isTemporaryName(const std::wstring& entry, const std::wstring& target)
{
    std::wstring prefix = L"." + nameOf(target) + L".";
    if (entry.size() != prefix.size() + kTemporarySuffixLength
        || ::CompareStringOrdinal(entry.data(), static_cast<int>(prefix.size()), prefix.data(),
                                  static_cast<int>(prefix.size()), TRUE)
            != CSTR_EQUAL)
        return false;
    return std::all_of(entry.begin() + static_cast<std::ptrdiff_t>(prefix.size()), entry.end(), [](wchar_t c) {
        return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z') || (c >= L'0' && c <= L'9');
    });
}

// The turn of the saves in one folder: a mutex named after the folder
// (folded to one case and one separator, hashed, as the name may hold no
// backslash), so every process of this user's session finds the same one.
class FolderTurn {
public:
    explicit FolderTurn(const std::wstring& folder)
    {
        std::wstring key = folder;
        for (wchar_t& c : key)
            c = c == L'/' ? L'\\' : static_cast<wchar_t>(std::towupper(static_cast<wint_t>(c)));
        std::uint64_t hash = 14695981039346656037ull; // FNV-1a
        for (wchar_t c : key)
            hash = (hash ^ static_cast<std::uint64_t>(c)) * 1099511628211ull;
        wchar_t digits[17];
        ::swprintf(digits, 17, L"%016llx", static_cast<unsigned long long>(hash));
        mutex_ = ::CreateMutexW(nullptr, FALSE, (L"Local\\Zandreth.save." + std::wstring(digits)).c_str());
        if (mutex_ != nullptr) {
            DWORD waited = ::WaitForSingleObject(mutex_, kTurnWaitMilliseconds);
            held_ = waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED;
        }
    }
    ~FolderTurn()
    {
        if (held_)
            ::ReleaseMutex(mutex_);
        if (mutex_ != nullptr)
            ::CloseHandle(mutex_);
    }
    FolderTurn(const FolderTurn&) = delete;
    FolderTurn& operator=(const FolderTurn&) = delete;

    bool held() const { return held_; }

private:
    HANDLE mutex_ = nullptr;
    bool held_ = false;
};

void removeStaleTemporaries(const std::wstring& target)
{
    std::wstring folder = folderOf(target);
    WIN32_FIND_DATAW found {};
    HANDLE search = ::FindFirstFileW(inFolder(folder, L"." + nameOf(target) + L".*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    std::vector<std::wstring> stale;
    do {
        if ((found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) == 0
            && isTemporaryName(found.cFileName, target))
            stale.emplace_back(found.cFileName);
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
    for (const std::wstring& name : stale)
        ::DeleteFileW(inFolder(folder, name).c_str());
}

// A failed step: the system's error code, or an error number injected by a
// test in its place.
struct StepError {
    int errorNumber = 0;
    std::string words;
};

StepError lastError()
{
    DWORD code = ::GetLastError();
    return { win32::errnoOf(code), win32::systemMessage(code) };
}

StepError injected(int errorNumber)
{
    return { errorNumber, std::strerror(errorNumber) };
}

} // namespace

bool replaceFileContents(const std::string& path, std::string_view bytes, std::string& errorText,
                         FileReplaceFailure& failure)
{
    // The file is named to the user as Windows names it, with backslashes.
    std::string shownPath = path;
    std::replace(shownPath.begin(), shownPath.end(), '/', '\\');
    FileReplaceReport report(shownPath, errorText, failure);
    auto failWith = [&](const std::string& what, const StepError& error) {
        return report.failWith(what, error.errorNumber, error.words);
    };

    if (path.empty())
        return report.noFileName();
    std::wstring target = win32::widen(path);
    std::wstring folder = folderOf(target);

    bool exists = false;
    DWORD attributes = ::GetFileAttributesW(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        exists = true;
        if (attributes & FILE_ATTRIBUTE_DIRECTORY)
            return report.fail("it is a folder", FileReplaceCause::NotAFile, EISDIR);
        if (attributes & FILE_ATTRIBUTE_READONLY)
            return report.readOnlyFile();
    } else if (DWORD code = ::GetLastError(); code != ERROR_FILE_NOT_FOUND) {
        return failWith("cannot examine it", { win32::errnoOf(code), win32::systemMessage(code) });
    }

    FolderTurn turn(folder);
    if (turn.held())
        removeStaleTemporaries(target);

    std::wstring temporary;
    HANDLE file = INVALID_HANDLE_VALUE;
    StepError createError;
    if (int fault = takeInjectedFault(FileReplaceStep::CreateTemporary)) {
        createError = injected(fault);
    } else {
        for (int attempt = 0; attempt < kMaxTemporaryNameAttempts && file == INVALID_HANDLE_VALUE; ++attempt) {
            temporary = inFolder(folder, L"." + nameOf(target) + L"." + randomSuffix());
            file = ::CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                                 nullptr);
            if (file == INVALID_HANDLE_VALUE) {
                DWORD code = ::GetLastError();
                createError = { win32::errnoOf(code), win32::systemMessage(code) };
                if (code != ERROR_FILE_EXISTS && code != ERROR_ALREADY_EXISTS)
                    break;
            }
        }
    }
    if (file == INVALID_HANDLE_VALUE) {
        return report.noTemporaryFile(win32::narrow(folder), createError.errorNumber, createError.words);
    }
    std::string temporaryName = "the temporary file \"" + win32::narrow(temporary) + "\"";
    auto failAndRemove = [&](const std::string& what, const StepError& error) {
        if (file != INVALID_HANDLE_VALUE)
            ::CloseHandle(file);
        ::DeleteFileW(temporary.c_str());
        return failWith(what, error);
    };

    for (std::size_t done = 0; done < bytes.size();) {
        std::size_t chunk = std::min<std::size_t>(bytes.size() - done, 1u << 30);
        if (injectedWriteLimit() != 0)
            chunk = std::min(chunk, injectedWriteLimit());
        if (int fault = takeInjectedFault(FileReplaceStep::Write))
            return failAndRemove("cannot write " + temporaryName, injected(fault));
        DWORD written = 0;
        if (!::WriteFile(file, bytes.data() + done, static_cast<DWORD>(chunk), &written, nullptr))
            return failAndRemove("cannot write " + temporaryName, lastError());
        if (written == 0)
            return failAndRemove("cannot write " + temporaryName, injected(ENOSPC));
        done += written;
    }
    if (int fault = takeInjectedFault(FileReplaceStep::Sync))
        return failAndRemove("cannot flush " + temporaryName + " to disk", injected(fault));
    if (!::FlushFileBuffers(file))
        return failAndRemove("cannot flush " + temporaryName + " to disk", lastError());
    if (!::CloseHandle(file)) {
        file = INVALID_HANDLE_VALUE;
        return failAndRemove("cannot close " + temporaryName, lastError());
    }
    file = INVALID_HANDLE_VALUE;

    std::string renameFailure = "cannot put " + temporaryName + " in its place";
    if (int fault = takeInjectedFault(FileReplaceStep::Rename))
        return failAndRemove(renameFailure, injected(fault));
    if (exists) {
        if (!::ReplaceFileW(target.c_str(), temporary.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr,
                            nullptr)) {
            DWORD code = ::GetLastError();
            // The old file is gone (removed meanwhile, or by the replacement
            // itself) and the new one still has its temporary name: give it
            // the file's name, so the bytes are never lost.
            if ((code == ERROR_UNABLE_TO_MOVE_REPLACEMENT || code == ERROR_FILE_NOT_FOUND)
                && ::MoveFileExW(temporary.c_str(), target.c_str(),
                                 MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
                return report.succeed();
            if (code == ERROR_UNABLE_TO_MOVE_REPLACEMENT && ::GetFileAttributesW(target.c_str()) == INVALID_FILE_ATTRIBUTES)
                // The temporary file now holds the only copy: keep it.
                return failWith(renameFailure, { win32::errnoOf(code), win32::systemMessage(code) });
            ::DeleteFileW(temporary.c_str());
            return failWith(renameFailure, { win32::errnoOf(code), win32::systemMessage(code) });
        }
    } else if (!::MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return failAndRemove(renameFailure, lastError());
    }
    return report.succeed();
}

} // namespace platform
