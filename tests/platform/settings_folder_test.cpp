// Which folder holds zandreth.ini: beside a portable copy, or the user's own
// folder of an installed one, filled from the installed catalogue on first use.

#include "platform/profile/settings_folder.h"
#include "platform/system/files.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <fcntl.h>
#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <set>
#include <string>

namespace {

namespace fs = std::filesystem;
using testing_support::TempDir;

// The account tests run the rule as when they are started as root, so that
// folders and files without write or read permission really are out of reach.
constexpr uid_t kUnprivileged = 65534;

// Runs `rule` in a child process as an ordinary user (when the test runs as
// root) and gives back what it returned.
std::string runAsOrdinaryUser(const std::function<std::string()>& rule)
{
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0)
        return "<no pipe>";
    pid_t child = ::fork();
    if (child == 0) {
        ::close(pipeEnds[0]);
        if (::geteuid() == 0
            && (::setgroups(0, nullptr) != 0 || ::setgid(kUnprivileged) != 0 || ::setuid(kUnprivileged) != 0))
            ::_exit(2);
        std::string answer = rule();
        bool written = ::write(pipeEnds[1], answer.data(), answer.size()) == static_cast<ssize_t>(answer.size());
        ::_exit(written ? 0 : 3);
    }
    ::close(pipeEnds[1]);
    std::string answer;
    char buffer[4096];
    ssize_t got = 0;
    while ((got = ::read(pipeEnds[0], buffer, sizeof buffer)) > 0)
        answer.append(buffer, static_cast<std::size_t>(got));
    ::close(pipeEnds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return "<child failed>";
    return answer;
}

void giveToOrdinaryUser(const fs::path& root)
{
    if (::geteuid() != 0)
        return;
    (void)::chown(root.c_str(), kUnprivileged, kUnprivileged);
    for (const auto& entry : fs::recursive_directory_iterator(root))
        (void)::lchown(entry.path().c_str(), kUnprivileged, kUnprivileged);
}

std::set<std::string> namesIn(const fs::path& folder)
{
    std::set<std::string> names;
    std::error_code ignored;
    for (const auto& entry : fs::directory_iterator(folder, ignored))
        names.insert(entry.path().filename().string());
    return names;
}

enum class ConfigHome { Unset, Absolute, AbsoluteWithSlash, Relative };
enum class Installed { Readable, Unreadable, Missing };
enum class UserFolder { Missing, HoldsOwnFile, Blocked };

struct Case {
    const char* id;
    const char* name;
    bool iniBeside;
    bool programFolderWritable;
    Installed installed;
    ConfigHome configHome;
    UserFolder userFolder;
    // Expected: the chosen folder, relative to the test's root, and what its
    // zandreth.ini then holds ("" for none).
    const char* folder;
    const char* iniHolds;
    // Why the first copy failed (errno), 0 when nothing failed.
    int copyError = 0;
};

const Case kCases[] = {
    { "Portable", "portable copy: ini beside, folder writable",
      true, true, Installed::Readable, ConfigHome::Unset, UserFolder::Missing, "prefix/bin", "beside" },
    { "PortableWinsOverXdg", "portable copy wins over XDG_CONFIG_HOME",
      true, true, Installed::Readable, ConfigHome::Absolute, UserFolder::Missing, "prefix/bin", "beside" },
    { "ReadOnlyFolderTakesInstalled", "read-only folder with ini beside: user folder, installed catalogue copied",
      true, false, Installed::Readable, ConfigHome::Unset, UserFolder::Missing, "home/.config/zandreth", "installed" },
    { "ReadOnlyFolderTakesBeside", "read-only folder, nothing installed: the ini beside is copied",
      true, false, Installed::Missing, ConfigHome::Unset, UserFolder::Missing, "home/.config/zandreth", "beside" },
    { "NoIniBeside", "no ini beside: ~/.config/zandreth, first use copies",
      false, true, Installed::Readable, ConfigHome::Unset, UserFolder::Missing, "home/.config/zandreth", "installed" },
    { "XdgConfigHome", "XDG_CONFIG_HOME set",
      false, false, Installed::Readable, ConfigHome::Absolute, UserFolder::Missing, "config/zandreth", "installed" },
    { "XdgTrailingSlash", "XDG_CONFIG_HOME with a trailing slash",
      false, false, Installed::Readable, ConfigHome::AbsoluteWithSlash, UserFolder::Missing, "config/zandreth", "installed" },
    { "RelativeXdgIgnored", "relative XDG_CONFIG_HOME is ignored",
      false, false, Installed::Readable, ConfigHome::Relative, UserFolder::Missing, "home/.config/zandreth", "installed" },
    { "UsersOwnFileKept", "later use keeps the user's own file",
      false, false, Installed::Readable, ConfigHome::Unset, UserFolder::HoldsOwnFile, "home/.config/zandreth", "mine" },
    { "FolderCannotBeMade", "copy fails: user folder cannot be made",
      false, false, Installed::Readable, ConfigHome::Unset, UserFolder::Blocked, "home/.config/zandreth", "", ENOTDIR },
    { "InstalledUnreadable", "copy fails: installed catalogue unreadable",
      false, false, Installed::Unreadable, ConfigHome::Unset, UserFolder::Missing, "home/.config/zandreth", "", EACCES },
    { "NothingToCopy", "nothing installed and nothing beside",
      false, false, Installed::Missing, ConfigHome::Unset, UserFolder::Missing, "home/.config/zandreth", "" },
};

void PrintTo(const Case& c, std::ostream* out)
{
    *out << c.name;
}

class SettingsFolder : public testing::TestWithParam<Case> {};

TEST_P(SettingsFolder, ChoosesTheFolderAndFillsItOnFirstUse)
{
    const Case& c = GetParam();
    TempDir root;
    const fs::path& r = root.path();
    fs::create_directories(r / "prefix/bin");
    fs::create_directories(r / "home");
    if (c.iniBeside)
        root.write("prefix/bin/zandreth.ini", "beside");
    if (c.installed != Installed::Missing) {
        fs::create_directories(r / "prefix/share/zandreth");
        root.write("prefix/share/zandreth/zandreth.ini", "installed");
    }
    if (c.userFolder == UserFolder::HoldsOwnFile) {
        fs::create_directories(r / "home/.config/zandreth");
        root.write("home/.config/zandreth/zandreth.ini", "mine");
    }
    if (c.userFolder == UserFolder::Blocked)
        root.write("home/.config", "a file where the folder should be");

    platform::UserFolders user;
    user.home = (r / "home").string();
    if (c.configHome == ConfigHome::Absolute)
        user.configHome = (r / "config").string();
    if (c.configHome == ConfigHome::AbsoluteWithSlash)
        user.configHome = (r / "config").string() + "/";
    if (c.configHome == ConfigHome::Relative)
        user.configHome = "config";

    giveToOrdinaryUser(r);
    if (!c.programFolderWritable)
        fs::permissions(r / "prefix/bin", fs::perms::owner_read | fs::perms::owner_exec);
    if (c.installed == Installed::Unreadable)
        fs::permissions(r / "prefix/share/zandreth/zandreth.ini", fs::perms::none);

    std::string program = (r / "prefix/bin").string();
    std::string answer = runAsOrdinaryUser([&] {
        platform::FileReplaceFailure failure;
        std::string folder = platform::chooseSettingsFolder(program, user, failure);
        return folder + "\n" + std::to_string(failure.errorNumber);
    });
    fs::permissions(r / "prefix/bin", fs::perms::owner_all, fs::perm_options::add);

    auto [chosen, copyError] = [&answer] {
        auto lineEnd = answer.rfind('\n');
        return lineEnd == std::string::npos ? std::pair(answer, std::string())
                                            : std::pair(answer.substr(0, lineEnd), answer.substr(lineEnd + 1));
    }();
    EXPECT_EQ(chosen, (r / c.folder).string());
    EXPECT_EQ(copyError, std::to_string(c.copyError)) << "why the first copy failed, for its message";
    fs::path ini = r / c.folder / "zandreth.ini";
    if (*c.iniHolds) {
        EXPECT_EQ(root.read(fs::relative(ini, r).string()), c.iniHolds);
        EXPECT_EQ(namesIn(r / c.folder).count("zandreth.ini"), 1u);
    } else {
        EXPECT_FALSE(fs::exists(ini)) << "no zandreth.ini, not even half of one";
    }
    // Nothing but the settings file is left in the chosen folder (no
    // temporary copy), and the files it came from are unchanged.
    if (std::string(c.folder) != "prefix/bin") {
        for (const auto& name : namesIn(r / c.folder))
            EXPECT_EQ(name, "zandreth.ini");
    }
    if (c.iniBeside) {
        EXPECT_EQ(root.read("prefix/bin/zandreth.ini"), "beside");
    }
    if (c.installed == Installed::Readable) {
        EXPECT_EQ(root.read("prefix/share/zandreth/zandreth.ini"), "installed");
    }
    if (std::string(c.folder) == "prefix/bin") {
        EXPECT_FALSE(fs::exists(r / "home/.config")) << "a portable copy leaves the home folder alone";
    }
}

INSTANTIATE_TEST_SUITE_P(Rule, SettingsFolder, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<Case>& info) { return std::string(info.param.id); });

TEST(SettingsFolderCopy, IsTheUsersAloneAndComesFromTheWholeCatalogue)
{
    TempDir root;
    const fs::path& r = root.path();
    fs::create_directories(r / "prefix/bin");
    fs::create_directories(r / "prefix/share/zandreth");
    std::string catalogue(300000, 'x');
    catalogue += "\n[MAP_INFO]\nNUMBER_OF_CITY=0\n";
    root.write("prefix/share/zandreth/zandreth.ini", catalogue);
    platform::UserFolders user;
    user.home = (r / "home").string();

    std::string chosen = platform::chooseSettingsFolder((r / "prefix/bin").string(), user);

    EXPECT_EQ(chosen, (r / "home/.config/zandreth").string());
    EXPECT_EQ(root.read("home/.config/zandreth/zandreth.ini"), catalogue);
    auto others = fs::status(r / "home/.config/zandreth").permissions()
                  & (fs::perms::group_all | fs::perms::others_all);
    EXPECT_EQ(others, fs::perms::none) << "the folder made for the user is private";
}

// One instance per settings folder for every user who may keep settings in
// it: a portable copy's folder that others may write, and so use, but not
// list (mode 0733) included.
TEST(SettingsFolderInstance, AnotherUsersCopyFindsTheInstanceLock)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to run a copy as another user";
    for (fs::perms mode : { fs::perms::all, fs::perms::owner_all | fs::perms::group_write | fs::perms::group_exec
                                                | fs::perms::others_write | fs::perms::others_exec }) {
        SCOPED_TRACE(std::to_string(static_cast<int>(mode)));
        TempDir root;
        std::string folder = (root.path() / "portable").string();
        fs::create_directories(folder);
        fs::permissions(root.path(), fs::perms::owner_all | fs::perms::others_exec | fs::perms::group_exec);
        fs::permissions(folder, mode);
        ASSERT_FALSE(platform::system::anotherInstanceHolds(folder)) << "this process is the first";
        // Spelled otherwise, so that the child asks the system again rather
        // than remembering this process's answer.
        EXPECT_EQ(runAsOrdinaryUser([&] {
                      return platform::system::anotherInstanceHolds(folder + "/.") ? std::string("held") : "free";
                  }),
                  "held");
    }
}

TEST(SettingsFolderEnvironment, ReadsXdgConfigHomeAndHome)
{
    const char* savedConfig = std::getenv("XDG_CONFIG_HOME");
    const char* savedHome = std::getenv("HOME");
    std::string config = savedConfig ? savedConfig : "";
    std::string home = savedHome ? savedHome : "";

    ::setenv("XDG_CONFIG_HOME", "/somewhere/config", 1);
    ::setenv("HOME", "/somewhere/home", 1);
    auto user = platform::userFoldersFromEnvironment();
    EXPECT_EQ(user.configHome, "/somewhere/config");
    EXPECT_EQ(user.home, "/somewhere/home");

    ::unsetenv("XDG_CONFIG_HOME");
    ::unsetenv("HOME");
    user = platform::userFoldersFromEnvironment();
    EXPECT_EQ(user.configHome, "");
    EXPECT_FALSE(user.home.empty()) << "without HOME, the account's home folder";

    if (savedConfig)
        ::setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    if (savedHome)
        ::setenv("HOME", home.c_str(), 1);
}

} // namespace
