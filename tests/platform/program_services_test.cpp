// The running program as POSIX shows it (platform/system/posix/program.cpp): the
// folder of its executable, found by the kernel or else from its name, and
// the command line after the name.

#include "platform/system/posix/program.h"
#include "platform/system/program.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using testing_support::TempDir;

// Works in `folder` while it lives, then goes back.
class CurrentFolder {
public:
    explicit CurrentFolder(const fs::path& folder)
        : previous_(fs::current_path())
    {
        fs::current_path(folder);
    }
    ~CurrentFolder() { fs::current_path(previous_); }
    CurrentFolder(const CurrentFolder&) = delete;
    CurrentFolder& operator=(const CurrentFolder&) = delete;

private:
    fs::path previous_;
};

// --- The command line ---------------------------------------------------------------

TEST(CommandTail, IsTheArgumentsAfterTheProgramsNameJoinedByBlanks)
{
    struct Case {
        std::vector<std::string> arguments;
        std::string tail;
    };
    const Case cases[] = {
        { {}, "" },
        { { "zandreth" }, "" },
        { { "/usr/bin/zandreth", "/s" }, "/s" },
        { { "zandreth", "/c:1234" }, "/c:1234" },
        { { "zandreth", "/p", "1234" }, "/p 1234" },
        // Nothing is quoted again: an argument's blanks join the rest.
        { { "zandreth", "/p 1234", "x" }, "/p 1234 x" },
        { { "zandreth", "", "/s" }, " /s" },
        { { "zandreth", "/s", "" }, "/s " },
        { { "/opt/日本 語/zandreth", "日本語" }, "日本語" },
        // Bytes that are no UTF-8 character each become U+FFFD.
        { { "zandreth", "/s\xFF" }, "/s\xEF\xBF\xBD" },
        { { "zandreth", "\xE6\x97" "A" }, "\xEF\xBF\xBD\xEF\xBF\xBD" "A" },
        { { "zandreth", "\xC0\xAF", "\xED\xA0\x80" }, "\xEF\xBF\xBD\xEF\xBF\xBD \xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD" },
        { { "zandreth", "\xF0\x9F\x8C\x8F" }, "\xF0\x9F\x8C\x8F" },
    };
    for (const Case& c : cases)
        EXPECT_EQ(platform::system::commandTail(c.arguments), c.tail)
            << "arguments: " << testing::PrintToString(c.arguments);
}

// --- The program's folder --------------------------------------------------------------

TEST(ProgramFolder, IsTheFolderOfTheRunningExecutableWhereverItWasStartedFrom)
{
    const fs::path expected = fs::canonical(fs::path(ZANDRETH_TEST_PROGRAM)).parent_path();
    TempDir elsewhere;
    CurrentFolder inside(elsewhere.path());
    // Whatever the name says, the kernel knows the executable.
    const std::vector<std::vector<std::string>> names = {
        { "program_services_test" }, { "./somewhere/else" }, { "/nonexistent/zandreth", "/s" }, {}
    };
    for (const auto& arguments : names) {
        std::string folder = platform::system::programFolder(arguments);
        EXPECT_EQ(folder, expected.string()) << testing::PrintToString(arguments);
        ASSERT_FALSE(folder.empty());
        EXPECT_NE(folder.back(), '/');
    }
}

// Where the kernel does not name the executable, its name does, as the shell
// found it.
TEST(ProgramFolder, TheProgramsNameFindsTheExecutableAsTheShellDid)
{
    TempDir root;
    const fs::path top = fs::canonical(root.path());
    auto executable = [&](const std::string& path, fs::perms permissions) {
        fs::create_directories((top / path).parent_path());
        root.write(path, "#!/bin/sh\n");
        fs::permissions(top / path, permissions);
    };
    const fs::perms runnable = fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec;
    executable("readable/zandreth", fs::perms::owner_read | fs::perms::owner_write);
    executable("bin/zandreth", runnable);
    executable("here/zandreth", runnable);
    fs::create_directories(top / "folder/zandreth");
    fs::create_directories(top / "links");
    fs::create_symlink("../bin/zandreth", top / "links/zandreth");
    fs::create_symlink(top / "links", top / "linked-folder");

    struct Case {
        const char* name;
        // Folders under the test's own, separated by colons; an empty one is
        // the current folder.
        std::vector<std::string> searchPath;
        // Under the test's folder; empty for none.
        std::string found;
    };
    const Case cases[] = {
        { "zandreth", { "readable", "folder", "bin" }, "bin/zandreth" },
        { "zandreth", { "readable", "folder" }, "" },
        { "zandreth", { "links" }, "bin/zandreth" },
        { "zandreth", { "readable", "" }, "here/zandreth" },
        { "zandreth", {}, "here/zandreth" },
        { "zandreth", { "missing" }, "" },
        { "../bin/zandreth", { "readable" }, "bin/zandreth" },
        { "./zandreth", { "bin" }, "here/zandreth" },
        { "../linked-folder/zandreth", {}, "bin/zandreth" },
        { "../missing/zandreth", { "bin" }, "" },
        { "", { "bin" }, "" },
    };
    CurrentFolder inside(top / "here");
    for (const Case& c : cases) {
        std::string searchPath;
        for (std::size_t i = 0; i < c.searchPath.size(); ++i)
            searchPath += (i > 0 ? ":" : "") + (c.searchPath[i].empty() ? "" : (top / c.searchPath[i]).string());
        const std::string expected = c.found.empty() ? "" : (top / c.found).string();
        EXPECT_EQ(platform::system::executableNamed(c.name, searchPath), expected)
            << c.name << " in " << testing::PrintToString(c.searchPath);
    }
    const std::string absolute = (top / "bin/zandreth").string();
    EXPECT_EQ(platform::system::executableNamed(absolute, ""), absolute);
}

} // namespace
