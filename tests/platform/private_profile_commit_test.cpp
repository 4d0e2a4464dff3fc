#include "platform/profile/private_profile.h"

#include "platform/system/file_replace.h"
#include "platform/system/files.h"
#include "platform/testing/hooks.h"
#include "platform/profile/text_encoding.h"
#include "profile_test_support.h"

#include <gtest/gtest.h>

#include <acl/libacl.h>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <csignal>
#include <filesystem>
#include <grp.h>
#include <string>
#include <sys/acl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>
#include <vector>

namespace {

using platform::FileReplaceStep;
using platform::ProfileEncoding;
using platform::ProfileFile;
using profile_test::readFile;
using profile_test::readFixture;
using profile_test::writeFile;

const std::string kOriginal = "; kept\r\n[PROC_INFO]\r\nRND_INTERVAL=60\r\n";

::testing::AssertionResult contains(const std::string& text, const std::string& part)
{
    if (text.find(part) != std::string::npos)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "\"" << text << "\" does not contain \"" << part << "\"";
}

mode_t permissionBits(const std::string& path)
{
    struct stat status {};
    EXPECT_EQ(stat(path.c_str(), &status), 0) << path;
    return status.st_mode & 07777;
}

class PrivateProfileCommit : public ::testing::Test {
protected:
    void TearDown() override { platform::clearFileReplaceFaultsForTesting(); }

    // A settings file holding kOriginal, loaded, with one value changed in memory.
    ProfileFile loadAndEdit()
    {
        writeFile(path, kOriginal);
        auto file = ProfileFile::load(path);
        EXPECT_TRUE(file.set("PROC_INFO", "RND_INTERVAL", "15"));
        return file;
    }

    // The commit failed and left no trace: the old bytes, no temporary file,
    // and words that name the file and the reason.
    void expectUntouched(const ProfileFile& file, const std::string& reason)
    {
        EXPECT_EQ(readFile(path), kOriginal);
        EXPECT_EQ(directory.entries(), std::vector<std::string> { "zandreth.ini" });
        EXPECT_TRUE(contains(file.errorText(), path));
        EXPECT_TRUE(contains(file.errorText(), reason));
    }

    profile_test::TemporaryDirectory directory;
    std::string path = directory.file("zandreth.ini");
};

TEST_F(PrivateProfileCommit, CreatesAMissingFileWithTheUmasksPermissions)
{
    mode_t mask = umask(022);
    auto file = ProfileFile::load(path);
    ASSERT_FALSE(file.exists());
    ASSERT_TRUE(file.set("SELECT_CITY", "TimeZone", "3"));
    bool committed = file.commit();
    umask(mask);
    ASSERT_TRUE(committed) << file.errorText();
    EXPECT_TRUE(file.exists());
    EXPECT_EQ(file.errorText(), "");
    EXPECT_EQ(readFile(path), "[SELECT_CITY]\r\nTimeZone=3\r\n");
    EXPECT_EQ(permissionBits(path), 0644u);
    EXPECT_EQ(directory.entries(), std::vector<std::string> { "zandreth.ini" });
}

TEST_F(PrivateProfileCommit, ReplacesTheFileAndKeepsItsPermissionBits)
{
    auto file = loadAndEdit();
    ASSERT_EQ(chmod(path.c_str(), 0640), 0);
    ASSERT_TRUE(file.commit()) << file.errorText();
    EXPECT_EQ(readFile(path), "; kept\r\n[PROC_INFO]\r\nRND_INTERVAL=15\r\n");
    EXPECT_EQ(permissionBits(path), 0640u);
    EXPECT_EQ(directory.entries(), std::vector<std::string> { "zandreth.ini" });
}

TEST_F(PrivateProfileCommit, CommitWithoutEditsRewritesTheSameBytes)
{
    for (const char* fixture : { "reading.ini", "reading_bom_crlf.ini", "japanese_cp932.ini", "writer_lf.ini" }) {
        SCOPED_TRACE(fixture);
        writeFile(path, readFixture(fixture));
        auto file = ProfileFile::load(path);
        ASSERT_TRUE(file.commit()) << file.errorText();
        EXPECT_EQ(readFile(path), readFixture(fixture));
    }
}

TEST_F(PrivateProfileCommit, FollowsASymbolicLinkToItsTarget)
{
    std::string target = directory.file("real.ini");
    writeFile(target, kOriginal);
    std::filesystem::create_symlink("real.ini", path);
    auto file = ProfileFile::load(path);
    ASSERT_TRUE(file.set("PROC_INFO", "RND_INTERVAL", "15"));
    ASSERT_TRUE(file.commit()) << file.errorText();
    EXPECT_TRUE(std::filesystem::is_symlink(path));
    EXPECT_EQ(readFile(target), "; kept\r\n[PROC_INFO]\r\nRND_INTERVAL=15\r\n");
    EXPECT_EQ(directory.entries(), (std::vector<std::string> { "real.ini", "zandreth.ini" }));
}

// Checked by the mode bits, not by the kernel: tests may run as root, which
// the kernel lets write anything.
TEST_F(PrivateProfileCommit, ReadOnlyFileIsNotWritten)
{
    auto file = loadAndEdit();
    ASSERT_EQ(chmod(path.c_str(), 0444), 0);
    EXPECT_FALSE(file.commit());
    expectUntouched(file, "read-only");
    EXPECT_FALSE(platform::WritePrivateProfileStringA("PROC_INFO", "RND_INTERVAL", "15", path));
    EXPECT_EQ(readFile(path), kOriginal);
}

TEST_F(PrivateProfileCommit, MissingFolderFails)
{
    std::string missing = directory.file("missing/zandreth.ini");
    auto file = ProfileFile::load(missing);
    ASSERT_TRUE(file.set("PROC_INFO", "RND_INTERVAL", "15"));
    EXPECT_FALSE(file.commit());
    EXPECT_TRUE(contains(file.errorText(), missing));
    EXPECT_TRUE(contains(file.errorText(), std::strerror(ENOENT)));
    EXPECT_TRUE(directory.entries().empty());
}

TEST_F(PrivateProfileCommit, FileThatCouldNotBeReadIsNotOverwritten)
{
    std::filesystem::create_directory(path);
    auto file = ProfileFile::load(path);
    ASSERT_TRUE(file.set("PROC_INFO", "RND_INTERVAL", "15"));
    EXPECT_FALSE(file.commit());
    EXPECT_TRUE(contains(file.errorText(), path));
    EXPECT_TRUE(std::filesystem::is_directory(path));
    EXPECT_EQ(directory.entries(), std::vector<std::string> { "zandreth.ini" });
}

TEST_F(PrivateProfileCommit, ProfileWithoutAPathCannotCommit)
{
    auto file = ProfileFile::fromBytes("[A]\r\nK=1\r\n");
    EXPECT_FALSE(file.commit());
    EXPECT_NE(file.errorText(), "");
}

struct InjectedFault {
    const char* name;
    FileReplaceStep step;
    int errorNumber;
};

TEST_F(PrivateProfileCommit, FailedStepChangesNothing)
{
    const InjectedFault faults[] = {
        { "temporary file not created", FileReplaceStep::CreateTemporary, EACCES },
        { "disk full while writing", FileReplaceStep::Write, ENOSPC },
        { "device error while writing", FileReplaceStep::Write, EIO },
        { "device error while flushing", FileReplaceStep::Sync, EIO },
        { "rename refused", FileReplaceStep::Rename, EXDEV },
    };
    // With a temporary file that has no name until it is complete, and with
    // one named from the start, as where the file system has no such files.
    for (bool named : { false, true }) {
        platform::useNamedTemporaryFilesForTesting(named);
        for (const auto& fault : faults) {
            SCOPED_TRACE(std::string(fault.name) + (named ? ", named temporary file" : ""));
            auto file = loadAndEdit();
            platform::failNextFileReplaceStepForTesting(fault.step, fault.errorNumber);
            EXPECT_FALSE(file.commit());
            expectUntouched(file, std::strerror(fault.errorNumber));
            // The fault was used up: the same profile commits now.
            ASSERT_TRUE(file.commit()) << file.errorText();
            EXPECT_EQ(readFile(path), "; kept\r\n[PROC_INFO]\r\nRND_INTERVAL=15\r\n");
            EXPECT_EQ(directory.entries(), std::vector<std::string> { "zandreth.ini" });
        }
    }
}

// What saves killed before their rename left behind: files named like a
// temporary file of this settings file.
TEST_F(PrivateProfileCommit, LeftoversOfKilledSavesAreRemovedByTheNextSave)
{
    for (bool named : { false, true }) {
        SCOPED_TRACE(named ? "named temporary file" : "unnamed temporary file");
        platform::useNamedTemporaryFilesForTesting(named);
        writeFile(directory.file(".zandreth.ini.Ab12Cd"), std::string(100000, 'x'));
        writeFile(directory.file(".zandreth.ini.zzzzzz"), kOriginal);
        // Not the pattern of this file's temporary files: left alone.
        writeFile(directory.file(".zandreth.ini.Ab12C"), "short");
        writeFile(directory.file(".zandreth.ini.Ab1-Cd"), "not a letter or digit");
        writeFile(directory.file(".other.ini.Ab12Cd"), "another file's");
        writeFile(directory.file("zandreth.ini.Ab12Cd"), "no dot in front");
        std::filesystem::create_directory(directory.file(".zandreth.ini.Folder"));
        auto file = loadAndEdit();
        ASSERT_TRUE(file.commit()) << file.errorText();
        EXPECT_EQ(directory.entries(),
                  (std::vector<std::string> { ".other.ini.Ab12Cd", ".zandreth.ini.Ab1-Cd", ".zandreth.ini.Ab12C",
                                              ".zandreth.ini.Folder", "zandreth.ini", "zandreth.ini.Ab12Cd" }));
        EXPECT_EQ(readFile(path), "; kept\r\n[PROC_INFO]\r\nRND_INTERVAL=15\r\n");
    }
}

// With the settings file missing, a temporary file is newer than it and may
// be the only copy of the user's last save: the save that creates the file
// leaves it, and the save after it, with the file in place, removes it.
TEST_F(PrivateProfileCommit, LeftoverBesideAMissingFileStaysUntilTheFileIsBack)
{
    writeFile(directory.file(".zandreth.ini.Ab12Cd"), kOriginal);
    auto file = ProfileFile::load(path);
    ASSERT_TRUE(file.set("PROC_INFO", "RND_INTERVAL", "15"));
    ASSERT_TRUE(file.commit()) << file.errorText();
    EXPECT_EQ(directory.entries(), (std::vector<std::string> { ".zandreth.ini.Ab12Cd", "zandreth.ini" }));
    EXPECT_EQ(readFile(directory.file(".zandreth.ini.Ab12Cd")), kOriginal);
    ASSERT_TRUE(file.commit()) << file.errorText();
    EXPECT_EQ(directory.entries(), std::vector<std::string> { "zandreth.ini" });
}

// A save that is running holds the folder's lock; while it does, another
// save removes nothing, since the temporary file may be that save's own.
TEST_F(PrivateProfileCommit, TemporaryFileOfARunningSaveIsLeftAlone)
{
    writeFile(directory.file(".zandreth.ini.Ab12Cd"), "being written");
    int runningSave = open(directory.path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ASSERT_GE(runningSave, 0);
    ASSERT_EQ(flock(runningSave, LOCK_SH), 0);
    auto file = loadAndEdit();
    ASSERT_TRUE(file.commit()) << file.errorText();
    EXPECT_EQ(directory.entries(), (std::vector<std::string> { ".zandreth.ini.Ab12Cd", "zandreth.ini" }));
    close(runningSave); // that save ended (or was killed)
    ASSERT_TRUE(file.commit()) << file.errorText();
    EXPECT_EQ(directory.entries(), std::vector<std::string> { "zandreth.ini" });
}

// The program holds its instance lock for its whole life while the settings
// dialog saves: the save still finds that no other save runs, so it removes
// what killed saves left, and its own folder lock is never refused. A save
// of another process that is running keeps its temporary file all the same.
TEST_F(PrivateProfileCommit, WithTheInstanceLockHeldASaveRemovesLeftoversAndSparesARunningSave)
{
    ASSERT_FALSE(platform::system::anotherInstanceHolds(directory.path())) << "this process is the instance";
    const std::string lockFile = platform::system::kInstanceLockFileName;
    writeFile(directory.file(".zandreth.ini.Ab12Cd"), "left by a killed save");
    auto file = loadAndEdit();
    ASSERT_TRUE(file.commit()) << file.errorText();
    EXPECT_EQ(directory.entries(), (std::vector<std::string> { lockFile, "zandreth.ini" }));

    writeFile(directory.file(".zandreth.ini.Ef34Gh"), "being written");
    int runningSave = open(directory.path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ASSERT_GE(runningSave, 0);
    ASSERT_EQ(flock(runningSave, LOCK_SH | LOCK_NB), 0) << "a save may run beside the instance";
    ASSERT_TRUE(file.commit()) << file.errorText();
    EXPECT_EQ(directory.entries(), (std::vector<std::string> { ".zandreth.ini.Ef34Gh", lockFile, "zandreth.ini" }));
    close(runningSave);
    ASSERT_TRUE(file.commit()) << file.errorText();
    EXPECT_EQ(directory.entries(), (std::vector<std::string> { lockFile, "zandreth.ini" }));
}

// Whether a file may be replaced is what the system lets this process do
// with it, not its owner's write bit: another user's file in a folder this
// user may write stays as it is, and a file this user may write through its
// group is saved. Run as an ordinary user in a child process.
TEST_F(PrivateProfileCommit, ReadOnlyIsWhatTheProcessMayNotWrite)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "needs root to give the file to another user";
    constexpr uid_t kOrdinary = 65534;
    struct Case {
        const char* name;
        uid_t owner;
        gid_t group;
        mode_t mode;
        bool saved;
    };
    const Case cases[] = {
        { "another user's file, readable by all", 0, 0, 0644, false },
        { "another user's file that the group may write", 0, kOrdinary, 0464, true },
        { "the user's own file", kOrdinary, kOrdinary, 0644, true },
    };
    ASSERT_EQ(chmod(directory.path().c_str(), 0777), 0);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        writeFile(path, kOriginal);
        ASSERT_EQ(chown(path.c_str(), c.owner, c.group), 0);
        ASSERT_EQ(chmod(path.c_str(), c.mode), 0);
        pid_t child = fork();
        if (child == 0) {
            if (setgroups(0, nullptr) != 0 || setgid(kOrdinary) != 0 || setuid(kOrdinary) != 0)
                _exit(2);
            std::string errorText;
            platform::FileReplaceFailure failure;
            bool saved = platform::replaceFileContents(path, "new", errorText, failure);
            if (saved)
                _exit(0);
            _exit(failure.cause == platform::FileReplaceCause::ReadOnlyFile ? 1 : 3);
        }
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), c.saved ? 0 : 1);
        EXPECT_EQ(readFile(path), c.saved ? "new" : kOriginal);
    }
}

// A write past the file-size limit (ulimit -f) fails the save with EFBIG,
// which it reports, instead of ending the process. In a child process, which
// alone has the small limit.
TEST_F(PrivateProfileCommit, FileSizeLimitFailsTheSaveInsteadOfEndingTheProgram)
{
    for (bool named : { false, true }) {
        SCOPED_TRACE(named ? "named temporary file" : "unnamed temporary file");
        writeFile(path, kOriginal);
        pid_t child = fork();
        if (child == 0) {
            platform::useNamedTemporaryFilesForTesting(named);
            signal(SIGXFSZ, SIG_DFL);
            rlimit limit { 4096, 4096 };
            if (setrlimit(RLIMIT_FSIZE, &limit) != 0)
                _exit(2);
            std::string errorText;
            platform::FileReplaceFailure failure;
            bool saved = platform::replaceFileContents(path, std::string(100000, 'x'), errorText, failure);
            bool told = errorText.find(path) != std::string::npos
                        && errorText.find(std::strerror(EFBIG)) != std::string::npos;
            _exit(!saved && failure.errorNumber == EFBIG && told ? 0 : 3);
        }
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status)) << "ended by signal " << (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
        EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, 0);
        EXPECT_EQ(readFile(path), kOriginal);
        EXPECT_EQ(directory.entries(), std::vector<std::string> { "zandreth.ini" });
    }
}

// A POSIX ACL entry granting another user write access and a user.
// attribute: both stay across a save, and the group gains no access.
TEST_F(PrivateProfileCommit, AclAndExtendedAttributesAreKept)
{
    for (bool named : { false, true }) {
        SCOPED_TRACE(named ? "named temporary file" : "unnamed temporary file");
        platform::useNamedTemporaryFilesForTesting(named);
        writeFile(path, kOriginal);
        ASSERT_EQ(chmod(path.c_str(), 0640), 0);
        const std::string note = "zandreth note \x01\x02";
        if (setxattr(path.c_str(), "user.zandreth.note", note.data(), note.size(), 0) != 0)
            GTEST_SKIP() << "the test folder's file system takes no user. attributes (" << std::strerror(errno) << ")";
        acl_t acl = acl_from_text("u::rw-,u:nobody:rw-,g::r--,m::rw-,o::---");
        ASSERT_NE(acl, nullptr);
        int aclResult = acl_set_file(path.c_str(), ACL_TYPE_ACCESS, acl);
        int aclError = errno;
        acl_free(acl);
        if (aclResult != 0)
            GTEST_SKIP() << "the test folder's file system takes no POSIX ACL (" << std::strerror(aclError) << ")";
        const mode_t modeBefore = permissionBits(path);

        auto file = loadAndEdit();
        ASSERT_TRUE(file.commit()) << file.errorText();
        EXPECT_EQ(readFile(path), "; kept\r\n[PROC_INFO]\r\nRND_INTERVAL=15\r\n");

        std::string value(64, '\0');
        ssize_t size = getxattr(path.c_str(), "user.zandreth.note", value.data(), value.size());
        ASSERT_GE(size, 0) << "user. attribute lost: " << std::strerror(errno);
        value.resize(static_cast<std::size_t>(size));
        EXPECT_EQ(value, note);

        acl_t kept = acl_get_file(path.c_str(), ACL_TYPE_ACCESS);
        ASSERT_NE(kept, nullptr);
        char* text = acl_to_any_text(kept, nullptr, ',', 0);
        std::string keptText = text;
        acl_free(text);
        acl_free(kept);
        EXPECT_EQ(keptText, "user::rw-,user:nobody:rw-,group::r--,mask::rw-,other::---");
        EXPECT_EQ(permissionBits(path), modeBefore) << "the group bits show the ACL's mask, as before";
        removexattr(path.c_str(), "user.zandreth.note");
        acl_t plain = acl_from_mode(0640);
        acl_set_file(path.c_str(), ACL_TYPE_ACCESS, plain);
        acl_free(plain);
    }
}

TEST_F(PrivateProfileCommit, InterruptedAndShortWritesStillWriteEverything)
{
    writeFile(path, kOriginal);
    auto file = ProfileFile::load(path);
    std::string longValue(10000, 'x');
    ASSERT_TRUE(file.set("MAP_INFO", "CODE_0", longValue));
    platform::limitFileReplaceWriteSizeForTesting(7);
    platform::failNextFileReplaceStepForTesting(FileReplaceStep::Write, EINTR);
    platform::failNextFileReplaceStepForTesting(FileReplaceStep::Sync, EINTR);
    ASSERT_TRUE(file.commit()) << file.errorText();
    EXPECT_EQ(readFile(path), kOriginal + "[MAP_INFO]\r\nCODE_0=" + longValue + "\r\n");
}

TEST_F(PrivateProfileCommit, WrittenSettingsReadBack)
{
    struct Setting {
        const char* section;
        std::string key;
        int32_t value;
    };
    std::vector<Setting> settings { { "SELECT_CITY", "TimeZone", 5 } };
    for (int i = 0; i < 10; ++i) {
        settings.push_back({ "SELECT_CITY", "City_SelectNo" + std::to_string(i), i == 9 ? -1 : 100 + i });
        settings.push_back({ "SELECT_CITY", "City_MarkNo" + std::to_string(i), i % 2 });
    }
    settings.push_back({ "PROC_INFO", "RND_INTERVAL", 100000 });
    settings.push_back({ "PROC_INFO", "MARK_INTERVAL", 3 });
    settings.push_back({ "PROC_INFO", "Lang_Select0", -1 });
    settings.push_back({ "PROC_INFO", "Lang_Select1", 0 });
    // Written twice, so the second pass replaces rather than adds.
    for (int pass = 0; pass < 2; ++pass) {
        for (const auto& setting : settings) {
            ASSERT_TRUE(platform::WritePrivateProfileStringA(setting.section, setting.key,
                                                             std::to_string(setting.value + pass), path));
        }
    }
    for (const auto& setting : settings) {
        EXPECT_EQ(platform::GetPrivateProfileIntA(setting.section, setting.key, -7, path), setting.value + 1)
            << setting.key;
    }
    EXPECT_EQ(platform::GetPrivateProfileStringA("PROC_INFO", "RND_INTERVAL", "", 256, path), "100001");
    EXPECT_EQ(directory.entries(), std::vector<std::string> { "zandreth.ini" });
}

TEST_F(PrivateProfileCommit, JapaneseWriteToACp932FileStaysCp932OnDisk)
{
    const std::string original = readFixture("japanese_cp932.ini");
    writeFile(path, original);
    ASSERT_TRUE(platform::WritePrivateProfileStringA("都市", "名前", "大阪", path));
    EXPECT_EQ(platform::GetPrivateProfileStringA("都市", "名前", "", 256, path), "大阪");
    EXPECT_EQ(ProfileFile::load(path).encoding(), ProfileEncoding::Cp932);

    std::string expected = original;
    const std::string tokyo = *platform::utf8ToCp932("東京");
    const std::string osaka = *platform::utf8ToCp932("大阪");
    expected.replace(expected.find(*platform::utf8ToCp932("名前 = ")) + 7, tokyo.size(), osaka);
    EXPECT_EQ(readFile(path), expected);
}

TEST_F(PrivateProfileCommit, RefusedValueCreatesNoFile)
{
    EXPECT_FALSE(platform::WritePrivateProfileStringA("PROC_INFO", "RND_INTERVAL", "1\r\n2", path));
    EXPECT_TRUE(directory.entries().empty());
}

} // namespace
