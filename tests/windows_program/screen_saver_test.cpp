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

#include "program/day_night_screen.h"
#include "support/fixture.h"
#include "support/temp_dir.h"
#include "support/virtual_display.h"

#include <gtest/gtest.h>

#include <poll.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>
#include <ostream>
#include <random>
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
        ASSERT_TRUE(display.start(screenSize()));
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

    // The virtual screen's size.
    virtual std::string screenSize() const { return "1024x768"; }

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

    std::unique_ptr<Process> start(const std::vector<std::string>& arguments,
                                   const std::vector<std::string>& environment = {}) const
    {
        return startWindowsProgram(program(), arguments, environment);
    }

    // Another Windows program beside zandreth.scr (tests/windows/other_program.cpp).
    std::unique_ptr<Process> startOtherProgram(const std::vector<std::string>& arguments) const
    {
        return startWindowsProgram(otherProgram, arguments);
    }

    std::unique_ptr<Process> startWindowsProgram(const std::string& path, const std::vector<std::string>& arguments,
                                                 const std::vector<std::string>& environment = {}) const
    {
        std::vector<std::string> command { wine, path };
        command.insert(command.end(), arguments.begin(), arguments.end());
        std::vector<std::string> variables { display.environment(), "WINEPREFIX=" + prefix, "WINEDEBUG=-all",
                                             "WINEDLLOVERRIDES=mscoree,mshtml=", "WAYLAND_DISPLAY" };
        variables.insert(variables.end(), environment.begin(), environment.end());
        return std::make_unique<Process>(command, variables);
    }

    // A path of this machine as the program sees it under Wine, on drive Z:.
    static std::string windowsPath(std::string path)
    {
        for (char& c : path)
            if (c == '/')
                c = '\\';
        return "Z:" + path;
    }

    // What the visible windows captioned `caption` and their controls say,
    // once one of them says `part` (within the start limit); what they said
    // last otherwise.
    std::string waitForText(const std::string& caption, const std::string& part) const
    {
        std::string texts;
        auto deadline = std::chrono::steady_clock::now() + kStartLimit;
        while (std::chrono::steady_clock::now() < deadline) {
            texts = display.output("WINEPREFIX=" + shellQuoted(prefix) + " WINEDEBUG=-all " + shellQuoted(wine) + " "
                                   + shellQuoted(windowTexts) + " " + shellQuoted(caption));
            if (texts.find(part) != std::string::npos)
                break;
            std::this_thread::sleep_for(200ms);
        }
        return texts;
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
    const std::string windowTexts = environmentValue("ZANDRETH_WINDOW_TEXTS");
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

// With DAY_NIGHT=1 run mode shows the map's night side darkened for the
// current UTC minute, as the Linux program does.
TEST_F(ScreenSaverOnWine, RunModeShowsDayAndNightWhenChosen)
{
    if (!commandExists("import"))
        GTEST_SKIP() << "needs ImageMagick's import";
    std::string text = testing_support::fixture("zandreth.ini");
    text.replace(text.find("[PROC_INFO]\r\n"), 13, "[PROC_INFO]\r\nDAY_NIGHT=1\r\n");
    folder.write("zandreth.ini", text);
    auto run = start({ "/s" });
    ASSERT_TRUE(run->started());
    ASSERT_TRUE(waitForWindow("^Form1$")) << "run mode shows its window";
    const std::vector<uint32_t> picture = day_night_test::mapPicture(ZANDRETH_SOURCE_DIR);
    auto best = day_night_test::bestMapMatch(display, folder.file("shot.ppm"), picture, true);
    ASSERT_TRUE(best) << "the map is on the screen";
    EXPECT_GT(best->darkenedCount, static_cast<std::size_t>(day_night_test::kMapWidth * day_night_test::kMapHeight / 3));
    EXPECT_GT(best->day, 0.97) << "the day side shows the picture";
    EXPECT_GT(best->darkened, 0.97) << "the night side shows the picture darkened";
    EXPECT_EQ(pressKeyUntilEnd(*run, "^Form1$", "space"), 0);
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

// The two boxes of 表示オプション (昼夜を表示 at 320, 376 and 夏時間を使う at
// 320, 400 of the client area, their box at the left): the same clicks as
// the Linux program's test give the same bytes, the two keys after the last
// key of PROC_INFO.
TEST_P(SettingsDialogOnWine, TheTwoChoicesAreSavedAfterEveryOtherKey)
{
    auto dialog = openDialog();
    for (const char* at : { "328 386", "328 410", "36 60" })
        ASSERT_TRUE(display.run(std::string("timeout 30 xdotool search --onlyvisible --name '^Zandreth$' mousemove --window %1 --sync ")
                                + at + " click 1"));
    EXPECT_EQ(clickUntilEnd(*dialog, "^Zandreth$", 456, 40), 0);
    EXPECT_EQ(readFile(settings()), testing_support::fixture("zandreth.saved.ini") + "DAY_NIGHT=1\r\nSUMMER_TIME=1\r\n");
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

// The About box, opened from the dialog's third button (its middle at 456,
// 152 of the client area), shows the release's version numbers.
TEST_F(ScreenSaverOnWine, AboutShowsTheReleasesVersion)
{
    ASSERT_FALSE(windowTexts.empty()) << "ZANDRETH_WINDOW_TEXTS names the program that reads windows' texts";
    installCatalogue();
    auto dialog = start({ "/c" });
    ASSERT_TRUE(waitForWindow("^Zandreth$")) << "the dialog opens";
    ASSERT_TRUE(display.run("timeout 30 xdotool search --onlyvisible --name '^Zandreth$' mousemove --window %1 --sync 456 152 click 1"));
    std::string texts = waitForText("ZandrethVersion Information", "Version 1.0.0");
    EXPECT_NE(texts.find("Version 1.0.0"), std::string::npos) << texts;
}

// A save that fails names the file as Windows writes paths, with "\"
// throughout.
TEST_F(ScreenSaverOnWine, ASaveFailureNamesTheFileWithBackslashes)
{
    ASSERT_FALSE(windowTexts.empty()) << "ZANDRETH_WINDOW_TEXTS names the program that reads windows' texts";
    installCatalogue();
    // Read-only for Windows, so 設定 cannot save.
    fs::permissions(settings(), fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    auto dialog = start({ "/c" });
    ASSERT_TRUE(waitForWindow("^Zandreth$")) << "the dialog opens";
    ASSERT_TRUE(display.run("timeout 30 xdotool search --onlyvisible --name '^Zandreth$' mousemove --window %1 --sync 36 60 click 1 mousemove --window %1 --sync 456 40 click 1"));
    std::string texts = waitForText("Zandreth", "設定を保存できませんでした。");
    EXPECT_NE(texts.find(windowsPath(settings())), std::string::npos)
        << "the message names " << windowsPath(settings()) << ":\n" << texts;
    EXPECT_EQ(readFile(settings()), testing_support::fixture("zandreth.ini"));
}

// What happens to the names of a folder's files, as inotify reports it.
class FolderWatch {
public:
    explicit FolderWatch(const std::string& folder)
        : descriptor_(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC))
    {
        if (descriptor_ >= 0)
            ::inotify_add_watch(descriptor_, folder.c_str(), IN_MOVED_FROM | IN_MOVED_TO | IN_DELETE);
    }
    ~FolderWatch()
    {
        if (descriptor_ >= 0)
            ::close(descriptor_);
    }
    FolderWatch(const FolderWatch&) = delete;
    FolderWatch& operator=(const FolderWatch&) = delete;

    bool ready() const { return descriptor_ >= 0; }

    // Forgets what happened so far.
    void drain() const
    {
        alignas(inotify_event) char buffer[4096];
        while (::read(descriptor_, buffer, sizeof buffer) > 0) {
        }
    }

    // Waits until the name `name` is taken away (the file moved or removed)
    // or given to another file, or until `deadline`; true when it was.
    bool waitForNameChange(const std::string& name, std::chrono::steady_clock::time_point deadline) const
    {
        alignas(inotify_event) char buffer[4096];
        for (;;) {
            auto left = std::chrono::duration_cast<std::chrono::microseconds>(deadline - std::chrono::steady_clock::now());
            if (left.count() <= 0)
                return false;
            pollfd wait { descriptor_, POLLIN, 0 };
            timespec limit { 0, static_cast<long>(left.count()) * 1000 };
            if (::ppoll(&wait, 1, &limit, nullptr) <= 0)
                continue;
            ssize_t length = ::read(descriptor_, buffer, sizeof buffer);
            for (ssize_t at = 0; at < length;) {
                const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
                if (event->len > 0 && event->name == name)
                    return true;
                at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            }
        }
    }

private:
    int descriptor_;
};

// A kill in the moments after 設定, while the program saves, never leaves
// the folder without its zandreth.ini: the file holds the old settings or the
// new ones, whole, after every kill, and a save that ends normally then
// leaves nothing beside it. Every kill comes within 8 ms of the button's
// release: half of them at a moment drawn from the whole span, to the
// microsecond; the other half at the first change the folder reports to the
// name zandreth.ini (the old file moved away or removed, or a new one given
// the name), within 100 µs of it, so that they find the replacement itself
// under way.
TEST_F(ScreenSaverOnWine, KillsJustAfterApplyLeaveTheSettingsFileWhole)
{
    constexpr int kKills = 32;
    constexpr auto kLatestKill = 8000us;
    constexpr int kAfterNameChangeMicroseconds = 100;
    const std::string before = testing_support::fixture("zandreth.ini");
    const std::string after = testing_support::fixture("zandreth.saved.ini");
    FolderWatch watch(folder.path());
    ASSERT_TRUE(watch.ready());
    std::mt19937 random(std::random_device {}());
    int saved = 0;
    for (int kill = 0; kill < kKills; ++kill) {
        fs::copy_file(testing_support::fixturePath("zandreth.ini"), settings(), fs::copy_options::overwrite_existing);
        auto dialog = start({ "/c" });
        ASSERT_TRUE(waitForWindow("^Zandreth$")) << "the dialog opens";
        watch.drain();
        // Untick the first row, then 設定, then the kill.
        ASSERT_TRUE(display.run("timeout 30 xdotool search --onlyvisible --name '^Zandreth$' mousemove --window %1 --sync 36 60 click 1 mousemove --window %1 --sync 456 40 click 1"));
        auto released = std::chrono::steady_clock::now();
        auto killAt = released + std::chrono::microseconds(std::uniform_int_distribution<int>(0, kLatestKill.count())(random));
        if (kill % 2 == 1 && watch.waitForNameChange("zandreth.ini", released + kLatestKill))
            killAt = std::min(released + kLatestKill,
                              std::chrono::steady_clock::now()
                                  + std::chrono::microseconds(std::uniform_int_distribution<int>(0, kAfterNameChangeMicroseconds)(random)));
        std::this_thread::sleep_until(killAt);
        ::kill(dialog->pid(), SIGKILL);
        auto waited = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - released);
        dialog->waitFor(kEndLimit);

        SCOPED_TRACE("kill " + std::to_string(kill + 1) + ", " + std::to_string(waited.count()) + " µs after 設定");
        ASSERT_TRUE(fs::exists(settings())) << "zandreth.ini is gone; beside it: " << [&] {
            std::string names;
            for (const auto& entry : fs::directory_iterator(folder.path()))
                names += entry.path().filename().string() + " ";
            return names;
        }();
        std::string bytes = readFile(settings());
        EXPECT_TRUE(bytes == before || bytes == after) << "zandreth.ini is neither the old file nor the new one: "
                                                       << bytes.size() << " bytes";
        saved += bytes == after;
    }
    std::cout << "[          ] " << saved << " of " << kKills << " kills came after the save\n";

    // A save that is not killed removes what killed ones left.
    fs::copy_file(testing_support::fixturePath("zandreth.ini"), settings(), fs::copy_options::overwrite_existing);
    auto dialog = start({ "/c" });
    ASSERT_TRUE(waitForWindow("^Zandreth$")) << "the dialog opens";
    ASSERT_TRUE(display.run("timeout 30 xdotool search --onlyvisible --name '^Zandreth$' mousemove --window %1 --sync 36 60 click 1"));
    EXPECT_EQ(clickUntilEnd(*dialog, "^Zandreth$", 456, 40), 0);
    EXPECT_EQ(readFile(settings()), after);
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder.path()))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string> { "zandreth.ini", "zandreth.scr" })) << "nothing is left beside it";
}

// The switches and the variable of X11's screen-saver hosts mean nothing on
// Windows: like any text the program does not know, they open the dialog.
TEST_F(ScreenSaverOnWine, X11HostSwitchesAreUnknownOnesAndOpenTheDialog)
{
    const struct {
        std::vector<std::string> arguments;
        std::vector<std::string> environment;
    } cases[] = {
        { { "-root" }, {} },
        { { "--root" }, {} },
        { { "-window-id", "12345" }, {} },
        { { "--window-id", "12345" }, {} },
        { {}, { "XSCREENSAVER_WINDOW=12345" } },
    };
    installCatalogue();
    for (const auto& c : cases) {
        SCOPED_TRACE((c.arguments.empty() ? std::string() : c.arguments[0]) + " "
                     + (c.environment.empty() ? std::string() : c.environment[0]));
        auto dialog = start(c.arguments, c.environment);
        ASSERT_TRUE(dialog->started());
        auto window = waitForWindow("^Zandreth$");
        ASSERT_TRUE(window) << "the dialog opens";
        EXPECT_FALSE(windowShown("^Form1$")) << "no run mode";
        auto client = geometry(*window);
        ASSERT_TRUE(client);
        EXPECT_EQ(client->width, 511) << "the dialog, not a message";
        EXPECT_EQ(client->height, 446);
        EXPECT_EQ(pressKeyUntilEnd(*dialog, "^Zandreth$", "Escape"), 0);
    }
    EXPECT_EQ(readFile(settings()), testing_support::fixture("zandreth.ini"));
}

// Nor do they let a second copy past the instance check.
TEST_F(ScreenSaverOnWine, RootSwitchDoesNotSkipTheInstanceCheck)
{
    installCatalogue();
    auto first = start({ "/s" });
    ASSERT_TRUE(waitForWindow("^Form1$"));
    auto second = start({ "-root" });
    EXPECT_EQ(second->waitFor(kStartLimit), 0);
    EXPECT_FALSE(windowShown("^Zandreth$")) << "the second copy shows nothing";
    EXPECT_FALSE(first->waitFor(200ms)) << "the first copy runs on";
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

// zandreth.scr on a screen of 144 and 192 dots per inch, Windows at 150 %
// and 200 % (LogPixels of the user's desktop settings, which Wine reads as
// Windows does). The program declares itself aware of each monitor's
// scale, so Windows hands it device pixels: run mode draws its whole
// picture, the map, its labels and the UTC line under it, at the screen's
// scale, and the dialog opens at it. The screen is large enough for the
// picture at 2x.
class ScreenSaverAtScale : public ScreenSaverOnWine, public testing::WithParamInterface<int> {
protected:
    std::string screenSize() const override { return "2560x1600"; }

    void SetUp() override
    {
        ScreenSaverOnWine::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        ASSERT_TRUE(reg("add 'HKCU\\Control Panel\\Desktop' /v LogPixels /t REG_DWORD /d " + std::to_string(GetParam())
                        + " /f"));
    }

    void TearDown() override
    {
        // The prefix's other users see the standard resolution again.
        reg("delete 'HKCU\\Control Panel\\Desktop' /v LogPixels /f");
        ScreenSaverOnWine::TearDown();
    }

    // Wine's reg on the test's display: the first program of the prefix's
    // session starts its desktop, on the display it was given.
    bool reg(const std::string& arguments) const
    {
        return display.run("WINEPREFIX=" + shellQuoted(prefix) + " WINEDEBUG=-all " + shellQuoted(wine) + " reg "
                           + arguments + " >/dev/null 2>&1");
    }

    double scale() const { return GetParam() / 96.0; }
    // Logical pixels (the design's) in device pixels at the screen's scale.
    int device(double logical) const { return static_cast<int>(std::lround(logical * scale())); }
};

// A rectangle of the screen.
struct ScreenBox {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

// The time labels on the map: the boxes around the areas of their blue
// back colour (each one area, around its text when the text is whole; a
// label can lie partly under another one).
std::vector<ScreenBox> timeLabels(const day_night_test::Screenshot& shot, const ScreenBox& map)
{
    constexpr uint32_t kBlue = 0x0000FF;
    std::vector<ScreenBox> boxes;
    std::vector<bool> seen(static_cast<std::size_t>(map.width) * static_cast<std::size_t>(map.height));
    auto index = [&](int x, int y) {
        return static_cast<std::size_t>(y - map.top) * static_cast<std::size_t>(map.width)
            + static_cast<std::size_t>(x - map.left);
    };
    for (int y = map.top; y < map.top + map.height; ++y)
        for (int x = map.left; x < map.left + map.width; ++x) {
            if (seen[index(x, y)] || shot.at(x, y) != kBlue)
                continue;
            int left = x, right = x, top = y, bottom = y;
            std::vector<std::pair<int, int>> open { { x, y } };
            seen[index(x, y)] = true;
            while (!open.empty()) {
                auto [atX, atY] = open.back();
                open.pop_back();
                left = std::min(left, atX);
                right = std::max(right, atX);
                top = std::min(top, atY);
                bottom = std::max(bottom, atY);
                for (auto [nextX, nextY] : { std::pair { atX + 1, atY }, { atX - 1, atY }, { atX, atY + 1 }, { atX, atY - 1 } })
                    if (nextX >= map.left && nextX < map.left + map.width && nextY >= map.top
                        && nextY < map.top + map.height && !seen[index(nextX, nextY)] && shot.at(nextX, nextY) == kBlue) {
                        seen[index(nextX, nextY)] = true;
                        open.emplace_back(nextX, nextY);
                    }
            }
            if (right - left >= 8 && bottom - top >= 8)
                boxes.push_back({ left, top, right - left + 1, bottom - top + 1 });
        }
    return boxes;
}

// The smallest box around the pixels of `area` that `ink` picks; empty when
// there are none.
template <typename Ink>
ScreenBox inkWithin(const day_night_test::Screenshot& shot, const ScreenBox& area, Ink ink)
{
    int left = area.left + area.width;
    int right = area.left - 1;
    int top = area.top + area.height;
    int bottom = area.top - 1;
    for (int y = std::max(area.top, 0); y < std::min(area.top + area.height, shot.height); ++y)
        for (int x = std::max(area.left, 0); x < std::min(area.left + area.width, shot.width); ++x)
            if (ink(shot.at(x, y))) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
    if (right < left)
        return {};
    return { left, top, right - left + 1, bottom - top + 1 };
}

void PrintTo(const ScreenBox& box, std::ostream* out)
{
    *out << box.width << "x" << box.height << "+" << box.left << "+" << box.top;
}

// The map is 1110 or 1480 device pixels wide (its finer copy, scaled down at
// 1.5x, as it is at 2x); each of the three cities' time labels is its 41 x 17 design pixels
// at the scale, its text inside it with room on every side; the UTC line
// under the map is its 745 x 16 design pixels, its text as high as the line
// and inside it with room on either side.
TEST_P(ScreenSaverAtScale, RunModeDrawsTheWholePictureAtTheScreensScale)
{
    ASSERT_FALSE(otherProgram.empty()) << "ZANDRETH_OTHER_PROGRAM names the other program";
    installCatalogue();
    // The prefix's resolution took: a program aware of it is told it.
    std::string told = display.output("WINEPREFIX=" + shellQuoted(prefix) + " WINEDEBUG=-all " + shellQuoted(wine) + " "
                                      + shellQuoted(otherProgram) + " dpi");
    EXPECT_EQ(told.substr(0, told.find_first_of("\r\n")), std::to_string(GetParam()) + " " + std::to_string(GetParam()));

    auto run = start({ "/s" });
    ASSERT_TRUE(run->started());
    auto window = waitForWindow("^Form1$");
    ASSERT_TRUE(window) << "run mode shows its window";
    auto covered = geometry(*window);
    ASSERT_TRUE(covered);
    EXPECT_EQ(*covered, (WindowGeometry { 0, 0, 2560, 1600 })) << "the screen in device pixels";

    const ScreenBox mapSize { 0, 0, device(740), device(370) };
    const ScreenBox utcLine { 0, 0, device(745), device(16) };
    std::optional<day_night_test::Screenshot> shot;
    ScreenBox map;
    std::vector<ScreenBox> labels;
    ScreenBox utcText;
    auto lightBlue = [](uint32_t p) { return p != 0 && (p & 0xFF) > (p >> 16 & 0xFF); };
    // Screenshots until one shows the map with its three labels and its UTC
    // line, drawn whole (not caught between two placements).
    for (int look = 0; look < 40; ++look) {
        std::this_thread::sleep_for(250ms);
        shot = day_night_test::Screenshot::take(display, folder.file("shot.ppm"));
        auto corner = shot ? shot->findMap(mapSize.width, mapSize.height) : std::nullopt;
        if (!corner)
            continue;
        map = { corner->first, corner->second, mapSize.width, mapSize.height };
        labels = timeLabels(*shot, map);
        // The line's box is black on black: its text is looked for a few
        // pixels around it.
        utcText = inkWithin(*shot, { map.left - 8, map.top + map.height, utcLine.width + 16, utcLine.height + 8 },
                            lightBlue);
        if (labels.size() == 3 && utcText.width > 0)
            break;
    }
    ASSERT_TRUE(shot);
    ASSERT_GT(map.width, 0) << "a map " << mapSize.width << " x " << mapSize.height << " device pixels on the screen";
    if (map.left + map.width < shot->width) {
        for (int y = map.top; y < map.top + map.height; y += 37)
            EXPECT_EQ(shot->at(map.left + map.width, y), 0u) << "the map ends after " << map.width << " pixels, row " << y;
    }

    if (mapSize.width == 2 * day_night_test::kMapWidth) {
        // At 2x the map is its finer copy, pixel for pixel (but where the
        // labels lie over it).
        const std::vector<uint32_t> finer = day_night_test::mapPicture(ZANDRETH_SOURCE_DIR, "map-2x.bmp", mapSize.width,
                                                                       mapSize.height);
        std::size_t same = 0;
        for (int y = 0; y < map.height; ++y)
            for (int x = 0; x < map.width; ++x)
                same += shot->at(map.left + x, map.top + y)
                    == finer[static_cast<std::size_t>(y) * static_cast<std::size_t>(map.width) + static_cast<std::size_t>(x)];
        EXPECT_GT(static_cast<double>(same) / static_cast<double>(finer.size()), 0.97) << "the finer copy, sharp";
    }

    ASSERT_EQ(labels.size(), 3u) << "the three cities' time labels: " << testing::PrintToString(labels);
    for (const ScreenBox& label : labels) {
        SCOPED_TRACE(testing::PrintToString(label));
        EXPECT_NEAR(label.width, device(41), 1);
        EXPECT_NEAR(label.height, device(17), 1);
        // The text is black on the blue (its edges blended with it).
        ScreenBox text = inkWithin(*shot, label, [](uint32_t p) { return p != 0x0000FF && (p >> 16 & 0xFF) < 96 && (p >> 8 & 0xFF) < 96; });
        ASSERT_GT(text.width, label.width / 2) << "the time is written in the label";
        EXPECT_GT(text.left, label.left) << "the text's left side is whole";
        EXPECT_LT(text.left + text.width, label.left + label.width) << "the text's right side is whole";
        EXPECT_GT(text.top, label.top) << "the text's top is whole";
        EXPECT_LT(text.top + text.height, label.top + label.height) << "the text's bottom is whole";
    }

    SCOPED_TRACE("the UTC line " + testing::PrintToString(utcText));
    ASSERT_GT(utcText.width, utcLine.width / 2) << "the UTC line is written under the map";
    EXPECT_GT(utcText.left, map.left) << "its left side is whole";
    EXPECT_LT(utcText.left + utcText.width, map.left + utcLine.width) << "its right side is whole";
    // The font fills the line's height at every scale (the comma's tail
    // reaches its last row): the text is drawn at the scale, in a line of
    // the scale's height.
    EXPECT_GE(utcText.height, utcLine.height - 1) << "drawn at the scale";
    EXPECT_LE(utcText.top + utcText.height, map.top + map.height + utcLine.height + 1) << "in a line of its height";

    EXPECT_EQ(pressKeyUntilEnd(*run, "^Form1$", "space"), 0);
}

// The dialog is laid out at the screen's resolution: its client area is its
// 511 x 446 design pixels at the scale, and its check box and 設定 answer
// clicks at their scaled places, saving the same bytes as at 96 dots per
// inch.
TEST_P(ScreenSaverAtScale, TheDialogOpensAtTheScreensScale)
{
    installCatalogue();
    auto dialog = start({ "/c" });
    auto window = waitForWindow("^Zandreth$");
    ASSERT_TRUE(window) << "the dialog opens";
    auto client = geometry(*window);
    ASSERT_TRUE(client);
    EXPECT_NEAR(client->width, device(511), 2);
    EXPECT_NEAR(client->height, device(446), 2);
    ASSERT_TRUE(display.run("timeout 30 xdotool search --onlyvisible --name '^Zandreth$' mousemove --window %1 --sync "
                            + std::to_string(device(36)) + " " + std::to_string(device(60)) + " click 1"));
    EXPECT_EQ(clickUntilEnd(*dialog, "^Zandreth$", device(456), device(40)), 0);
    EXPECT_EQ(readFile(settings()), testing_support::fixture("zandreth.saved.ini"));
}

INSTANTIATE_TEST_SUITE_P(DotsPerInch, ScreenSaverAtScale, testing::Values(144, 192),
                         [](const testing::TestParamInfo<int>& info) { return "Dpi" + std::to_string(info.param); });

} // namespace
