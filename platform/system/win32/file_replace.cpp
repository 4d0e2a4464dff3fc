#include "platform/system/file_replace.h"
#include "platform/system/file_replace_faults.h"
#include "platform/system/file_replace_leftovers.h"
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
// file's own folder ("." + the file's name + "." + six letters and digits)
// and are flushed to disk (FlushFileBuffers); the temporary file takes the
// replaced file's creation time, attributes and access-control list, and
// then its place in one step, MoveFileExW with MOVEFILE_REPLACE_EXISTING and
// MOVEFILE_WRITE_THROUGH, a rename that leaves either the old file or the
// new one under the file's name. (ReplaceFileW keeps those properties
// itself, but in several steps, between which the file can be missing under
// its name when the process is killed.) A failure at any step removes the
// temporary file and leaves the file as it was.
//
// Saves of files in one folder take turns through a named mutex of that
// folder. The system hands an abandoned mutex to the next waiter when a
// save is killed, so the save that holds it knows that every temporary file
// of the pattern is a leftover of a killed save, and removes them first
// while the file itself exists.

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

bool fileExists(const std::wstring& path)
{
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The attributes a new file may carry over from the one it replaces; the
// read-only one never reaches here (such a file is not replaced).
constexpr DWORD kCarriedAttributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE
    | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

// Gives `temporary` the access-control list of `target` (its DACL, protected
// from inheritance or not as the target's is), so that whom the file lets in
// does not change with a save.
bool copyAccessControl(const std::wstring& target, const std::wstring& temporary)
{
    constexpr SECURITY_INFORMATION kWhat = DACL_SECURITY_INFORMATION;
    DWORD needed = 0;
    ::GetFileSecurityW(target.c_str(), kWhat, nullptr, 0, &needed);
    if (needed == 0)
        return false;
    std::vector<std::uint8_t> descriptor(needed);
    if (!::GetFileSecurityW(target.c_str(), kWhat, descriptor.data(), needed, &needed))
        return false;
    return ::SetFileSecurityW(temporary.c_str(), kWhat, descriptor.data()) != FALSE;
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
    WIN32_FILE_ATTRIBUTE_DATA replaced {};
    if (::GetFileAttributesExW(target.c_str(), GetFileExInfoStandard, &replaced)) {
        exists = true;
        DWORD attributes = replaced.dwFileAttributes;
        if (attributes & FILE_ATTRIBUTE_DIRECTORY)
            return report.fail("it is a folder", FileReplaceCause::NotAFile, EISDIR);
        if (attributes & FILE_ATTRIBUTE_READONLY)
            return report.readOnlyFile();
    } else if (DWORD code = ::GetLastError(); code != ERROR_FILE_NOT_FOUND) {
        return failWith("cannot examine it", { win32::errnoOf(code), win32::systemMessage(code) });
    }

    FolderTurn turn(folder);
    if (turn.held() && mayRemoveLeftovers(fileExists(target) ? ReplacedFileState::Exists : ReplacedFileState::Missing))
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
    // The file's creation time stays with the file, as the user sees it.
    if (exists && !::SetFileTime(file, &replaced.ftCreationTime, nullptr, nullptr))
        return failAndRemove("cannot give " + temporaryName + " the file's creation time", lastError());
    if (int fault = takeInjectedFault(FileReplaceStep::Sync))
        return failAndRemove("cannot flush " + temporaryName + " to disk", injected(fault));
    if (!::FlushFileBuffers(file))
        return failAndRemove("cannot flush " + temporaryName + " to disk", lastError());
    if (!::CloseHandle(file)) {
        file = INVALID_HANDLE_VALUE;
        return failAndRemove("cannot close " + temporaryName, lastError());
    }
    file = INVALID_HANDLE_VALUE;

    if (exists) {
        if (!copyAccessControl(target, temporary))
            return failAndRemove("cannot give " + temporaryName + " the file's permissions", lastError());
        DWORD carried = replaced.dwFileAttributes & kCarriedAttributes;
        if (carried != 0 && !::SetFileAttributesW(temporary.c_str(), carried))
            return failAndRemove("cannot give " + temporaryName + " the file's attributes", lastError());
    }

    // One rename: the old file or the new one is under the file's name at
    // every moment, whenever the process is killed.
    std::string renameFailure = "cannot put " + temporaryName + " in its place";
    if (int fault = takeInjectedFault(FileReplaceStep::Rename))
        return failAndRemove(renameFailure, injected(fault));
    if (!::MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return failAndRemove(renameFailure, lastError());
    return report.succeed();
}

} // namespace platform
