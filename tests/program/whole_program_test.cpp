// The real program, run under a virtual X server: what a user sees and does.

#include "support/fixture.h"
#include "support/temp_dir.h"
#include "support/virtual_display.h"
#include "program/screenshot.h"

#include <gtest/gtest.h>

#include <signal.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <ostream>
#include <sstream>
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

using program_test::black;
using program_test::Pixel;
using program_test::Screenshot;

// Unticks the settings dialog's first row (its box at 24, 48 of the client
// area, 33 x 25 pixels), then clicks 設定 (416, 24, 81 x 33 pixels), which
// saves and closes; `ended` is the dialog's exit status, none when it did
// not end. There is no window manager: the dialog's window is its client
// area.
void untickFirstRowAndApply(const VirtualDisplay& display, Process& dialog, std::optional<int>& ended)
{
    const std::string onDialog = "xdotool search --onlyvisible --name '^Zandreth$' ";
    ASSERT_TRUE(display.run(onDialog + "mousemove --window %1 --sync 36 60 click 1"));
    for (int attempt = 0; attempt < 5 && !ended; ++attempt) {
        std::this_thread::sleep_for(300ms);
        display.run(onDialog + "mousemove --window %1 --sync 456 40 click 1");
        ended = dialog.waitFor(2s);
    }
}

// The output of a shell command, and whether it succeeded.
std::pair<bool, std::string> commandOutput(const std::string& command)
{
    std::string output;
    FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
    if (!pipe)
        return { false, "" };
    char buffer[4096];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        output.append(buffer, got);
    return { ::pclose(pipe) == 0, output };
}

class WholeProgram : public testing::Test {
protected:
    void SetUp() override
    {
        if (!commandExists("Xvfb") || !commandExists("xdotool") || !commandExists("import"))
            GTEST_SKIP() << "needs Xvfb, xdotool and ImageMagick's import";
        ASSERT_TRUE(display.start(screenSize()));
        // The program is one self-contained file: a folder with it and a
        // zandreth.ini is a whole installation.
        std::filesystem::copy_file(ZANDRETH_PROGRAM, program());
    }

    virtual std::string screenSize() const { return "1024x768"; }
    std::string program() const { return folder.file("zandreth"); }
    void installCatalogue() const
    {
        std::filesystem::copy_file(testing_support::fixturePath("zandreth.ini"), folder.file("zandreth.ini"));
    }
    // The program runs with a home folder of the test's own: a copy without
    // a zandreth.ini beside it looks for the user's, and must never find or
    // make the real user's.
    std::unique_ptr<Process> start(const std::string& mode) const
    {
        return std::make_unique<Process>(std::vector<std::string> { program(), mode },
                                         std::vector<std::string> { display.environment(), "HOME=" + folder.file("home"),
                                                                    "XDG_CONFIG_HOME" });
    }
    bool windowAppears(const std::string& name) const
    {
        for (int wait = 0; wait < 200; ++wait) {
            if (display.run("xdotool search --onlyvisible --name '" + name + "'"))
                return true;
            std::this_thread::sleep_for(50ms);
        }
        return false;
    }

    // There is no window manager: give the window the focus, then type.
    // Under load the focus can arrive late, so the key is sent again until
    // the program ends (or a few tries have passed).
    // Screenshots of the whole screen, a few a second for ten seconds at
    // most, until one shows the map and the rest of the picture `drawn`
    // asks for (a window can show its map a moment before its last paint):
    // the last screenshot and the map's top-left corner in it (none when
    // the map never showed).
    struct MapOnScreen {
        std::optional<Screenshot> shot;
        std::optional<std::pair<int, int>> map;
    };
    MapOnScreen lookForMap(const std::function<bool(const Screenshot&)>& drawn = nullptr) const
    {
        MapOnScreen found;
        for (int look = 0; look < 40; ++look) {
            std::this_thread::sleep_for(250ms);
            found.shot = Screenshot::take(display, folder.file("shot.ppm"));
            found.map = found.shot ? found.shot->findMap() : std::nullopt;
            if (found.map && (!drawn || drawn(*found.shot)))
                break;
        }
        return found;
    }

    std::optional<int> pressKeyUntilEnd(Process& process, const std::string& window, const std::string& key) const
    {
        for (int attempt = 0; attempt < 5; ++attempt) {
            display.run("timeout 3 xdotool search --onlyvisible --name '" + window + "' windowfocus --sync");
            display.run("xdotool key " + key);
            if (auto status = process.waitFor(2s))
                return status;
        }
        return std::nullopt;
    }

    TempDir folder;
    VirtualDisplay display;
};

TEST_F(WholeProgram, RunModeShowsTheMapAndItsLabelsThenAKeyEndsIt)
{
    installCatalogue();
    auto run = start("/S");
    ASSERT_TRUE(run->started());
    ASSERT_TRUE(windowAppears("^Form1$"));
    // After the first clock tick the labels and the UTC line are written.
    // The UTC line: light blue text right under the map.
    auto utcLineWritten = [](const Screenshot& shot, int mapLeft, int mapTop) {
        for (int y = mapTop + 370; y < mapTop + 386 && y < shot.height; ++y)
            for (int x = mapLeft; x < mapLeft + 745 && x < shot.width; ++x) {
                Pixel p = shot.at(x, y);
                if (p.b > 200 && p.r > 90 && p.r < 170 && p.g > 90 && p.g < 170)
                    return true;
            }
        return false;
    };
    // The first tick comes 900 ms after the start; a loaded machine may take
    // longer, so look again until it has come (or ten seconds have passed).
    std::optional<Screenshot> shot;
    for (int look = 0; look < 20; ++look) {
        std::this_thread::sleep_for(500ms);
        shot = Screenshot::take(display, folder.file("shot.ppm"));
        if (!shot)
            continue;
        auto found = shot->findMap();
        if (found && utcLineWritten(*shot, found->first, found->second))
            break;
    }
    ASSERT_TRUE(shot);
    EXPECT_EQ(shot->width, 1024);
    EXPECT_EQ(shot->height, 768);
    EXPECT_EQ(shot->at(1023, 767).r + shot->at(1023, 767).g + shot->at(1023, 767).b, 0)
        << "the window covers the whole screen in black";

    auto map = shot->findMap();
    ASSERT_TRUE(map) << "the map is on the screen, at its own size";
    auto [mapLeft, mapTop] = *map;
    // The first placement already uses the whole screen, with a 16-pixel
    // UTC line under the map.
    EXPECT_LE(mapLeft, 1024 - 739);
    EXPECT_LE(mapTop, 768 - 16 - 371);

    // Record 0 sits at (0, 0): its time label (blue) starts 10 pixels under the
    // map's centre; Tokyo's at (139.69, -35.69).
    auto blue = [](Pixel p) { return p.b > 200 && p.r < 60 && p.g < 60; };
    auto expectTimeLabelAt = [&](double longitude, double vertical, const char* what) {
        int x = mapLeft + static_cast<int>((longitude + 180) * 740 / 360);
        int y = mapTop + static_cast<int>((vertical + 90) * 370 / 180) + 10;
        bool found = false;
        for (int dy = 0; dy <= 3 && !found; ++dy)
            for (int dx = 0; dx <= 2 && !found; ++dx)
                found = blue(shot->at(x + dx, y + dy));
        EXPECT_TRUE(found) << what << " at " << x << "," << y;
    };
    expectTimeLabelAt(0, 0, "the UTC entry's time label");
    expectTimeLabelAt(139.69, -35.69, "Tokyo's time label");
    expectTimeLabelAt(-46.63, 23.55, "Sao Paulo's time label");

    EXPECT_TRUE(utcLineWritten(*shot, mapLeft, mapTop));

    EXPECT_EQ(pressKeyUntilEnd(*run, "^Form1$", "space"), 0);
}

TEST_F(WholeProgram, SecondInstanceEndsAtOnceAndAClickEndsTheFirst)
{
    installCatalogue();
    auto first = start("/S");
    ASSERT_TRUE(windowAppears("^Form1$"));
    auto second = start("/C");
    EXPECT_EQ(second->waitFor(5s), 0);
    EXPECT_FALSE(display.run("xdotool search --onlyvisible --name '^Zandreth$'")) << "the second instance shows nothing";
    EXPECT_FALSE(first->waitFor(200ms)) << "the first instance runs on";
    ASSERT_TRUE(display.run("xdotool mousemove 5 5 click 1"));
    EXPECT_EQ(first->waitFor(5s), 0);
}

TEST_F(WholeProgram, PreviewEndsAtOnce)
{
    installCatalogue();
    auto preview = start("/p");
    EXPECT_EQ(preview->waitFor(5s), 0);
}

// The toolkit's own options, here the X display to use, are no part of the
// command: "/p" after them is the preview still.
TEST_F(WholeProgram, TheToolkitsOwnOptionsAreNoPartOfTheCommand)
{
    installCatalogue();
    Process preview({ program(), "-display", display.name(), "/p" },
                    { "DISPLAY", "HOME=" + folder.file("home"), "XDG_CONFIG_HOME" });
    EXPECT_EQ(preview.waitFor(5s), 0);
}

// Esc closes the settings dialog and writes nothing; 設定 saves every choice
// into the file and keeps every other byte. The Windows program's test makes
// the same clicks on the same file and expects the same bytes.
TEST_F(WholeProgram, DialogEscWritesNothingAndApplyKeepsEveryOtherByte)
{
    installCatalogue();
    const std::string settings = folder.file("zandreth.ini");
    auto cancelled = start("/C");
    ASSERT_TRUE(windowAppears("^Zandreth$"));
    EXPECT_EQ(pressKeyUntilEnd(*cancelled, "^Zandreth$", "Escape"), 0);
    EXPECT_EQ(readFile(settings), testing_support::fixture("zandreth.ini")) << "Esc writes nothing";

    auto applied = start("/C");
    ASSERT_TRUE(windowAppears("^Zandreth$"));
    std::optional<int> ended;
    ASSERT_NO_FATAL_FAILURE(untickFirstRowAndApply(display, *applied, ended));
    EXPECT_EQ(ended, 0);
    // The keys the file lacked follow the last key of their section, with the
    // file's own line ending; every line that was there stays as it was.
    EXPECT_EQ(readFile(settings), testing_support::fixture("zandreth.saved.ini"));
}

// The two boxes of the dialog's 表示オプション frame (昼夜を表示 at 320, 376
// and 夏時間を使う at 320, 400 of the client area, each 161 x 20 pixels,
// their box at the left): ticked and applied, they add their keys after the
// last key of PROC_INFO; everything else is saved as without them.
TEST_F(WholeProgram, DialogSavesTheTwoChoicesAfterEveryOtherKey)
{
    installCatalogue();
    const std::string settings = folder.file("zandreth.ini");
    auto applied = start("/C");
    ASSERT_TRUE(windowAppears("^Zandreth$"));
    const std::string onDialog = "xdotool search --onlyvisible --name '^Zandreth$' ";
    ASSERT_TRUE(display.run(onDialog + "mousemove --window %1 --sync 328 386 click 1"));
    ASSERT_TRUE(display.run(onDialog + "mousemove --window %1 --sync 328 410 click 1"));
    std::optional<int> ended;
    ASSERT_NO_FATAL_FAILURE(untickFirstRowAndApply(display, *applied, ended));
    EXPECT_EQ(ended, 0);
    EXPECT_EQ(readFile(settings), testing_support::fixture("zandreth.saved.ini") + "DAY_NIGHT=1\r\nSUMMER_TIME=1\r\n");
}

// Daylight-saving time in run mode: two cities with the same name, one at
// UTC+1 by its fixed offset, the other at UTC+0 with a rule of daylight
// saving all year (UTC+1). Their time labels read alike only when the user
// chose daylight-saving time.
TEST_F(WholeProgram, SummerTimeMakesARecordFollowItsRule)
{
    const std::string catalogue = "[MAP_INFO]\r\nNUMBER_OF_CITY=2\r\n"
                                  "CODE_0=UTC,UTC,UTC,UTC,0,0,0\r\n"
                                  "CODE_1=X,X,X,X,0,-150,0\r\n"
                                  "CODE_TZ_1=<+00>0<+01>,0/0,J365/25\r\n"
                                  "CODE_2=X,X,X,X,3600,100,0\r\n"
                                  "[SELECT_CITY]\r\nTimeZone=1\r\nCity_SelectNo1=1\r\nCity_SelectNo2=2\r\n"
                                  "[PROC_INFO]\r\n";
    // The dark text of a time label on its blue ground, as the offsets of
    // its pixels from the text's own top-left corner: the same text gives
    // the same pixels wherever the map's fractional place rounded the
    // label to. (The map has no such dark pixels, and the name above the
    // label ends before it.)
    auto timeText = [](const Screenshot& shot, int mapLeft, int mapTop, double longitude) {
        const int left = mapLeft + static_cast<int>((longitude + 180) * 740 / 360);
        const int top = mapTop + 185 + 10;
        std::vector<std::pair<int, int>> text;
        for (int dy = 1; dy < 17; ++dy)
            for (int dx = 0; dx < 48; ++dx) {
                Pixel p = shot.at(left + dx, top + dy);
                if (p.r < 50 && p.g < 50 && p.b < 128)
                    text.emplace_back(dx, dy);
            }
        int firstColumn = 48;
        int firstRow = 17;
        for (const auto& [dx, dy] : text) {
            firstColumn = std::min(firstColumn, dx);
            firstRow = std::min(firstRow, dy);
        }
        for (auto& [dx, dy] : text) {
            dx -= firstColumn;
            dy -= firstRow;
        }
        std::sort(text.begin(), text.end());
        return text;
    };
    for (bool summerTime : { false, true }) {
        SCOPED_TRACE(summerTime ? "SUMMER_TIME=1" : "no SUMMER_TIME");
        folder.write("zandreth.ini", catalogue + (summerTime ? "SUMMER_TIME=1\r\n" : ""));
        auto run = start("/S");
        ASSERT_TRUE(windowAppears("^Form1$"));
        // Both labels written by a clock tick, and reading alike or not as
        // expected: a loaded machine can show one label repainted before
        // the other, so a few screenshots may pass before they do.
        auto found = lookForMap([&](const Screenshot& shot) {
            auto map = shot.findMap();
            const auto ruled = timeText(shot, map->first, map->second, -150);
            const auto fixed = timeText(shot, map->first, map->second, 100);
            return ruled.size() > 20 && fixed.size() > 20 && (ruled == fixed) == summerTime;
        });
        ASSERT_TRUE(found.map);
        const auto [mapLeft, mapTop] = *found.map;
        const auto ruled = timeText(*found.shot, mapLeft, mapTop, -150);
        const auto fixed = timeText(*found.shot, mapLeft, mapTop, 100);
        ASSERT_GT(ruled.size(), 20u) << "the clock has written the labels";
        EXPECT_EQ(ruled == fixed, summerTime);
        EXPECT_EQ(pressKeyUntilEnd(*run, "^Form1$", "space"), 0);
    }
}

// The program holds its instance lock while its dialog saves, the way it
// always runs: 設定 saves and closes the dialog, and removes what a killed
// save left beside the settings.
TEST_F(WholeProgram, ApplyWithTheInstanceLockHeldRemovesWhatKilledSavesLeft)
{
    installCatalogue();
    const std::string leftover = folder.file(".zandreth.ini.Ab12Cd");
    std::ofstream(leftover) << "left by a killed save";
    auto dialog = start("/C");
    ASSERT_TRUE(windowAppears("^Zandreth$"));
    auto second = start("/C");
    EXPECT_EQ(second->waitFor(5s), 0) << "the first copy holds the instance lock";

    std::optional<int> ended;
    ASSERT_NO_FATAL_FAILURE(untickFirstRowAndApply(display, *dialog, ended));
    EXPECT_EQ(ended, 0);
    EXPECT_EQ(readFile(folder.file("zandreth.ini")), testing_support::fixture("zandreth.saved.ini"));
    EXPECT_FALSE(std::filesystem::exists(leftover)) << "the save removed what a killed save left";
}

// A save past the file-size limit (ulimit -f) fails like any other write:
// the dialog tells why and stays, and the file stays as it was.
TEST_F(WholeProgram, ApplyPastTheFileSizeLimitShowsTheReasonAndKeepsTheFile)
{
    installCatalogue();
    const std::string settings = folder.file("zandreth.ini");
    // Room for the file as it is (in blocks of 512 bytes), not for the
    // saved one, which is longer.
    const auto limitBlocks = std::filesystem::file_size(settings) / 512 + 1;
    ASSERT_LT(limitBlocks * 512, testing_support::fixture("zandreth.saved.ini").size());
    Process dialog({ "/bin/sh", "-c", "ulimit -f " + std::to_string(limitBlocks) + " && exec \"$0\" /C", program() },
                   { display.environment(), "HOME=" + folder.file("home"), "XDG_CONFIG_HOME" });
    ASSERT_TRUE(windowAppears("^Zandreth$"));
    const std::string onDialog = "xdotool search --onlyvisible --name '^Zandreth$' ";
    ASSERT_TRUE(display.run(onDialog + "mousemove --window %1 --sync 36 60 click 1"));
    std::this_thread::sleep_for(300ms);
    ASSERT_TRUE(display.run(onDialog + "mousemove --window %1 --sync 456 40 click 1"));
    // The message box, titled like the dialog: two windows of that name.
    bool boxShown = false;
    for (int wait = 0; wait < 100 && !boxShown; ++wait) {
        auto [found, windows] = commandOutput(
            "DISPLAY=" + display.name() + " xdotool search --onlyvisible --name '^Zandreth$'");
        boxShown = found && std::count(windows.begin(), windows.end(), '\n') == 2;
        if (!boxShown)
            std::this_thread::sleep_for(50ms);
    }
    EXPECT_TRUE(boxShown) << "the save's message";
    EXPECT_FALSE(dialog.waitFor(0ms)) << "the program runs on";
    EXPECT_EQ(readFile(settings), testing_support::fixture("zandreth.ini"));
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder.path()))
        names.push_back(entry.path().filename().string());
    EXPECT_EQ(std::count_if(names.begin(), names.end(), [](const std::string& name) {
                  return name.starts_with(".zandreth.ini.");
              }),
              0)
        << "no temporary file is left";
}

// The catalogue message stays until the user answers it, in every mode, and
// the program then ends cleanly.
class WholeProgramCatalogueMessage : public WholeProgram, public testing::WithParamInterface<const char*> { };

TEST_P(WholeProgramCatalogueMessage, StaysUntilAnsweredThenTheProgramEnds)
{
    // No zandreth.ini beside the program, none in the user's folder and no
    // installed catalogue to copy there.
    auto run = start(GetParam());
    ASSERT_TRUE(windowAppears("定義ファイル読み込みエラー"));
    // Left unread for three seconds, several clock intervals: the box and the
    // program are still there.
    std::this_thread::sleep_for(3s);
    EXPECT_FALSE(run->waitFor(0ms)) << "the program waits for the message to be read";
    EXPECT_TRUE(display.run("xdotool search --onlyvisible --name '定義ファイル読み込みエラー'"))
        << "the message is still on the screen";
    EXPECT_EQ(pressKeyUntilEnd(*run, "定義ファイル読み込みエラー", "Return"), 0);
    EXPECT_FALSE(std::filesystem::exists(folder.file("home/.config/zandreth/zandreth.ini")));
}


// The program installed for every user, as `cmake --install` (and the .deb)
// lays it out, in a prefix of the test's own.
class Installation : public testing::Test {
protected:
    void SetUp() override
    {
        auto [installed, output] = commandOutput(std::string("'") + ZANDRETH_CMAKE + "' --install '" + ZANDRETH_BINARY_DIR
                                                 + "' --prefix '" + folder.file("prefix") + "'");
        ASSERT_TRUE(installed) << output;
    }

    std::filesystem::path installed(const std::string& relative) const { return folder.path() / "prefix" / relative; }

    TempDir folder;
};

TEST_F(Installation, StartedThroughXscreensaversLinkItFindsTheInstalledCatalogue)
{
    // Preview mode loads the catalogue and ends: no screen needed.
    std::string home = folder.file("home");
    Process preview({ installed("libexec/xscreensaver/zandreth").string(), "/P" },
                    { "HOME=" + home, "XDG_CONFIG_HOME", "QT_QPA_PLATFORM=offscreen" });
    ASSERT_TRUE(preview.started());
    EXPECT_EQ(preview.waitFor(30s), 0);
    EXPECT_EQ(readFile(home + "/.config/zandreth/zandreth.ini"), readFile(installed("share/zandreth/zandreth.ini")));
}

// The sizes of the globe icon the installation gives the desktop's icon theme.
constexpr int kIconSizes[] = { 16, 24, 32, 48, 64, 128, 256 };

// The installed program run by users whose home folders are the test's own.
class InstalledProgram : public Installation {
protected:
    std::string home(const std::string& user) const { return folder.file("home-" + user); }

    std::unique_ptr<Process> startAs(const std::string& user, const std::string& mode) const
    {
        return std::make_unique<Process>(std::vector<std::string> { installed("bin/zandreth").string(), mode },
                                         std::vector<std::string> { display.environment(), "HOME=" + home(user),
                                                                    "XDG_CONFIG_HOME" });
    }
    bool dialogsShown(int count) const
    {
        for (int wait = 0; wait < 200; ++wait) {
            auto [found, output] = commandOutput("DISPLAY=" + display.name()
                                                 + " xdotool search --onlyvisible --name '^Zandreth$'");
            if (found && std::count(output.begin(), output.end(), '\n') >= count)
                return true;
            std::this_thread::sleep_for(50ms);
        }
        return false;
    }

    VirtualDisplay display;
};

TEST_F(Installation, PutsEachFileWhereTheDesktopAndXscreensaverLook)
{
    namespace fs = std::filesystem;
    for (const char* file : { "bin/zandreth", "share/zandreth/zandreth.ini", "share/applications/zandreth.desktop",
                              "share/doc/zandreth/LICENSE-Unicode.txt" })
        EXPECT_TRUE(fs::is_regular_file(installed(file))) << file;
    EXPECT_EQ(readFile(installed("share/zandreth/zandreth.ini")),
              readFile(std::string(ZANDRETH_SOURCE_DIR) + "/assets/zandreth.ini"));
    // The icon theme's folder of each size holds the globe of that size.
    for (int size : kIconSizes) {
        const std::string name = std::to_string(size);
        const fs::path icon = installed("share/icons/hicolor/" + name + "x" + name + "/apps/zandreth.png");
        ASSERT_TRUE(fs::is_regular_file(icon)) << icon;
        EXPECT_EQ(readFile(icon), readFile(std::string(ZANDRETH_SOURCE_DIR) + "/assets/zandreth-" + name + ".png"))
            << icon;
    }
    EXPECT_EQ(readFile(installed("share/xscreensaver/config/zandreth.xml")),
              readFile(std::string(ZANDRETH_SOURCE_DIR) + "/assets/zandreth.xml"));

    // xscreensaver's own folder of programs holds a relative link to the
    // program, so the installation works from any prefix.
    fs::path hack = installed("libexec/xscreensaver/zandreth");
    ASSERT_TRUE(fs::is_symlink(hack));
    EXPECT_TRUE(fs::read_symlink(hack).is_relative());
    EXPECT_EQ(fs::canonical(hack), fs::canonical(installed("bin/zandreth")));

    if (commandExists("desktop-file-validate")) {
        auto [valid, output] = commandOutput("desktop-file-validate '" + installed("share/applications/zandreth.desktop").string() + "'");
        EXPECT_TRUE(valid && output.empty()) << output;
    }
    auto entry = readFile(installed("share/applications/zandreth.desktop"));
    EXPECT_NE(entry.find("\nExec=zandreth /C\n"), std::string::npos) << "the entry opens the settings dialog";
    EXPECT_NE(entry.find("\nIcon=zandreth\n"), std::string::npos);
}

TEST_F(InstalledProgram, DialogSavesIntoTheUsersConfigFolderAndLeavesTheInstalledCatalogueAlone)
{
    if (!commandExists("Xvfb") || !commandExists("xdotool"))
        GTEST_SKIP() << "needs Xvfb and xdotool";
    ASSERT_TRUE(display.start("1024x768"));
    const std::string catalogue = readFile(installed("share/zandreth/zandreth.ini"));
    const std::filesystem::path saved = home("a") + "/.config/zandreth/zandreth.ini";

    auto dialog = startAs("a", "/C");
    ASSERT_TRUE(dialogsShown(1));
    EXPECT_EQ(readFile(saved), catalogue) << "the first use copies the installed catalogue";

    std::optional<int> ended;
    ASSERT_NO_FATAL_FAILURE(untickFirstRowAndApply(display, *dialog, ended));
    EXPECT_EQ(ended, 0);

    std::string written = readFile(saved);
    EXPECT_NE(written.find("\nCity_SelectNo0=-1"), std::string::npos) << "the unticked row is saved";
    EXPECT_NE(written.find("[MAP_INFO]"), std::string::npos);
    EXPECT_NE(written.find("RND_INTERVAL="), std::string::npos);
    EXPECT_EQ(readFile(installed("share/zandreth/zandreth.ini")), catalogue) << "the installed catalogue is untouched";
    EXPECT_FALSE(std::filesystem::exists(installed("bin/zandreth.ini")));
}

TEST_F(InstalledProgram, EachUserHasTheirOwnSingleInstance)
{
    if (!commandExists("Xvfb") || !commandExists("xdotool"))
        GTEST_SKIP() << "needs Xvfb and xdotool";
    ASSERT_TRUE(display.start("1024x768"));
    auto first = startAs("a", "/C");
    ASSERT_TRUE(dialogsShown(1));
    // The same user again: ends at once. Another user: gets their dialog.
    auto again = startAs("a", "/C");
    EXPECT_EQ(again->waitFor(10s), 0);
    auto other = startAs("b", "/C");
    EXPECT_TRUE(dialogsShown(2)) << "one user's open dialog does not stop another user's";
    EXPECT_FALSE(other->waitFor(200ms));
    EXPECT_FALSE(first->waitFor(0ms));
}

// The .deb that `make package` builds: its dependencies come from the
// libraries the program links, as dpkg-shlibdeps finds them.
TEST(DebianPackage, DependsOnWhatTheProgramLinksAndHoldsTheInstallation)
{
    if (!commandExists("dpkg-shlibdeps") || !commandExists("dpkg-deb"))
        GTEST_SKIP() << "needs dpkg-dev";
    TempDir output;
    auto [built, log] = commandOutput("cd '" + output.path().string() + "' && '" + ZANDRETH_CPACK + "' -G DEB --config '"
                                      + ZANDRETH_BINARY_DIR + "/CPackConfig.cmake' -B '" + output.path().string() + "'");
    ASSERT_TRUE(built) << log;
    std::string package;
    for (const auto& entry : std::filesystem::directory_iterator(output.path()))
        if (entry.path().extension() == ".deb")
            package = entry.path().string();
    ASSERT_FALSE(package.empty()) << log;

    auto [read, depends] = commandOutput("dpkg-deb --field '" + package + "' Depends");
    ASSERT_TRUE(read) << depends;
    for (const char* library : { "libqt6widgets6 (>= ", "libqt6gui6 (>= ", "libqt6core6", "libstdc++6 (>= ", "libc6 (>= " })
        EXPECT_NE(depends.find(library), std::string::npos) << library << " in: " << depends;

    auto [listed, contents] = commandOutput("dpkg-deb --contents '" + package + "'");
    ASSERT_TRUE(listed) << contents;
    for (const char* file : { "./usr/bin/zandreth", "./usr/share/zandreth/zandreth.ini",
                              "./usr/share/applications/zandreth.desktop",
                              "./usr/libexec/xscreensaver/zandreth -> ../../bin/zandreth" })
        EXPECT_NE(contents.find(file), std::string::npos) << file << " in:\n" << contents;
    for (int size : kIconSizes) {
        const std::string icon = "./usr/share/icons/hicolor/" + std::to_string(size) + "x" + std::to_string(size)
                                 + "/apps/zandreth.png";
        EXPECT_NE(contents.find(icon), std::string::npos) << icon << " in:\n" << contents;
    }
}

INSTANTIATE_TEST_SUITE_P(Modes, WholeProgramCatalogueMessage, testing::Values("/S", "/P", "/C", ""),
                         [](const testing::TestParamInfo<const char*>& info) {
                             const std::string mode = info.param;
                             return mode.empty() ? std::string("NoSwitch") : "Switch" + mode.substr(1);
                         });

// A top-level window as the window manager placed it: its client area and
// the frame around it, in pixels of the screen.
struct PlacedWindow {
    int clientLeft = 0, clientTop = 0, clientWidth = 0, clientHeight = 0;
    int frameLeft = 0, frameRight = 0, frameTop = 0, frameBottom = 0;

    int outerLeft() const { return clientLeft - frameLeft; }
    int outerTop() const { return clientTop - frameTop; }
    int outerWidth() const { return clientWidth + frameLeft + frameRight; }
    int outerHeight() const { return clientHeight + frameTop + frameBottom; }
};

// The first visible window named by `pattern`, once the window manager has
// framed it.
std::optional<PlacedWindow> placedWindow(const VirtualDisplay& display, const std::string& pattern)
{
    for (int wait = 0; wait < 100; ++wait) {
        std::string id = display.output("xdotool search --onlyvisible --name '" + pattern + "'");
        id = id.substr(0, id.find('\n'));
        std::string extents = display.output("xprop -id " + id + " _NET_FRAME_EXTENTS");
        std::string info = display.output("xwininfo -id " + id);
        PlacedWindow placed;
        auto field = [&](const std::string& name, int& value) {
            auto at = info.find(name);
            return at != std::string::npos && std::sscanf(info.c_str() + at + name.size(), "%d", &value) == 1;
        };
        auto equals = extents.find('=');
        if (!id.empty() && equals != std::string::npos
            && std::sscanf(extents.c_str() + equals + 1, "%d, %d, %d, %d", &placed.frameLeft, &placed.frameRight,
                           &placed.frameTop, &placed.frameBottom)
                == 4
            && field("Absolute upper-left X:", placed.clientLeft) && field("Absolute upper-left Y:", placed.clientTop)
            && field("Width:", placed.clientWidth) && field("Height:", placed.clientHeight))
            return placed;
        std::this_thread::sleep_for(100ms);
    }
    return std::nullopt;
}

// Under a window manager: the settings dialog is centred on the screen frame
// and all, the About box's client area stands at its design place (2340,
// 1935 twips: 156, 129 pixels) and the task bar does not list the box.
TEST_F(WholeProgram, WithAWindowManagerTheDialogIsCentredAndTheAboutBoxAtItsPlace)
{
    if (!commandExists("openbox") || !commandExists("xprop") || !commandExists("xwininfo"))
        GTEST_SKIP() << "needs openbox, xprop and xwininfo";
    Process manager({ "openbox" }, { display.environment() });
    ASSERT_TRUE(display.waitForWindowManager()) << "the window manager runs";

    installCatalogue();
    auto run = start("/C");
    ASSERT_TRUE(windowAppears("^Zandreth$"));
    auto dialog = placedWindow(display, "^Zandreth$");
    ASSERT_TRUE(dialog);
    EXPECT_GT(dialog->frameTop, 0) << "the dialog has a title bar";
    EXPECT_NEAR(dialog->outerTop(), 768 / 2.0 - dialog->outerHeight() / 2.0, 1.0);
    EXPECT_NEAR(dialog->outerLeft(), 1024 / 2.0 - dialog->outerWidth() / 2.0, 1.0);

    // The third button, "Abort", stands at (416, 136), 81 x 33, in the
    // dialog's client area.
    ASSERT_TRUE(display.run("xdotool mousemove " + std::to_string(dialog->clientLeft + 456) + " "
                            + std::to_string(dialog->clientTop + 152) + " click 1"));
    ASSERT_TRUE(windowAppears("Version Information"));
    auto about = placedWindow(display, "Version Information");
    ASSERT_TRUE(about);
    EXPECT_EQ(about->clientLeft, 156);
    EXPECT_EQ(about->clientTop, 129);
    EXPECT_NE(display.output("xprop -name 'ZandrethVersion Information' _NET_WM_STATE").find("_NET_WM_STATE_SKIP_TASKBAR"),
              std::string::npos)
        << "the About box is not in the task bar";

    display.run("xdotool search --onlyvisible --name 'Version Information' windowfocus --sync key Return");
    bool closed = false;
    for (int wait = 0; wait < 100 && !closed; ++wait) {
        closed = !display.run("xdotool search --onlyvisible --name 'Version Information'");
        if (!closed)
            std::this_thread::sleep_for(100ms);
    }
    EXPECT_TRUE(closed) << "Enter closed the About box";
    EXPECT_EQ(pressKeyUntilEnd(*run, "^Zandreth$", "Escape"), 0);
}

// Run mode on screens of other sizes, with and without a window manager:
// the window is the whole screen, stays above windows opened after it and
// takes a click anywhere.
class ScreenCover : public WholeProgram {
protected:
    void SetUp() override
    {
        WholeProgram::SetUp();
        if (HasFatalFailure() || IsSkipped())
            return;
        if (!commandExists("xprop"))
            GTEST_SKIP() << "needs xprop";
    }

    // Debian's small openbox; true once it manages the screen.
    bool startWindowManager()
    {
        if (!commandExists("openbox"))
            return false;
        windowManager_ = std::make_unique<Process>(std::vector<std::string> { "openbox" },
                                                   std::vector<std::string> { display.environment() });
        return display.waitForWindowManager();
    }

    // The first visible window named `name`, 0 when there is none yet.
    unsigned long windowNamed(const std::string& name) const
    {
        for (int wait = 0; wait < 200; ++wait) {
            std::string id = display.output("xdotool search --onlyvisible --name '" + name + "'");
            if (!id.empty())
                return std::stoul(id);
            std::this_thread::sleep_for(50ms);
        }
        return 0;
    }

    struct Geometry {
        int x = -1, y = -1, width = 0, height = 0;
    };
    Geometry geometryOf(unsigned long window) const
    {
        std::string text = display.output("xdotool getwindowgeometry --shell " + std::to_string(window));
        Geometry geometry;
        std::sscanf(text.c_str(), "%*s X=%d Y=%d WIDTH=%d HEIGHT=%d", &geometry.x, &geometry.y,
                    &geometry.width, &geometry.height);
        return geometry;
    }
    // Polls until the window has the geometry, a window manager may take a
    // moment to let it go where it asks.
    bool hasGeometry(unsigned long window, int width, int height) const
    {
        for (int wait = 0; wait < 100; ++wait) {
            Geometry geometry = geometryOf(window);
            if (geometry.x == 0 && geometry.y == 0 && geometry.width == width && geometry.height == height)
                return true;
            std::this_thread::sleep_for(50ms);
        }
        Geometry geometry = geometryOf(window);
        ADD_FAILURE() << "window at " << geometry.x << "," << geometry.y << " size " << geometry.width << "x"
                      << geometry.height;
        return false;
    }
    unsigned long topWindow() const
    {
        return std::stoul(display.output(std::string(X_WINDOW_CLIENT) + " top"), nullptr, 16);
    }

    std::unique_ptr<Process> startXClient(const std::vector<std::string>& arguments) const
    {
        std::vector<std::string> command { X_WINDOW_CLIENT };
        command.insert(command.end(), arguments.begin(), arguments.end());
        return std::make_unique<Process>(command, std::vector<std::string> { display.environment() });
    }

    // A corner of the screen that shows black and lies away from the map,
    // the city labels that may reach past its edges and the line under it:
    // a click there reaches the window itself (a click on a label goes no
    // further than the label, and does not end the run).
    static std::pair<int, int> clearCorner(const Screenshot& shot, std::pair<int, int> map)
    {
        auto [left, top] = map;
        const std::pair<int, int> corners[] = { { shot.width - 3, shot.height - 3 },
                                                { 3, shot.height - 3 },
                                                { shot.width - 3, 3 },
                                                { 3, 3 } };
        for (auto [x, y] : corners) {
            bool clear = x < left - 150 || x > left + 740 + 150 || y < top - 40 || y > top + 370 + 60;
            Pixel p = shot.at(x, y);
            if (clear && black(p))
                return { x, y };
        }
        return corners[0];
    }

    // Clicks at (x, y) until the program ends: under load a click can come
    // before the window takes the mouse, so it is sent again a few times.
    std::optional<int> clickUntilEnd(Process& process, int x, int y) const
    {
        // Each attempt clicks a pixel further left, so the pointer moves too:
        // a click lost before the window took the mouse is followed by one
        // that reaches it.
        for (int attempt = 0; attempt < 5; ++attempt) {
            display.run("xdotool mousemove " + std::to_string(x - attempt) + " " + std::to_string(y) + " click 1");
            if (auto status = process.waitFor(3s))
                return status;
        }
        return std::nullopt;
    }

    std::unique_ptr<Process> windowManager_;
};

struct CoverCase {
    const char* size;
    int width;
    int height;
    bool windowManager;
};

void PrintTo(const CoverCase& c, std::ostream* out)
{
    *out << c.size << (c.windowManager ? " with openbox" : " without a window manager");
}

class ScreenCoverSizes : public ScreenCover, public testing::WithParamInterface<CoverCase> {
protected:
    std::string screenSize() const override { return GetParam().size; }
};

TEST_P(ScreenCoverSizes, RunModeWindowIsTheWholeScreenAboveEverythingAndTakesAClickAnywhere)
{
    const auto& c = GetParam();
    if (c.windowManager) {
        ASSERT_TRUE(startWindowManager()) << "openbox manages the screen";
    }
    installCatalogue();
    auto run = start("/S");
    unsigned long window = windowNamed("^Form1$");
    ASSERT_NE(window, 0u);
    EXPECT_TRUE(hasGeometry(window, c.width, c.height));

    auto [shot, map] = lookForMap([&](const Screenshot& drawn) {
        Pixel p = drawn.at(c.width - 1, c.height - 1);
        return black(p);
    });
    ASSERT_TRUE(map) << "the map is on the screen";
    // Positions below the bound in Single become whole pixels by rounding,
    // so the last one can reach the bound itself.
    EXPECT_LE(map->first, c.width - 739);
    EXPECT_LE(map->second, c.height - 16 - 371);
    Pixel corner = shot->at(c.width - 1, c.height - 1);
    EXPECT_EQ(corner.r + corner.g + corner.b, 0) << "black to the far corner";

    // A window opened later goes under the screen saver within a few seconds.
    auto other = startXClient({ "create", "300", "200", "20", "20", folder.file("other-id") });
    for (int wait = 0; wait < 100 && !std::filesystem::exists(folder.file("other-id")); ++wait)
        std::this_thread::sleep_for(50ms);
    ASSERT_TRUE(std::filesystem::exists(folder.file("other-id")));
    bool onTop = false;
    for (int wait = 0; wait < 100 && !onTop; ++wait) {
        onTop = topWindow() == window;
        if (!onTop)
            std::this_thread::sleep_for(50ms);
    }
    EXPECT_TRUE(onTop) << "the screen saver is the topmost window";
    EXPECT_FALSE(run->waitFor(100ms)) << "the other window does not end the run";

    // A click away from the picture (the labels keep theirs).
    auto [x, y] = clearCorner(*shot, *map);
    EXPECT_EQ(clickUntilEnd(*run, x, y), 0);
}

INSTANTIATE_TEST_SUITE_P(Screens, ScreenCoverSizes,
                         testing::Values(CoverCase { "1024x768", 1024, 768, false },
                                         CoverCase { "1920x1080", 1920, 1080, false },
                                         CoverCase { "1024x768", 1024, 768, true },
                                         CoverCase { "1920x1080", 1920, 1080, true }),
                         [](const testing::TestParamInfo<CoverCase>& info) {
                             return std::string(info.param.windowManager ? "openbox_" : "bare_")
                                 + std::to_string(info.param.width) + "x" + std::to_string(info.param.height);
                         });

// Two monitors of different sizes side by side: 1024 x 768 on the left,
// 800 x 1080 on the right, a gap under the left one.
class TwoMonitors : public ScreenCover, public testing::WithParamInterface<bool> {
protected:
    std::string screenSize() const override { return "1824x1080"; }
};

TEST_P(TwoMonitors, RunModeCoversBothAndPutsTheMapOnOne)
{
    auto monitors = startXClient({ "monitors", "1024x768+0+0", "800x1080+1024+0" });
    bool split = false;
    for (int wait = 0; wait < 100 && !split; ++wait) {
        split = display.output("xrandr --listactivemonitors").find("Monitors: 2") != std::string::npos;
        if (!split)
            std::this_thread::sleep_for(50ms);
    }
    ASSERT_TRUE(split) << display.output("xrandr --listactivemonitors");
    if (GetParam()) {
        ASSERT_TRUE(startWindowManager()) << "openbox manages the screen";
    }
    installCatalogue();
    // Each start places the map anew; a few starts see both monitors used.
    for (int runNumber = 0; runNumber < 3; ++runNumber) {
        std::filesystem::remove(folder.file("shot.ppm"));
        auto run = start("/S");
        unsigned long window = windowNamed("^Form1$");
        ASSERT_NE(window, 0u);
        EXPECT_TRUE(hasGeometry(window, 1824, 1080));
        const std::pair<int, int> corners[] = { { 5, 1075 }, { 1819, 5 }, { 1819, 1075 } };
        auto [shot, map] = lookForMap([&](const Screenshot& drawn) {
            return std::all_of(std::begin(corners), std::end(corners), [&](auto corner) {
                Pixel p = drawn.at(corner.first, corner.second);
                return black(p);
            });
        });
        ASSERT_TRUE(map) << "the map is on the screen";
        auto [left, top] = *map;
        if (left < 1024) {
            EXPECT_LE(left + 740, 1024) << "the map is wholly on the left monitor";
            EXPECT_LE(top + 370 + 16, 768) << "and above the gap under it";
        } else {
            EXPECT_LE(left + 740, 1824);
            EXPECT_LE(top + 370 + 16, 1080);
        }
        for (auto [x, y] : corners) {
            Pixel p = shot->at(x, y);
            EXPECT_EQ(p.r + p.g + p.b, 0) << "black at " << x << "," << y;
        }
        auto [x, y] = clearCorner(*shot, *map);
        ASSERT_EQ(clickUntilEnd(*run, x, y), 0);
        // The X server forgets an ended program's window a moment after the
        // program is gone: the next start must not find the old one.
        bool gone = false;
        for (int wait = 0; wait < 200 && !gone; ++wait) {
            gone = display.output("xdotool search --onlyvisible --name '^Form1$'").empty();
            if (!gone)
                std::this_thread::sleep_for(50ms);
        }
        ASSERT_TRUE(gone) << "the ended run's window is gone";
    }
}

INSTANTIATE_TEST_SUITE_P(WithAndWithoutWindowManager, TwoMonitors, testing::Bool(),
                         [](const testing::TestParamInfo<bool>& info) {
                             return std::string(info.param ? "openbox" : "bare");
                         });

// The way xscreensaver runs the program: it makes a window and starts one
// copy per window, naming it in XSCREENSAVER_WINDOW (or --window-id ID, or
// --root), and ends a copy with SIGTERM or by destroying its window.
class HostWindow : public ScreenCover {
protected:
    std::string screenSize() const override { return "1824x1080"; }

    // A host window of the given size and place; its id, 0 on failure.
    unsigned long hostWindow(int width, int height, int x, int y)
    {
        std::string file = folder.file("host-" + std::to_string(hosts_.size()));
        hosts_.push_back(startXClient({ "create", std::to_string(width), std::to_string(height), std::to_string(x),
                                       std::to_string(y), file }));
        for (int wait = 0; wait < 200 && !std::filesystem::exists(file); ++wait)
            std::this_thread::sleep_for(50ms);
        std::ifstream in(file);
        std::string id;
        in >> id;
        return id.empty() ? 0 : std::stoul(id, nullptr, 16);
    }
    void destroyHostWindow(std::size_t index) { hosts_.at(index).reset(); }

    // A copy started as the host starts it, with a home folder of the
    // test's own; its standard error goes to errorFile() when asked.
    std::unique_ptr<Process> startIn(const std::vector<std::string>& arguments,
                                     const std::vector<std::string>& environment = {},
                                     bool keepStandardError = false) const
    {
        std::vector<std::string> command { program() };
        command.insert(command.end(), arguments.begin(), arguments.end());
        std::vector<std::string> fullEnvironment { display.environment(), "HOME=" + folder.file("home"),
                                                   "XDG_CONFIG_HOME" };
        fullEnvironment.insert(fullEnvironment.end(), environment.begin(), environment.end());
        testing_support::ProcessOutput output;
        if (keepStandardError)
            output.standardError = errorFile();
        return std::make_unique<Process>(command, fullEnvironment, output);
    }
    std::string errorFile() const { return folder.file("stderr.txt"); }
    // The lines the program wrote to standard error as its own (Qt may
    // write its warnings there too).
    std::vector<std::string> programsLines() const
    {
        std::istringstream log(readFile(errorFile()));
        std::vector<std::string> lines;
        for (std::string line; std::getline(log, line);)
            if (line.rfind("zandreth: ", 0) == 0)
                lines.push_back(line);
        return lines;
    }

    static std::string hex(unsigned long id)
    {
        char text[32];
        std::snprintf(text, sizeof text, "0x%lx", id);
        return text;
    }

    // The mapped children of a window (the root window: the top-level
    // windows), by their ids.
    std::vector<unsigned long> mappedChildren(const std::string& window = "") const
    {
        std::string list = display.output(std::string(X_WINDOW_CLIENT) + " mapped " + window);
        std::vector<unsigned long> ids;
        for (std::size_t at = 0; at < list.size();) {
            std::size_t end = list.find('\n', at);
            std::string line = list.substr(at, end - at);
            if (!line.empty())
                ids.push_back(std::stoul(line, nullptr, 16));
            at = end == std::string::npos ? list.size() : end + 1;
        }
        return ids;
    }

    // A message drawn in a window as screen savers draw theirs: every
    // pixel black or white, and some white (the text).
    static bool whiteOnBlack(const Screenshot& shot)
    {
        int white = 0;
        for (int y = 0; y < shot.height; ++y)
            for (int x = 0; x < shot.width; ++x) {
                Pixel p = shot.at(x, y);
                if (p.r == 255 && p.g == 255 && p.b == 255)
                    ++white;
                else if (!black(p))
                    return false;
            }
        return white >= 100;
    }

    // A screenshot of one window, once it shows the map and what `drawn`
    // asks for (or after ten seconds without them).
    std::optional<Screenshot> windowShowing(unsigned long window, bool map = true,
                                            const std::function<bool(const Screenshot&)>& drawn = nullptr) const
    {
        std::optional<Screenshot> shot;
        for (int look = 0; look < 40; ++look) {
            std::this_thread::sleep_for(250ms);
            shot = Screenshot::take(display, folder.file("window.ppm"), std::to_string(window));
            if (shot && (!map || shot->findMap()) && (!drawn || drawn(*shot)))
                return shot;
        }
        return shot;
    }


    std::vector<std::unique_ptr<Process>> hosts_;
};

TEST_F(HostWindow, TwoCopiesDrawIntoTheirOwnWindowsAtOnceIgnoreInputAndEndOnSigterm)
{
    installCatalogue();
    unsigned long first = hostWindow(900, 500, 0, 0);
    unsigned long second = hostWindow(900, 500, 910, 300);
    ASSERT_NE(first, 0u);
    ASSERT_NE(second, 0u);
    auto one = startIn({}, { "XSCREENSAVER_WINDOW=" + std::to_string(first) });
    auto two = startIn({ "--window-id", "0x" + [&] {
                            char hex[32];
                            std::snprintf(hex, sizeof hex, "%lx", second);
                            return std::string(hex);
                        }() });
    for (auto [window, name] : { std::pair { first, "first" }, std::pair { second, "second" } }) {
        // The picture is drawn at its full size once the far corner is black.
        auto shot = windowShowing(window, true, [](const Screenshot& drawn) {
            return drawn.width == 900 && drawn.height == 500 && black(drawn.at(899, 499));
        });
        ASSERT_TRUE(shot) << name;
        EXPECT_EQ(shot->width, 900) << name;
        EXPECT_EQ(shot->height, 500) << name;
        auto map = shot->findMap();
        ASSERT_TRUE(map) << "the " << name << " window shows the map at its own size";
        EXPECT_LE(map->first, 900 - 739) << name;
        EXPECT_LE(map->second, 500 - 16 - 371) << name;
        EXPECT_TRUE(black(shot->at(899, 499))) << "black background in the " << name << " window";
    }
    // The host owns the input: keys, clicks and moves do not end a copy.
    ASSERT_TRUE(display.run("xdotool mousemove 400 200 click 1 mousemove 1300 600 click 1 mousemove 10 10"));
    ASSERT_TRUE(display.run("xdotool key space key Escape"));
    EXPECT_FALSE(one->waitFor(500ms));
    EXPECT_FALSE(two->waitFor(1ms));

    ::kill(one->pid(), SIGTERM);
    ::kill(two->pid(), SIGINT);
    EXPECT_EQ(one->waitFor(10s), 0);
    EXPECT_EQ(two->waitFor(10s), 0);
}

TEST_F(HostWindow, SmallWindowShowsTheWholePictureScaledDownAndItsDestructionEndsTheCopy)
{
    installCatalogue();
    unsigned long preview = hostWindow(300, 200, 100, 100);
    ASSERT_NE(preview, 0u);
    auto copy = startIn({}, { "XSCREENSAVER_WINDOW=" + std::to_string(preview) });
    // 740 x 387 scaled by 300 / 740 is 300 x 157, placed within the window:
    // black rows above and under it, the map and its line between them.
    // A row of the map: no black and no host grey (the window's own
    // background, 0x303030), a good part of it bluish sea.
    auto mapRow = [](const Screenshot& shot, int y) {
        int sea = 0;
        for (int x = 0; x < shot.width; ++x) {
            Pixel p = shot.at(x, y);
            if (black(p) || (p.r == 0x30 && p.g == 0x30 && p.b == 0x30))
                return false;
            if (p.b > p.r + 20)
                ++sea;
        }
        return sea > shot.width / 5;
    };
    std::optional<Screenshot> shot;
    for (int look = 0; look < 40; ++look) {
        shot = windowShowing(preview, false);
        if (shot && mapRow(*shot, 100))
            break;
    }
    ASSERT_TRUE(shot);
    ASSERT_EQ(shot->width, 300);
    ASSERT_EQ(shot->height, 200);
    EXPECT_TRUE(mapRow(*shot, 100)) << "the map fills the width";
    auto blackRow = [&](int y) {
        for (int x = 0; x < 300; ++x)
            if (!black(shot->at(x, y)))
                return false;
        return true;
    };
    int top = 0;
    while (top < 200 && blackRow(top))
        ++top;
    int bottom = 199;
    while (bottom > 0 && blackRow(bottom))
        --bottom;
    EXPECT_GE(bottom - top + 1, 150) << "the whole map, scaled to 150 rows (and the line under it)";
    EXPECT_LE(bottom - top + 1, 157);
    EXPECT_GT(200 - (bottom - top + 1), 40) << "black rows beside it, the window's height less the picture's";

    // The picture changes every second (the chosen names blink): the view,
    // repainted when its picture has changed, follows it.
    bool changed = false;
    for (int look = 0; look < 40 && !changed; ++look) {
        auto later = windowShowing(preview, false);
        changed = later && later->width == 300 && later->rgb != shot->rgb;
    }
    EXPECT_TRUE(changed) << "the scaled-down picture follows the picture's changes";

    // The window grows: the picture is placed anew in it, at its own size,
    // never scaled up.
    ASSERT_TRUE(display.run("xdotool windowsize " + std::to_string(preview) + " 900 500"));
    std::optional<Screenshot> grown;
    auto pictureAtItsSize = [](const Screenshot& shot) {
        Pixel p = shot.at(450, 250);
        return shot.width == 900 && !black(p) && !(p.r == 0x30 && p.g == 0x30 && p.b == 0x30)
            && black(shot.at(40, 250));
    };
    for (int look = 0; look < 40 && !(grown && pictureAtItsSize(*grown)); ++look)
        grown = windowShowing(preview, false);
    ASSERT_TRUE(grown);
    EXPECT_EQ(grown->width, 900);
    // The picture, 740 x 387, somewhere in the 900 x 500 window: the map's
    // light grey left column runs 370 rows down, black above it.
    auto edgeGrey = [](Pixel p) { return p.r == 216 && p.g == 216 && p.b == 216; };
    bool unscaled = false;
    for (int x = 0; x <= 900 - 740 && !unscaled; ++x)
        for (int y = 1; y <= 500 - 387 && !unscaled; ++y) {
            bool column = black(grown->at(x, y - 1)) && !edgeGrey(grown->at(x, y + 370));
            for (int row = y; row < y + 370 && column; ++row)
                column = edgeGrey(grown->at(x, row));
            unscaled = column;
        }
    EXPECT_TRUE(unscaled) << "the map at its own size";

    destroyHostWindow(0);
    EXPECT_EQ(copy->waitFor(10s), 0) << "the copy ends with its window";
}

TEST_F(HostWindow, RootWindowIsDrawnWhenNoHostWindowIsNamed)
{
    installCatalogue();
    auto copy = startIn({ "-root" });
    EXPECT_TRUE(lookForMap().map) << "the map on the screen's root window";
    ::kill(copy->pid(), SIGTERM);
    EXPECT_EQ(copy->waitFor(10s), 0);
}

// A copy under a host never opens a message box: the keyboard and the mouse
// are the host's, nobody could answer it. The message goes to standard error
// (the host's log) and into the copy's window, white on black, and the copy
// ends with status 1: at SIGTERM, or a few seconds later.
TEST_F(HostWindow, WithoutSettingsTheMessageGoesToStandardErrorAndIntoItsWindowAndNoOtherWindowOpens)
{
    // No zandreth.ini beside the program, none in the user's folder and no
    // installed catalogue to copy there.
    unsigned long host = hostWindow(600, 300, 40, 40);
    ASSERT_NE(host, 0u);
    auto copy = startIn({ "--window-id", hex(host) }, {}, true);
    auto shot = windowShowing(host, false, whiteOnBlack);
    ASSERT_TRUE(shot);
    EXPECT_EQ(shot->width, 600);
    EXPECT_TRUE(whiteOnBlack(*shot)) << "the message, white on black, over the whole window";
    EXPECT_EQ(mappedChildren(), std::vector<unsigned long> { host }) << "no window of the copy's own";
    EXPECT_EQ(mappedChildren(hex(host)).size(), 1u) << "the message is a child of the host's window";
    EXPECT_EQ(programsLines(), std::vector<std::string> { "zandreth: 定義ファイル読み込みエラー: "
                                                          "zandreth.iniファイルの定義エラーもしくは、ファイルが存在しません。" });
    EXPECT_FALSE(copy->waitFor(1s)) << "the message stands a while";
    ::kill(copy->pid(), SIGTERM);
    EXPECT_EQ(copy->waitFor(5s), 1);
    EXPECT_FALSE(std::filesystem::exists(folder.file("home/.config/zandreth/zandreth.ini")));
}

// A home city outside the table: the first clock tick, once the picture is
// in the window, raises the run-time error; its report takes the picture's
// place.
TEST_F(HostWindow, ARunTimeErrorIsShownInItsWindowAndTheCopyEndsWithStatusOneAfterAFewSeconds)
{
    std::string settings = testing_support::fixture("zandreth.ini");
    auto home = settings.find("TimeZone=1");
    ASSERT_NE(home, std::string::npos);
    settings.replace(home, 10, "TimeZone=32767");
    std::ofstream(folder.file("zandreth.ini"), std::ios::binary) << settings;
    unsigned long host = hostWindow(600, 300, 40, 40);
    ASSERT_NE(host, 0u);
    auto copy = startIn({}, { "XSCREENSAVER_WINDOW=" + hex(host) }, true);
    auto shot = windowShowing(host, false, whiteOnBlack);
    ASSERT_TRUE(shot);
    EXPECT_TRUE(whiteOnBlack(*shot));
    EXPECT_EQ(mappedChildren(), std::vector<unsigned long> { host });
    auto lines = programsLines();
    ASSERT_EQ(lines.size(), 1u) << readFile(errorFile());
    EXPECT_EQ(lines[0].rfind("zandreth: Run-time error '9': Subscript out of range: TimeZone = 32767", 0), 0u)
        << lines[0];
    EXPECT_EQ(copy->waitFor(20s), 1) << "the copy ends by itself";
}

// An id that names no window ends the copy with status 1 and its reason on
// standard error; nothing is drawn and no window opens.
struct NoWindowCase {
    const char* name;
    bool pixmap;
    const char* id;
    const char* reason;
};

void PrintTo(const NoWindowCase& c, std::ostream* out) { *out << c.name; }

class HostWindowIdOfNoWindow : public HostWindow, public testing::WithParamInterface<NoWindowCase> { };

TEST_P(HostWindowIdOfNoWindow, IsReportedOnStandardErrorAndEndsTheCopyWithStatusOne)
{
    const auto& c = GetParam();
    installCatalogue();
    std::string id = c.id;
    std::unique_ptr<Process> pixmapOwner;
    if (c.pixmap) {
        pixmapOwner = startXClient({ "pixmap", "300", "200", folder.file("pixmap") });
        for (int wait = 0; wait < 200 && !std::filesystem::exists(folder.file("pixmap")); ++wait)
            std::this_thread::sleep_for(50ms);
        std::ifstream in(folder.file("pixmap"));
        in >> id;
        ASSERT_FALSE(id.empty());
    }
    auto copy = startIn({ "--window-id", id }, {}, true);
    EXPECT_EQ(copy->waitFor(10s), 1);
    auto lines = programsLines();
    ASSERT_EQ(lines.size(), 1u) << readFile(errorFile());
    EXPECT_EQ(lines[0].rfind("zandreth: Run-time error", 0), 0u) << lines[0];
    EXPECT_NE(lines[0].find(c.reason), std::string::npos) << lines[0];
    EXPECT_TRUE(mappedChildren().empty()) << "no window opened";
}

INSTANTIATE_TEST_SUITE_P(Ids, HostWindowIdOfNoWindow,
                         testing::Values(NoWindowCase { "NoSuchWindow", false, "0x7ffffff", "does not exist" },
                                         NoWindowCase { "Pixmap", true, "", "is a pixmap, not a window" },
                                         NoWindowCase { "NotAnId", false, "zz", "is not a window id" }),
                         [](const testing::TestParamInfo<NoWindowCase>& info) { return std::string(info.param.name); });

// Without a display the program says so and ends; its help and version need
// none.
struct NoDisplayCase {
    const char* name;
    std::vector<std::string> arguments;
    std::vector<std::string> environment;
    int status;
    std::vector<std::string> printed;
    std::string error;
};

void PrintTo(const NoDisplayCase& c, std::ostream* out) { *out << c.name; }

class WithoutADisplay : public testing::TestWithParam<NoDisplayCase> {
protected:
    TempDir folder;
};

TEST_P(WithoutADisplay, TheProgramAnswersOrSaysItCannotOpenTheDisplay)
{
    const auto& c = GetParam();
    std::filesystem::copy_file(ZANDRETH_PROGRAM, folder.file("zandreth"));
    std::filesystem::copy_file(testing_support::fixturePath("zandreth.ini"), folder.file("zandreth.ini"));
    std::vector<std::string> command { folder.file("zandreth") };
    command.insert(command.end(), c.arguments.begin(), c.arguments.end());
    std::vector<std::string> environment { "DISPLAY", "WAYLAND_DISPLAY", "XDG_SESSION_TYPE", "QT_QPA_PLATFORM",
                                           "HOME=" + folder.file("home"), "XDG_CONFIG_HOME" };
    environment.insert(environment.end(), c.environment.begin(), c.environment.end());
    Process run(command, environment, { folder.file("stdout.txt"), folder.file("stderr.txt") });
    EXPECT_EQ(run.waitFor(10s), c.status);
    std::string printed = readFile(folder.file("stdout.txt"));
    for (const auto& text : c.printed)
        EXPECT_NE(printed.find(text), std::string::npos) << text << " in:\n" << printed;
    if (c.printed.empty()) {
        EXPECT_EQ(printed, "");
    }
    EXPECT_EQ(readFile(folder.file("stderr.txt")), c.error);
}

const NoDisplayCase kNoDisplayCases[] = {
    { "Help", { "--help" }, {}, 0,
      { "Usage: zandreth", "/S ", "/C ", "/P ", "--root, -root", "--window-id ID, -window-id ID",
        "XSCREENSAVER_WINDOW", "--version", "beside the program", "$XDG_CONFIG_HOME/zandreth",
        "~/.config/zandreth" },
      "" },
    { "HelpAfterAnotherSwitch", { "/S", "--help" }, {}, 0, { "Usage: zandreth" }, "" },
    { "Version", { "--version" }, {}, 0, { "Zandreth " ZANDRETH_VERSION "\n" }, "" },
    { "RunModeWithoutDisplay", { "/S" }, {}, 1, {}, "zandreth: cannot open the display\n" },
    { "DialogOnADisplayThatIsNotThere", { "/C" }, { "DISPLAY=:987" }, 1, {},
      "zandreth: cannot open the display \":987\"\n" },
    { "TheToolkitsDisplayOption", { "-display", ":986", "/S" }, { "DISPLAY=:987" }, 1, {},
      "zandreth: cannot open the display \":986\"\n" },
};

INSTANTIATE_TEST_SUITE_P(Cases, WithoutADisplay, testing::ValuesIn(kNoDisplayCases),
                         [](const testing::TestParamInfo<NoDisplayCase>& info) { return std::string(info.param.name); });

} // namespace
