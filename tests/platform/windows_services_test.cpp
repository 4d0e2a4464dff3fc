// The operating system's services on Windows (platform/system/win32/): the file
// replacement, the conversions between CP932 and UTF-8, file names beyond
// ASCII, the single-instance test, the clock, the user's folders and the
// program's own folder and command line. Run under Wine by `make
// test-windows`.

#include "platform/system/file_replace.h"
#include "platform/profile/private_profile.h"
#include "platform/profile/settings_folder.h"
#include "platform/system/clock.h"
#include "platform/system/files.h"
#include "platform/system/program.h"
#include "platform/system/text.h"
#include "platform/testing/hooks.h"
#include "platform/profile/text_encoding.h"
#include "platform/system/win32/program.h"
#include "platform/system/win32/wide_text.h"
#include "profile_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>
#include <windows.h>
#include <sddl.h>

namespace {

namespace fs = std::filesystem;
using profile_test::readFile;
using profile_test::TemporaryDirectory;
using profile_test::writeFile;

// ---- The file replacement -------------------------------------------------

const std::string kOriginal = "[PROC_INFO]\r\nRND_INTERVAL=60\r\n; a comment kept byte for byte\r\n";

struct FailedSaveCase {
    const char* name;
    // Breaks the next save of `path`; the returned function mends it.
    std::function<std::function<void()>(const std::string& path)> breakIt;
};

class FileReplacement : public testing::Test {
protected:
    void TearDown() override { platform::clearFileReplaceFaultsForTesting(); }
    TemporaryDirectory folder;
};

TEST_F(FileReplacement, AFailedSaveLeavesTheFileAsItWasAndNothingBeside)
{
    const FailedSaveCase cases[] = {
        { "the file is open elsewhere and may not be deleted",
          [](const std::string& path) -> std::function<void()> {
              HANDLE holder = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                            FILE_ATTRIBUTE_NORMAL, nullptr);
              EXPECT_NE(holder, INVALID_HANDLE_VALUE);
              return [holder] { ::CloseHandle(holder); };
          } },
        { "the file has the read-only attribute",
          [](const std::string& path) -> std::function<void()> {
              ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY);
              return [path] { ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL); };
          } },
        { "the disk is full",
          [](const std::string&) -> std::function<void()> {
              platform::failNextFileReplaceStepForTesting(platform::FileReplaceStep::Write, ENOSPC);
              return [] {};
          } },
        { "the flush fails",
          [](const std::string&) -> std::function<void()> {
              platform::failNextFileReplaceStepForTesting(platform::FileReplaceStep::Sync, EIO);
              return [] {};
          } },
        { "the replacement fails",
          [](const std::string&) -> std::function<void()> {
              platform::failNextFileReplaceStepForTesting(platform::FileReplaceStep::Rename, EIO);
              return [] {};
          } },
    };
    std::string path = folder.file("zandreth.ini");
    for (const auto& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        writeFile(path, kOriginal);
        auto mend = testCase.breakIt(path);
        std::string errorText;
        bool saved = platform::replaceFileContents(path, "[PROC_INFO]\r\nRND_INTERVAL=5\r\n", errorText);
        mend();
        EXPECT_FALSE(saved);
        std::string shown = path;
        std::replace(shown.begin(), shown.end(), '/', '\\');
        EXPECT_NE(errorText.find(shown), std::string::npos) << "the reason names the file as Windows does: " << errorText;
        EXPECT_EQ(readFile(path), kOriginal);
        EXPECT_EQ(folder.entries(), std::vector<std::string> { "zandreth.ini" }) << "a temporary file was left";
    }
}

TEST_F(FileReplacement, ASaveReplacesTheWholeFileOrCreatesIt)
{
    const std::string cases[] = { "", "x", std::string(300000, 'y') + "\r\n" };
    std::string path = folder.file("zandreth.ini");
    for (const std::string& bytes : cases) {
        SCOPED_TRACE(bytes.size());
        std::string errorText;
        EXPECT_TRUE(platform::replaceFileContents(path, bytes, errorText)) << errorText;
        EXPECT_EQ(readFile(path), bytes);
        EXPECT_EQ(folder.entries(), std::vector<std::string> { "zandreth.ini" });
    }
    // Written in pieces, as a write cut short by the system is continued.
    platform::limitFileReplaceWriteSizeForTesting(7);
    std::string errorText;
    EXPECT_TRUE(platform::replaceFileContents(path, kOriginal, errorText)) << errorText;
    EXPECT_EQ(readFile(path), kOriginal);
}

TEST_F(FileReplacement, TheNextSaveRemovesWhatKilledSavesLeft)
{
    std::string path = folder.file("zandreth.ini");
    writeFile(path, kOriginal);
    // What a save killed between creating and renaming its file leaves,
    // beside names that only look alike and are not ours.
    writeFile(folder.file(".zandreth.ini.Ab3xY9"), "half");
    writeFile(folder.file(".zandreth.ini.abc"), "not a temporary name");
    writeFile(folder.file(".other.ini.Ab3xY9"), "another file's");
    fs::create_directory(folder.path() + "/.zandreth.ini.folder");

    std::string errorText;
    ASSERT_TRUE(platform::replaceFileContents(path, "new", errorText)) << errorText;

    EXPECT_EQ(folder.entries(), (std::vector<std::string> { ".other.ini.Ab3xY9", ".zandreth.ini.abc",
                                                            ".zandreth.ini.folder", "zandreth.ini" }));
    EXPECT_EQ(readFile(path), "new");
}

// With the file missing, what a killed save left may be the only copy of the
// user's last save: it stays until a save has put the file back.
TEST_F(FileReplacement, ALeftoverBesideAMissingFileStaysUntilTheFileIsBack)
{
    std::string path = folder.file("zandreth.ini");
    writeFile(folder.file(".zandreth.ini.Ab3xY9"), kOriginal);
    std::string errorText;
    ASSERT_TRUE(platform::replaceFileContents(path, "new", errorText)) << errorText;
    EXPECT_EQ(folder.entries(), (std::vector<std::string> { ".zandreth.ini.Ab3xY9", "zandreth.ini" }));
    EXPECT_EQ(readFile(folder.file(".zandreth.ini.Ab3xY9")), kOriginal);
    ASSERT_TRUE(platform::replaceFileContents(path, "newer", errorText)) << errorText;
    EXPECT_EQ(folder.entries(), std::vector<std::string> { "zandreth.ini" });
}

// What the file carries besides its bytes stays with it across a save: its
// attributes and the access-control list that says who may open it.
TEST_F(FileReplacement, ASaveKeepsTheFilesAttributesAndAccessControl)
{
    std::string path = folder.file("zandreth.ini");
    writeFile(path, kOriginal);
    std::wstring wide = platform::win32::widen(path);
    ASSERT_TRUE(::SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE));
    // A protected list that grants Everyone reading alone, besides the
    // owner's full access.
    SECURITY_DESCRIPTOR descriptor;
    ASSERT_TRUE(::InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION));
    alignas(ACL) std::uint8_t listBytes[256];
    auto* list = reinterpret_cast<ACL*>(listBytes);
    ASSERT_TRUE(::InitializeAcl(list, sizeof listBytes, ACL_REVISION));
    SID_IDENTIFIER_AUTHORITY world = SECURITY_WORLD_SID_AUTHORITY;
    PSID everyone = nullptr;
    ASSERT_TRUE(::AllocateAndInitializeSid(&world, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0, &everyone));
    HANDLE token = nullptr;
    ASSERT_TRUE(::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token));
    alignas(TOKEN_USER) std::uint8_t userBytes[256];
    DWORD userSize = 0;
    ASSERT_TRUE(::GetTokenInformation(token, TokenUser, userBytes, sizeof userBytes, &userSize));
    ::CloseHandle(token);
    PSID owner = reinterpret_cast<TOKEN_USER*>(userBytes)->User.Sid;
    ASSERT_TRUE(::AddAccessAllowedAce(list, ACL_REVISION, FILE_ALL_ACCESS, owner));
    ASSERT_TRUE(::AddAccessAllowedAce(list, ACL_REVISION, FILE_GENERIC_READ, everyone));
    ASSERT_TRUE(::SetSecurityDescriptorDacl(&descriptor, TRUE, list, FALSE));
    ASSERT_TRUE(::SetFileSecurityW(wide.c_str(), DACL_SECURITY_INFORMATION, &descriptor));
    ::FreeSid(everyone);
    auto accessControl = [&] {
        DWORD needed = 0;
        ::GetFileSecurityW(wide.c_str(), DACL_SECURITY_INFORMATION, nullptr, 0, &needed);
        std::vector<std::uint8_t> bytes(needed);
        EXPECT_TRUE(::GetFileSecurityW(wide.c_str(), DACL_SECURITY_INFORMATION, bytes.data(), needed, &needed));
        LPWSTR text = nullptr;
        EXPECT_TRUE(::ConvertSecurityDescriptorToStringSecurityDescriptorW(bytes.data(), SDDL_REVISION_1,
                                                                           DACL_SECURITY_INFORMATION, &text, nullptr));
        std::string words = text ? platform::win32::narrow(text) : "";
        ::LocalFree(text);
        return words;
    };
    std::string before = accessControl();

    std::string errorText;
    ASSERT_TRUE(platform::replaceFileContents(path, "new", errorText)) << errorText;
    EXPECT_EQ(readFile(path), "new");
    EXPECT_EQ(::GetFileAttributesW(wide.c_str()) & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE),
              static_cast<DWORD>(FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE));
    EXPECT_EQ(accessControl(), before);
    EXPECT_EQ(folder.entries(), std::vector<std::string> { "zandreth.ini" });
}

TEST_F(FileReplacement, AFolderInPlaceOfTheFileIsNotReplaced)
{
    fs::create_directory(folder.path() + "/zandreth.ini");
    std::string errorText;
    platform::FileReplaceFailure failure;
    EXPECT_FALSE(platform::replaceFileContents(folder.file("zandreth.ini"), "x", errorText, failure));
    EXPECT_EQ(failure.cause, platform::FileReplaceCause::NotAFile);
    EXPECT_TRUE(fs::is_directory(folder.path() + "/zandreth.ini"));
}

// The child side of the killed-save test: saves ZANDRETH_SAVE_LOOP over and
// over, two large contents in turn, until it is killed.
TEST(KilledSaveChild, SavesUntilKilled)
{
    const char* path = std::getenv("ZANDRETH_SAVE_LOOP");
    if (path == nullptr)
        GTEST_SKIP() << "started by FileReplacement alone";
    const std::string contents[] = { std::string(8 << 20, 'a'), std::string(8 << 20, 'b') };
    // Small writes make each save long, so the kill finds one under way.
    platform::limitFileReplaceWriteSizeForTesting(4096);
    std::string errorText;
    for (unsigned round = 0;; ++round)
        platform::replaceFileContents(path, contents[round % 2], errorText);
}

HANDLE startChild(const wchar_t* filter, const char* name, const std::string& value);

bool temporaryFileIsThere(const TemporaryDirectory& folder)
{
    for (const std::string& name : folder.entries())
        if (name.starts_with(".zandreth.ini."))
            return true;
    return false;
}

TEST_F(FileReplacement, ASaveKilledMidwayLeavesAWholeFileAndTheNextSaveCleansUp)
{
    std::string path = folder.file("zandreth.ini");
    writeFile(path, std::string(8 << 20, 'a'));
    // Kill it while its temporary file is there, in the middle of a save;
    // a kill that comes just after a save's end is tried again.
    bool leftOver = false;
    for (int attempt = 0; attempt < 10 && !leftOver; ++attempt) {
        HANDLE child = startChild(L"KilledSaveChild.*", "ZANDRETH_SAVE_LOOP", path);
        ASSERT_NE(child, nullptr);
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(120);
        bool midway = false;
        while (!midway && std::chrono::steady_clock::now() < deadline
               && ::WaitForSingleObject(child, 0) == WAIT_TIMEOUT)
            midway = temporaryFileIsThere(folder);
        ::TerminateProcess(child, 9);
        ::WaitForSingleObject(child, INFINITE);
        ::CloseHandle(child);
        ASSERT_TRUE(midway) << "the child never got into a save";
        leftOver = temporaryFileIsThere(folder);
    }
    ASSERT_TRUE(leftOver) << "no kill came in the middle of a save";

    std::string killed = readFile(path);
    EXPECT_TRUE(killed == std::string(8 << 20, 'a') || killed == std::string(8 << 20, 'b'))
        << "the file is whole, one content or the other: " << killed.size() << " bytes";

    // The killed save's turn is free again (its mutex abandoned, or gone
    // with its last handle), and the next save removes what it left.
    std::string errorText;
    EXPECT_TRUE(platform::replaceFileContents(path, kOriginal, errorText)) << errorText;
    EXPECT_EQ(readFile(path), kOriginal);
    EXPECT_EQ(folder.entries(), std::vector<std::string> { "zandreth.ini" });
}

// ---- File names beyond ASCII ----------------------------------------------

TEST(FileNames, JapaneseNamesReachTheSystemAsTheSameCharacters)
{
    // The folder and the file are named in characters that CP932 has and in
    // one it lacks, so neither the ANSI code page nor a lossy conversion
    // would find them again.
    TemporaryDirectory root;
    const std::string folderName = "\xe8\xa8\xad\xe5\xae\x9a"; // 設定
    const std::string fileNames[] = {
        "\xe4\xb8\x96\xe7\x95\x8c\xe6\x99\x82\xe8\xa8\x88.ini", // 世界時計.ini
        "caf\xc3\xa9 \xf0\x9f\x8c\x8f.ini",                     // café 🌏.ini
    };
    ASSERT_TRUE(platform::system::makeFolders(root.path() + "/" + folderName));
    for (const std::string& name : fileNames) {
        SCOPED_TRACE(name);
        std::string path = root.path() + "/" + folderName + "/" + name;
        ASSERT_TRUE(platform::WritePrivateProfileStringA("CITY", "NAME", "\xe6\x9d\xb1\xe4\xba\xac", path)); // 東京
        EXPECT_EQ(platform::GetPrivateProfileStringA("CITY", "NAME", "", 64, path), "\xe6\x9d\xb1\xe4\xba\xac");
        // The system sees the name in UTF-16, exactly.
        fs::path wide = fs::path(root.path()) / fs::u8path(folderName) / fs::u8path(name);
        EXPECT_TRUE(fs::is_regular_file(wide));
        EXPECT_TRUE(platform::system::isRegularFile(path));
        std::string bytes;
        int errorNumber = 0;
        EXPECT_EQ(platform::system::readRegularFile(path, bytes, errorNumber), platform::system::ReadOutcome::Read);
        EXPECT_EQ(bytes, "[CITY]\r\nNAME=\xe6\x9d\xb1\xe4\xba\xac\r\n");
    }
}

TEST(FileNames, ReadingTellsAMissingFileFromAFolder)
{
    TemporaryDirectory root;
    fs::create_directory(root.path() + "/folder");
    std::string bytes;
    int errorNumber = 0;
    EXPECT_EQ(platform::system::readRegularFile(root.file("missing.ini"), bytes, errorNumber),
              platform::system::ReadOutcome::Failed);
    EXPECT_EQ(errorNumber, ENOENT);
    EXPECT_EQ(platform::system::readRegularFile(root.file("folder"), bytes, errorNumber),
              platform::system::ReadOutcome::Failed);
    EXPECT_EQ(errorNumber, EISDIR);
}

// ---- CP932 and UTF-8 -------------------------------------------------------

struct ConversionCase {
    const char* name;
    std::string cp932;
    std::string utf8;
};

TEST(Cp932Conversion, RoundTripsTheCharactersOfBothTables)
{
    const ConversionCase cases[] = {
        { "kanji", "\x93\xfa\x96\x7b\x8c\xea", "\xe6\x97\xa5\xe6\x9c\xac\xe8\xaa\x9e" },            // 日本語
        { "half-width katakana", "\xb1\xdd", "\xef\xbd\xb1\xef\xbe\x9d" },                              // ｱﾝ
        { "backslash and tilde stay ASCII", "C:\\~", "C:\\~" },
        { "trail byte that is a backslash", "\x95\x5c", "\xe8\xa1\xa8" },                             // 表
        { "NEC special character", "\x87\x40", "\xe2\x91\xa0" },                                      // ①
        { "IBM extension", "\xfa\x40", "\xe2\x85\xb0" },                                              // ⅰ
        { "wave dash of Windows", "\x81\x60", "\xef\xbd\x9e" },                                       // ～
        { "NUL bytes kept", std::string("a\0b", 3), std::string("a\0b", 3) },
        { "empty", "", "" },
    };
    platform::Cp932Converter converter;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(converter.toUtf8(c.cp932), c.utf8);
        EXPECT_EQ(converter.fromUtf8(c.utf8), c.cp932);
        EXPECT_TRUE(platform::system::isCp932(c.cp932));
    }
}

TEST(Cp932Conversion, RefusesWhatItCannotConvertWhole)
{
    const ConversionCase fromCp932[] = {
        { "lead byte cut off at the end", "abc\x93", "" },
        { "lead byte followed by a blank", "\x93 ", "" },
        { "lead byte followed by a line break", "\x93\r\n", "" },
    };
    for (const auto& c : fromCp932) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(platform::cp932ToUtf8(c.cp932), std::nullopt);
        EXPECT_FALSE(platform::system::isCp932(c.cp932));
    }
    const ConversionCase fromUtf8[] = {
        { "a character CP932 lacks", "", "\xe2\x82\xac" },                        // €
        { "a letter CP932 would only approximate", "", "caf\xc3\xa9" },            // é
        { "an emoji", "", "\xf0\x9f\x8c\x8f" },                                    // 🌏
        { "malformed UTF-8", "", "\xc3" },
        { "a surrogate written in UTF-8", "", "\xed\xa0\x80" },
    };
    for (const auto& c : fromUtf8) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(platform::utf8ToCp932(c.utf8), std::nullopt);
    }
}

// ---- One instance per settings folder ------------------------------------

// The child side of the single-instance test: started by the test below as
// a process of its own, it reports through its exit status whether another
// process holds the instance lock of ZANDRETH_INSTANCE_FOLDER.
constexpr int kChildSeesHeld = 40;
constexpr int kChildSeesFree = 41;

TEST(SingleInstanceChild, ReportsTheLock)
{
    const char* folder = std::getenv("ZANDRETH_INSTANCE_FOLDER");
    if (folder == nullptr)
        GTEST_SKIP() << "started by SingleInstance alone";
    std::exit(platform::system::anotherInstanceHolds(folder) ? kChildSeesHeld : kChildSeesFree);
}

// Starts this test program again as a process of its own, running only the
// tests `filter` selects, with the environment variable `name` set to
// `value`; the process's handle, or nullptr.
HANDLE startChild(const wchar_t* filter, const char* name, const std::string& value)
{
    wchar_t program[MAX_PATH * 2];
    ::GetModuleFileNameW(nullptr, program, MAX_PATH * 2);
    std::wstring command = L"\"" + std::wstring(program) + L"\" --gtest_filter=" + filter;
    ::SetEnvironmentVariableA(name, value.c_str());
    STARTUPINFOW startup {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process {};
    BOOL started = ::CreateProcessW(program, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                                    &process);
    ::SetEnvironmentVariableA(name, nullptr);
    if (!started)
        return nullptr;
    ::CloseHandle(process.hThread);
    return process.hProcess;
}

int childAnswer(const std::string& folder)
{
    HANDLE child = startChild(L"SingleInstanceChild.*", "ZANDRETH_INSTANCE_FOLDER", folder);
    if (child == nullptr)
        return -1;
    ::WaitForSingleObject(child, INFINITE);
    DWORD status = 0;
    ::GetExitCodeProcess(child, &status);
    ::CloseHandle(child);
    return static_cast<int>(status);
}

// The short 8.3 spelling of an existing path ("C:\\PROGRA~1"), as UTF-8;
// empty when the system has none.
std::string shortSpelling(const std::string& path)
{
    std::wstring wide = platform::win32::widen(path);
    std::wstring shortPath(MAX_PATH * 2, L'\0');
    DWORD length = ::GetShortPathNameW(wide.c_str(), shortPath.data(), static_cast<DWORD>(shortPath.size()));
    if (length == 0 || length >= shortPath.size())
        return {};
    shortPath.resize(length);
    return platform::win32::narrow(shortPath);
}

// The folder is one folder however its path is spelled: in other letters
// and separators, or with the short 8.3 names that Windows often keeps for
// a screen saver's path.
TEST(SingleInstance, AnotherProcessForTheSameFolderSeesTheFirst)
{
    TemporaryDirectory root;
    std::string folder = root.path() + "\\Program Files Zandreth\\settings of the saver";
    fs::create_directories(platform::win32::widen(folder));
    fs::create_directories(platform::win32::widen(root.path() + "\\other"));
    EXPECT_FALSE(platform::system::anotherInstanceHolds(folder)) << "the first instance";
    EXPECT_FALSE(platform::system::anotherInstanceHolds(folder)) << "the same answer later";

    struct Case {
        const char* name;
        std::string folder;
        int expected;
    };
    std::string upper = folder;
    for (char& c : upper)
        c = c == '\\' ? '/' : static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    const std::string shortFolder = shortSpelling(folder);
    ASSERT_FALSE(shortFolder.empty()) << "the file system keeps short names";
    ASSERT_EQ(shortFolder.find("Program Files"), std::string::npos) << shortFolder;
    const Case cases[] = {
        { "the same folder", folder, kChildSeesHeld },
        { "the same folder in other letters and separators", upper + "/", kChildSeesHeld },
        { "the same folder in its short 8.3 spelling", shortFolder, kChildSeesHeld },
        { "another folder", root.path() + "/other", kChildSeesFree },
        { "a folder that is not there", root.path() + "/missing", kChildSeesFree },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(childAnswer(c.folder), c.expected);
    }
}

// ---- The clock --------------------------------------------------------------

TEST(SystemClock, IsTheSystemsUtcTime)
{
    platform::SYSTEMTIME time;
    platform::system::readUtcClock(time);
    using namespace std::chrono;
    sys_days date = year { time.wYear } / month { time.wMonth } / day { time.wDay };
    auto read = date + hours { time.wHour } + minutes { time.wMinute } + seconds { time.wSecond };
    auto now = floor<seconds>(system_clock::now());
    EXPECT_LT(abs(duration_cast<seconds>(now - read).count()), 60) << "the standard library's clock agrees";
    EXPECT_EQ(time.wDayOfWeek, weekday { date }.c_encoding());
    EXPECT_LT(time.wMilliseconds, 1000);
}

// ---- The user's folders ----------------------------------------------------

TEST(UserFolders, SettingsLiveUnderApplicationData)
{
    std::string saved(32768, '\0');
    saved.resize(::GetEnvironmentVariableA("APPDATA", saved.data(), static_cast<DWORD>(saved.size())));

    // 設定 as APPDATA: the value is read in UTF-16 and given in UTF-8.
    ::SetEnvironmentVariableW(L"APPDATA", L"C:\\Users\\\u8a2d\u5b9a\\AppData\\Roaming");
    EXPECT_EQ(platform::userFoldersFromEnvironment().appData,
              "C:\\Users\\\xe8\xa8\xad\xe5\xae\x9a\\AppData\\Roaming");
    ::SetEnvironmentVariableA("APPDATA", saved.empty() ? nullptr : saved.c_str());

    TemporaryDirectory root;
    fs::create_directories(root.path() + "/program");
    platform::UserFolders user;
    user.appData = root.path() + "\\Roaming\\";
    // No zandreth.ini beside the program: the user's folder, empty.
    EXPECT_EQ(platform::chooseSettingsFolder(root.path() + "/program", user), root.path() + "\\Roaming\\Zandreth");
    EXPECT_FALSE(fs::exists(root.path() + "/Roaming/Zandreth/zandreth.ini"));
    // One beside a program whose folder may be written: a portable copy.
    writeFile(root.file("program/zandreth.ini"), "beside");
    EXPECT_EQ(platform::chooseSettingsFolder(root.path() + "/program", user), root.path() + "/program");
}

// Paths are shown to the user as Windows writes them: "\" throughout, even
// where the folder was given with "/".
TEST(UserFolders, AFilesPathInAFolderHasBackslashesThroughout)
{
    const struct {
        const char* folder;
        const char* path;
    } cases[] = {
        { "C:\\zrofile", "C:\\zrofile\\zandreth.ini" },
        { "C:/Program Files/Zandreth", "C:\\Program Files\\Zandreth\\zandreth.ini" },
        { "C:\\Users\\\xe8\xa8\xad\xe5\xae\x9a/AppData\\Roaming\\Zandreth",
          "C:\\Users\\\xe8\xa8\xad\xe5\xae\x9a\\AppData\\Roaming\\Zandreth\\zandreth.ini" },
    };
    for (const auto& c : cases)
        EXPECT_EQ(platform::pathInFolder(c.folder, "zandreth.ini"), c.path) << c.folder;
}

TEST(UserFolders, TheFirstCopyIsWholeAndNeverReplacesTheUsersFile)
{
    TemporaryDirectory root;
    std::string catalogue(300000, 'x');
    writeFile(root.file("beside.ini"), catalogue);
    std::string folder = root.path() + "/Roaming/Zandreth";
    ASSERT_TRUE(platform::system::makeFolders(folder));
    std::string target = folder + "/zandreth.ini";

    EXPECT_TRUE(platform::system::copyWhole(root.file("beside.ini"), folder, target, "zandreth.ini"));
    EXPECT_EQ(readFile(target), catalogue);
    writeFile(target, "mine");
    EXPECT_TRUE(platform::system::copyWhole(root.file("beside.ini"), folder, target, "zandreth.ini"));
    EXPECT_EQ(readFile(target), "mine");
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    EXPECT_EQ(names, std::vector<std::string> { "zandreth.ini" }) << "no temporary copy is left";
}

// ---- The program's folder and command line --------------------------------

TEST(CommandLine, TheTailIsWhatFollowsTheProgramsName)
{
    struct Case {
        const wchar_t* commandLine;
        const wchar_t* tail;
    };
    const Case cases[] = {
        { L"\"C:\\Program Files\\Zandreth\\zandreth.scr\" /s", L"/s" },
        { L"C:\\WINDOWS\\system32\\zandreth.scr /c:1234", L"/c:1234" },
        { L"\"C:\\WINDOWS\\system32\\zandreth.scr\" /p 1234", L"/p 1234" },
        { L"\"C:\\ユーザー\\日本 語\\zandreth.scr\"  /S  ", L"/S" },
        { L"zandreth.scr\t/c", L"/c" },
        { L"zandreth.scr", L"" },
        { L"\"C:\\a b\\zandreth.scr\"", L"" },
        { L"\"C:\\a b\\zandreth.scr", L"" },
        { L"", L"" },
    };
    for (const Case& c : cases)
        EXPECT_EQ(platform::win32::commandTailOf(c.commandLine), c.tail)
            << "command line: " << testing::PrintToString(std::wstring(c.commandLine));
}

TEST(CommandLine, TheProgramFolderHasNoTrailingSeparator)
{
    std::string folder = platform::system::programFolder({});
    ASSERT_FALSE(folder.empty());
    EXPECT_NE(folder.back(), '\\');
    EXPECT_NE(folder.back(), '/');
    std::wstring program = platform::win32::widen(folder) + L"\\windows_services_test.exe";
    EXPECT_NE(GetFileAttributesW(program.c_str()), INVALID_FILE_ATTRIBUTES) << folder;
}

} // namespace
