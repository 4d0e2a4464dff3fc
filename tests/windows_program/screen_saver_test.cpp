// zandreth.scr, the Windows program, run whole under Wine on a virtual X
// server of each test's own and driven with xdotool as a user would: the
// screen-saver settings of Windows start it with "/s", "/c" or "/p HWND".
//
// Wine shows each top-level window as an X window of its client area alone
// (with a window manager the frame is the manager's, without one there is
// none), named after the window's caption: the dialog's X window is its
// 511 x 446 client area, and a position in it is a position in the client
// area. The exit status of a Windows program is the exit status of the wine
// process that runs it.
//
// Every test shares the build's Wine prefix and ends its Wine server, with
// every Windows process it still holds, when it ends; so these tests run one
// at a time and never beside the other programs of that prefix.

#include "support/fixture.h"
#include "support/temp_dir.h"
#include "support/virtual_display.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;
using testing_support::commandExists;
using testing_support::Process;
using testing_support::readFile;
using testing_support::TempDir;
using testing_support::VirtualDisplay;

namespace fs = std::filesystem;

// Starting Wine, its server and its services can take many seconds on a busy
// machine: every wait polls, with these limits.
constexpr auto kStartLimit = 90s;
constexpr auto kEndLimit = 30s;

std::string environmentValue(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

std::string shellQuoted(const std::string& text)
{
    std::string quoted = "'";
    for (char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

// A window's place and size on the screen, as xwininfo gives them.
struct WindowGeometry {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;

    bool operator==(const WindowGeometry&) const = default;
};

void PrintTo(const WindowGeometry& g, std::ostream* out)
{
    *out << g.width << "x" << g.height << "+" << g.left << "+" << g.top;
}

// Run mode's window on the tests' 1024 x 768 screen.
constexpr WindowGeometry kWholeScreen { 0, 0, 1024, 768 };

class ScreenSaverOnWine : public testing::Test {
protected:
    void SetUp() override
    {
        // The build that registers these tests names the program and Wine.
        ASSERT_FALSE(scr.empty()) << "ZANDRETH_SCR names the built zandreth.scr";
        ASSERT_FALSE(wine.empty()) << "ZANDRETH_WINE names Wine's loader";
        ASSERT_FALSE(wineserver.empty()) << "ZANDRETH_WINESERVER names Wine's server";
        ASSERT_FALSE(prefix.empty()) << "WINEPREFIX names the build's Wine prefix";
        if (!commandExists("Xvfb") || !commandExists("xdotool") || !commandExists("xwininfo"))
            GTEST_SKIP() << "needs Xvfb, xdotool and xwininfo";
        forgetUsersSettings();
        ASSERT_TRUE(display.start("1024x768"));
        // The program is one file: a folder with it and a zandreth.ini is a
        // whole installation.
        fs::copy_file(scr, program());
    }

    void TearDown() override
    {
        // The Wine server of the prefix ends, and every Windows process with
        // it, before the X server goes away under them.
        std::system(("WINEPREFIX=" + shellQuoted(prefix) + " " + shellQuoted(wineserver) + " -k >/dev/null 2>&1").c_str());
        std::system(("WINEPREFIX=" + shellQuoted(prefix) + " timeout 60 " + shellQuoted(wineserver)
                     + " -w >/dev/null 2>&1").c_str());
        forgetUsersSettings();
    }

    std::string program() const { return folder.file("zandreth.scr"); }
    std::string settings() const { return folder.file("zandreth.ini"); }
    void installCatalogue() const { fs::copy_file(testing_support::fixturePath("zandreth.ini"), settings()); }

    // The user's own settings folder inside the prefix, %APPDATA%\Zandreth:
    // Wine sets APPDATA from the prefix, whatever the environment says, so
    // each test starts and ends without one.
    std::vector<fs::path> usersSettingsFolders() const
    {
        std::vector<fs::path> folders;
        std::error_code error;
        for (const auto& user : fs::directory_iterator(fs::path(prefix) / "drive_c" / "users", error))
            folders.push_back(user.path() / "AppData" / "Roaming" / "Zandreth");
        return folders;
    }
    void forgetUsersSettings() const
    {
        for (const auto& folder : usersSettingsFolders()) {
            std::error_code ignored;
            fs::remove_all(folder, ignored);
        }
    }
    bool usersSettingsExist() const
    {
        for (const auto& folder : usersSettingsFolders())
            if (fs::exists(folder / "zandreth.ini"))
                return true;
        return false;
    }

    std::unique_ptr<Process> start(const std::vector<std::string>& arguments) const
    {
        return startWindowsProgram(program(), arguments);
    }

    // Another Windows program beside zandreth.scr (tests/windows/other_program.cpp).
    std::unique_ptr<Process> startOtherProgram(const std::vector<std::string>& arguments) const
    {
        return startWindowsProgram(otherProgram, arguments);
    }

    std::unique_ptr<Process> startWindowsProgram(const std::string& path, const std::vector<std::string>& arguments) const
    {
        std::vector<std::string> command { wine, path };
        command.insert(command.end(), arguments.begin(), arguments.end());
        return std::make_unique<Process>(command,
                                         std::vector<std::string> { display.environment(), "WINEPREFIX=" + prefix,
                                                                    "WINEDEBUG=-all", "WINEDLLOVERRIDES=mscoree,mshtml=",
                                                                    "WAYLAND_DISPLAY" });
    }

    // The first visible X window whose name matches `name` (a regular
    // expression), once it has appeared within the start limit.
    std::optional<std::string> waitForWindow(const std::string& name) const
    {
        auto deadline = std::chrono::steady_clock::now() + kStartLimit;
        while (std::chrono::steady_clock::now() < deadline) {
            std::string found = display.output("xdotool search --onlyvisible --name " + shellQuoted(name));
            if (!found.empty())
                return found.substr(0, found.find('\n'));
            std::this_thread::sleep_for(200ms);
        }
        return std::nullopt;
    }
    bool windowShown(const std::string& name) const
    {
        return display.run("xdotool search --onlyvisible --name " + shellQuoted(name));
    }

    std::optional<WindowGeometry> geometry(const std::string& window) const
    {
        std::string info = display.output("xwininfo -id " + window);
        auto field = [&](const std::string& label) -> std::optional<int> {
            auto at = info.find(label);
            if (at == std::string::npos)
                return std::nullopt;
            return std::stoi(info.substr(at + label.size()));
        };
        auto left = field("Absolute upper-left X:");
        auto top = field("Absolute upper-left Y:");
        auto width = field("Width:");
        auto height = field("Height:");
        if (!left || !top || !width || !height)
            return std::nullopt;
        return WindowGeometry { *left, *top, *width, *height };
    }

    // There may be no window manager: the window gets the focus, then the
    // key. Under load the focus can arrive late, so the key goes again until
    // the program ends (or the end limit has passed).
    std::optional<int> pressKeyUntilEnd(Process& process, const std::string& window, const std::string& key) const
    {
        auto deadline = std::chrono::steady_clock::now() + kEndLimit;
        while (std::chrono::steady_clock::now() < deadline) {
            display.run("timeout 5 xdotool search --onlyvisible --name " + shellQuoted(window) + " windowfocus --sync");
            display.run("xdotool key " + key);
            if (auto status = process.waitFor(2s))
                return status;
        }
        return process.waitFor(0ms);
    }

    // A click at (x, y) of the client area of the window named `window`,
    // again until the program ends.
    std::optional<int> clickUntilEnd(Process& process, const std::string& window, int x, int y) const
    {
        auto deadline = std::chrono::steady_clock::now() + kEndLimit;
        while (std::chrono::steady_clock::now() < deadline) {
            display.run("timeout 5 xdotool search --onlyvisible --name " + shellQuoted(window) + " mousemove --window %1 --sync "
                        + std::to_string(x) + " " + std::to_string(y) + " click 1");
            if (auto status = process.waitFor(2s))
                return status;
        }
        return process.waitFor(0ms);
    }

    const std::string scr = environmentValue("ZANDRETH_SCR");
    const std::string otherProgram = environmentValue("ZANDRETH_OTHER_PROGRAM");
    const std::string wine = environmentValue("ZANDRETH_WINE");
    const std::string wineserver = environmentValue("ZANDRETH_WINESERVER");
    const std::string prefix = environmentValue("WINEPREFIX");
    TempDir folder;
    VirtualDisplay display;
};

TEST_F(ScreenSaverOnWine, RunModeCoversTheScreenAndAKeyEndsItWithStatusZero)
{
    installCatalogue();
    auto run = start({ "/s" });
    ASSERT_TRUE(run->started());
    auto window = waitForWindow("^Form1$");
    ASSERT_TRUE(window) << "run mode shows its window";
    auto covered = geometry(*window);
    ASSERT_TRUE(covered);
    EXPECT_EQ(*covered, kWholeScreen);
    EXPECT_FALSE(run->waitFor(500ms)) << "it runs until the user comes back";

    EXPECT_EQ(pressKeyUntilEnd(*run, "^Form1$", "space"), 0);
    EXPECT_EQ(readFile(settings()), testing_support::fixture("zandreth.ini")) << "run mode writes nothing";
}

// Windows' screen savers end when the user turns to another program: a
// window of another program made active ends run mode, with status 0.
TEST_F(ScreenSaverOnWine, RunModeEndsWithStatusZeroWhenAnotherProgramIsActivated)
{
    ASSERT_FALSE(otherProgram.empty()) << "ZANDRETH_OTHER_PROGRAM names the other program";
    installCatalogue();
    auto run = start({ "/s" });
    ASSERT_TRUE(waitForWindow("^Form1$")) << "run mode shows its window";
    EXPECT_FALSE(run->waitFor(1s)) << "it runs until the user comes back";

    auto other = startOtherProgram({ "activate" });
    ASSERT_TRUE(waitForWindow("^Other program$")) << "the other program shows its window";
    EXPECT_EQ(run->waitFor(kEndLimit), 0);
    EXPECT_EQ(readFile(settings()), testing_support::fixture("zandreth.ini"));
}

// Windows sends a window mouse moves where the pointer rests when windows
// appear, disappear or move under it: those do not count towards the seven
// moves that end run mode; moves that go somewhere do.
TEST_F(ScreenSaverOnWine, MouseMovesWhereThePointerRestsDoNotEndRunMode)
{
    ASSERT_FALSE(otherProgram.empty()) << "ZANDRETH_OTHER_PROGRAM names the other program";
    installCatalogue();
    auto run = start({ "/s" });
    ASSERT_TRUE(waitForWindow("^Form1$")) << "run mode shows its window";

    EXPECT_EQ(startOtherProgram({ "moves-in-place", "20" })->waitFor(kStartLimit), 0);
    EXPECT_FALSE(run->waitFor(1s)) << "twenty moves in place are one move";

    EXPECT_EQ(startOtherProgram({ "moves", "7" })->waitFor(kStartLimit), 0);
    EXPECT_EQ(run->waitFor(kEndLimit), 0) << "seven moves end the run";
}

// "/c" from the screen-saver settings, and an empty command line (the .scr
// opened from Explorer), open the settings dialog.
class SettingsDialogOnWine : public ScreenSaverOnWine, public testing::WithParamInterface<std::vector<std::string>> {
protected:
    std::unique_ptr<Process> openDialog()
    {
        installCatalogue();
        auto dialog = start(GetParam());
        EXPECT_TRUE(dialog->started());
        EXPECT_TRUE(waitForWindow("^Zandreth$")) << "the dialog opens";
        return dialog;
    }
};

TEST_P(SettingsDialogOnWine, HasItsClientAreaAndEscClosesItWritingNothing)
{
    auto dialog = openDialog();
    auto window = waitForWindow("^Zandreth$");
    ASSERT_TRUE(window);
    auto client = geometry(*window);
    ASSERT_TRUE(client);
    EXPECT_EQ(client->width, 511);
    EXPECT_EQ(client->height, 446);

    EXPECT_EQ(pressKeyUntilEnd(*dialog, "^Zandreth$", "Escape"), 0);
    EXPECT_EQ(readFile(settings()), testing_support::fixture("zandreth.ini")) << "Esc writes nothing";
    EXPECT_FALSE(usersSettingsExist()) << "the settings beside the program are the ones in use";
}

TEST_P(SettingsDialogOnWine, ApplySavesEveryChoiceAndKeepsEveryOtherByte)
{
    auto dialog = openDialog();
    // Untick the first row (its box at 24, 48 of the client area, 33 x 25
    // pixels), then 設定 (416, 24, 81 x 33 pixels) saves and closes.
    ASSERT_TRUE(display.run("timeout 30 xdotool search --onlyvisible --name '^Zandreth$' mousemove --window %1 --sync 36 60 click 1"));
    EXPECT_EQ(clickUntilEnd(*dialog, "^Zandreth$", 456, 40), 0);

    // The keys the file lacked follow the last key of their section, with the
    // file's own line ending; every line that was there stays as it was.
    EXPECT_EQ(readFile(settings()), testing_support::fixture("zandreth.saved.ini"));
    EXPECT_FALSE(usersSettingsExist());
}

// With a window manager the frame and the title bar are the manager's; the
// dialog's X window is still its client area, and run mode still covers the
// whole screen.
TEST_F(ScreenSaverOnWine, UnderAWindowManagerTheDialogKeepsItsClientAreaAndRunModeCoversTheScreen)
{
    if (!commandExists("openbox") || !commandExists("xprop"))
        GTEST_SKIP() << "needs openbox and xprop";
    Process manager({ "openbox" }, { display.environment() });
    ASSERT_TRUE(display.waitForWindowManager()) << "the window manager runs";
    installCatalogue();

    auto dialog = start({ "/c" });
    auto window = waitForWindow("^Zandreth$");
    ASSERT_TRUE(window) << "the dialog opens";
    auto client = geometry(*window);
    ASSERT_TRUE(client);
    EXPECT_EQ(client->width, 511);
    EXPECT_EQ(client->height, 446);
    EXPECT_GT(client->top, 0) << "under the manager's title bar";
    EXPECT_EQ(pressKeyUntilEnd(*dialog, "^Zandreth$", "Escape"), 0);

    auto run = start({ "/s" });
    auto covering = waitForWindow("^Form1$");
    ASSERT_TRUE(covering) << "run mode shows its window";
    auto covered = geometry(*covering);
    ASSERT_TRUE(covered);
    EXPECT_EQ(*covered, kWholeScreen);
    EXPECT_EQ(pressKeyUntilEnd(*run, "^Form1$", "space"), 0);
    EXPECT_EQ(readFile(settings()), testing_support::fixture("zandreth.ini"));
}

INSTANTIATE_TEST_SUITE_P(CommandLines, SettingsDialogOnWine,
                         testing::Values(std::vector<std::string> { "/c" }, std::vector<std::string> {}),
                         [](const testing::TestParamInfo<std::vector<std::string>>& info) {
                             return info.param.empty() ? std::string("Empty") : std::string("Configure");
                         });

TEST_F(ScreenSaverOnWine, PreviewEndsAtOnceWithStatusZero)
{
    installCatalogue();
    auto preview = start({ "/p", "1234" });
    ASSERT_TRUE(preview->started());
    EXPECT_EQ(preview->waitFor(kStartLimit), 0);
    EXPECT_FALSE(windowShown("^Form1$"));
    EXPECT_EQ(readFile(settings()), testing_support::fixture("zandreth.ini"));
}

TEST_F(ScreenSaverOnWine, SecondInstanceEndsAtOnceWhileTheFirstRuns)
{
    installCatalogue();
    auto first = start({ "/s" });
    ASSERT_TRUE(waitForWindow("^Form1$"));
    auto second = start({ "/c" });
    EXPECT_EQ(second->waitFor(kStartLimit), 0);
    EXPECT_FALSE(windowShown("^Zandreth$")) << "the second instance shows nothing";
    EXPECT_FALSE(first->waitFor(200ms)) << "the first instance runs on";
    EXPECT_EQ(pressKeyUntilEnd(*first, "^Form1$", "space"), 0);
}

// Without a zandreth.ini beside the program (and none in the user's folder to
// copy from), every mode shows the catalogue's message, which stays until the
// user answers it; the program then ends.
class CatalogueMessageOnWine : public ScreenSaverOnWine, public testing::WithParamInterface<std::vector<std::string>> { };

TEST_P(CatalogueMessageOnWine, StaysUntilOKThenTheProgramEnds)
{
    auto run = start(GetParam());
    ASSERT_TRUE(run->started());
    ASSERT_TRUE(waitForWindow("^定義ファイル読み込みエラー$")) << "the message box";
    // Left unread for three seconds, several clock intervals: the box and the
    // program are still there.
    std::this_thread::sleep_for(3s);
    EXPECT_FALSE(run->waitFor(0ms)) << "the program waits for the message to be read";
    EXPECT_TRUE(windowShown("^定義ファイル読み込みエラー$")) << "the message is still on the screen";
    EXPECT_EQ(pressKeyUntilEnd(*run, "^定義ファイル読み込みエラー$", "Return"), 0);
    EXPECT_FALSE(fs::exists(settings()));
    EXPECT_FALSE(usersSettingsExist()) << "nothing half-made in %APPDATA%";
}

INSTANTIATE_TEST_SUITE_P(Modes, CatalogueMessageOnWine,
                         testing::Values(std::vector<std::string> { "/s" }, std::vector<std::string> { "/c" },
                                         std::vector<std::string> { "/p", "1234" }, std::vector<std::string> {}),
                         [](const testing::TestParamInfo<std::vector<std::string>>& info) {
                             if (info.param.empty())
                                 return std::string("Empty");
                             return std::string(info.param[0] == "/s" ? "Run" : info.param[0] == "/c" ? "Configure" : "Preview");
                         });

} // namespace
