// The real program, run under a virtual X server: what a user sees and does.

#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace {

using namespace std::chrono_literals;
using testing_support::TempDir;

// The name of an environment entry "NAME=value" (or of a bare "NAME").
std::string variableName(const std::string& entry)
{
    return entry.substr(0, entry.find('='));
}

// A child process started with an argument vector and changes to the
// environment: "NAME=value" sets a variable, a bare "NAME" removes it.
class Process {
public:
    Process(const std::vector<std::string>& arguments, const std::vector<std::string>& extraEnvironment = {})
    {
        std::vector<std::string> environment;
        for (char** entry = environ; *entry; ++entry) {
            bool changed = false;
            for (const auto& extra : extraEnvironment)
                changed = changed || variableName(extra) == variableName(*entry);
            if (!changed)
                environment.emplace_back(*entry);
        }
        for (const auto& entry : extraEnvironment)
            if (entry.find('=') != std::string::npos)
                environment.push_back(entry);
        std::vector<char*> argv;
        for (const auto& argument : arguments)
            argv.push_back(const_cast<char*>(argument.c_str()));
        argv.push_back(nullptr);
        std::vector<char*> envp;
        for (auto& entry : environment)
            envp.push_back(entry.data());
        envp.push_back(nullptr);
        if (::posix_spawnp(&pid_, argv[0], nullptr, nullptr, argv.data(), envp.data()) != 0)
            pid_ = -1;
    }
    ~Process()
    {
        if (pid_ > 0 && !status_) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
    }
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    bool started() const { return pid_ > 0; }

    // Asks the process to end (SIGTERM), as a session ends its X server, so
    // that it can clean up after itself; kills it when it has not ended
    // within `grace`.
    void terminate(std::chrono::milliseconds grace)
    {
        if (pid_ <= 0 || status_)
            return;
        ::kill(pid_, SIGTERM);
        if (!waitFor(grace)) {
            ::kill(pid_, SIGKILL);
            waitFor(5s);
        }
    }

    // The exit status once the process has ended within `timeout`.
    std::optional<int> waitFor(std::chrono::milliseconds timeout)
    {
        auto deadline = std::chrono::steady_clock::now() + timeout;
        while (!status_) {
            int raw = 0;
            pid_t done = ::waitpid(pid_, &raw, WNOHANG);
            if (done == pid_) {
                status_ = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
                break;
            }
            if (std::chrono::steady_clock::now() > deadline)
                break;
            std::this_thread::sleep_for(20ms);
        }
        return status_;
    }

private:
    pid_t pid_ = -1;
    std::optional<int> status_;
};

bool commandExists(const std::string& name)
{
    return std::system(("command -v " + name + " >/dev/null 2>&1").c_str()) == 0;
}

// A virtual X server of its own for one test.
class VirtualDisplay {
public:
    VirtualDisplay()
    {
        for (int number = 60 + (::getpid() % 200); number < 400; ++number) {
            std::string socket = "/tmp/.X11-unix/X" + std::to_string(number);
            std::string lock = "/tmp/.X" + std::to_string(number) + "-lock";
            removeIfStale(lock, socket);
            if (std::filesystem::exists(socket) || std::filesystem::exists(lock))
                continue;
            name_ = ":" + std::to_string(number);
            server_ = std::make_unique<Process>(std::vector<std::string> {
                "Xvfb", name_, "-screen", "0", "1024x768x24", "-nolisten", "tcp" });
            // Two tests starting at once can pick the same number: the X
            // server that loses ends at once, so the display is ours only
            // while our server still runs once the socket is there.
            bool ended = false;
            for (int wait = 0; wait < 200 && !std::filesystem::exists(socket) && !ended; ++wait)
                ended = server_->waitFor(50ms).has_value();
            if (!ended && std::filesystem::exists(socket) && !server_->waitFor(300ms))
                return;
            server_.reset();
        }
        name_.clear();
    }

    ~VirtualDisplay()
    {
        if (server_)
            server_->terminate(5s);
    }
    VirtualDisplay(const VirtualDisplay&) = delete;
    VirtualDisplay& operator=(const VirtualDisplay&) = delete;

    bool ready() const { return !name_.empty(); }
    const std::string& name() const { return name_; }
    std::string environment() const { return "DISPLAY=" + name_; }

    // Runs a command against this display; true when it succeeded.
    bool run(const std::string& command) const
    {
        return std::system(("DISPLAY=" + name_ + " " + command + " >/dev/null 2>&1").c_str()) == 0;
    }

    // What a command run against this display prints.
    std::string output(const std::string& command) const
    {
        std::string text;
        if (FILE* pipe = ::popen(("DISPLAY=" + name_ + " " + command + " 2>/dev/null").c_str(), "r")) {
            char buffer[4096];
            std::size_t count = 0;
            while ((count = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
                text.append(buffer, count);
            ::pclose(pipe);
        }
        return text;
    }

private:
    // An X server that was killed leaves its lock file and socket behind;
    // left alone they would use up the display numbers one by one. A lock
    // whose process no longer runs is stale.
    static void removeIfStale(const std::string& lock, const std::string& socket)
    {
        std::ifstream in(lock);
        long pid = 0;
        if (!(in >> pid) || pid <= 0)
            return;
        if (::kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH)
            return;
        std::error_code ignored;
        std::filesystem::remove(socket, ignored);
        std::filesystem::remove(lock, ignored);
    }

    std::string name_;
    std::unique_ptr<Process> server_;
};

struct Pixel {
    int r, g, b;
};

// A screenshot as a plain RGB raster.
struct Screenshot {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgb;

    Pixel at(int x, int y) const
    {
        std::size_t i = (static_cast<std::size_t>(y) * width + x) * 3;
        return { rgb[i], rgb[i + 1], rgb[i + 2] };
    }

    static std::optional<Screenshot> take(const VirtualDisplay& display, const std::string& file)
    {
        if (!display.run("import -window root -depth 8 ppm:" + file))
            return std::nullopt;
        std::ifstream in(file, std::ios::binary);
        std::string magic;
        int maximum = 0;
        Screenshot shot;
        in >> magic >> shot.width >> shot.height >> maximum;
        in.get();
        if (magic != "P6" || maximum != 255)
            return std::nullopt;
        shot.rgb.resize(static_cast<std::size_t>(shot.width) * shot.height * 3);
        in.read(reinterpret_cast<char*>(shot.rgb.data()), static_cast<std::streamsize>(shot.rgb.size()));
        return shot;
    }

    // The map's top-left corner: its outermost left column is a 370-pixel run
    // of light grey (216, 216, 216).
    std::optional<std::pair<int, int>> findMap() const
    {
        auto edgeGrey = [](Pixel p) { return p.r == 216 && p.g == 216 && p.b == 216; };
        for (int y = 0; y + 370 <= height; ++y) {
            for (int x = 0; x + 740 <= width; ++x) {
                if (!edgeGrey(at(x, y)) || !edgeGrey(at(x + 739, y)))
                    continue;
                bool column = true;
                for (int dy = 0; dy < 370 && column; dy += 7)
                    column = edgeGrey(at(x, y + dy)) && edgeGrey(at(x + 739, y + dy));
                if (column && edgeGrey(at(x, y + 369)))
                    return std::make_pair(x, y);
            }
        }
        return std::nullopt;
    }
};

class WholeProgram : public testing::Test {
protected:
    void SetUp() override
    {
        if (!commandExists("Xvfb") || !commandExists("xdotool") || !commandExists("import"))
            GTEST_SKIP() << "needs Xvfb, xdotool and ImageMagick's import";
        ASSERT_TRUE(display.ready());
        // The program is one self-contained file: a folder with it and a
        // zandreth.ini is a whole installation.
        std::filesystem::copy_file(ZANDRETH_PROGRAM, program());
    }

    std::string program() const { return folder.file("zandreth"); }
    void installCatalogue() const
    {
        std::filesystem::copy_file(std::string(ZANDRETH_FIXTURE_DIR) + "/zandreth.ini", folder.file("zandreth.ini"));
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
    // The first placement uses the form's size before it is maximised
    // (937 x 577), with a 16-pixel UTC line under the map.
    EXPECT_LT(mapLeft, 937 - 739);
    EXPECT_LT(mapTop, 577 - 16 - 371);

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

std::string fileBytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
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
    EXPECT_EQ(fileBytes(home + "/.config/zandreth/zandreth.ini"), fileBytes(installed("share/zandreth/zandreth.ini")));
}

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
    for (const char* file : { "bin/zandreth", "share/zandreth/zandreth.ini", "share/icons/hicolor/16x16/apps/zandreth.png",
                              "share/icons/hicolor/32x32/apps/zandreth.png", "share/applications/zandreth.desktop",
                              "share/doc/zandreth/LICENSE-Unicode.txt" })
        EXPECT_TRUE(fs::is_regular_file(installed(file))) << file;
    EXPECT_EQ(fileBytes(installed("share/zandreth/zandreth.ini")),
              fileBytes(std::string(ZANDRETH_SOURCE_DIR) + "/assets/zandreth.ini"));
    EXPECT_EQ(fileBytes(installed("share/icons/hicolor/32x32/apps/zandreth.png")),
              fileBytes(std::string(ZANDRETH_SOURCE_DIR) + "/assets/zandreth-32.png"));
    if (fs::exists(std::string(ZANDRETH_SOURCE_DIR) + "/assets/zandreth.xml")) {
        EXPECT_TRUE(fs::is_regular_file(installed("share/xscreensaver/config/zandreth.xml")));
    }

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
    auto entry = fileBytes(installed("share/applications/zandreth.desktop"));
    EXPECT_NE(entry.find("\nExec=zandreth /C\n"), std::string::npos) << "the entry opens the settings dialog";
    EXPECT_NE(entry.find("\nIcon=zandreth\n"), std::string::npos);
}

TEST_F(InstalledProgram, DialogSavesIntoTheUsersConfigFolderAndLeavesTheInstalledCatalogueAlone)
{
    if (!commandExists("Xvfb") || !commandExists("xdotool"))
        GTEST_SKIP() << "needs Xvfb and xdotool";
    ASSERT_TRUE(display.ready());
    const std::string catalogue = fileBytes(installed("share/zandreth/zandreth.ini"));
    const std::filesystem::path saved = home("a") + "/.config/zandreth/zandreth.ini";

    auto dialog = startAs("a", "/C");
    ASSERT_TRUE(dialogsShown(1));
    EXPECT_EQ(fileBytes(saved), catalogue) << "the first use copies the installed catalogue";

    // Untick the first row (its box at 24, 48 in the dialog, 33 x 25 pixels),
    // then 設定 (416, 24, 81 x 33 pixels) saves and closes. There is no window
    // manager: the dialog's window is its client area.
    const std::string onDialog = "xdotool search --onlyvisible --name '^Zandreth$' ";
    ASSERT_TRUE(display.run(onDialog + "mousemove --window %1 --sync 36 60 click 1"));
    std::optional<int> ended;
    for (int attempt = 0; attempt < 5 && !ended; ++attempt) {
        std::this_thread::sleep_for(300ms);
        display.run(onDialog + "mousemove --window %1 --sync 456 40 click 1");
        ended = dialog->waitFor(2s);
    }
    EXPECT_EQ(ended, 0);

    std::string written = fileBytes(saved);
    EXPECT_NE(written.find("\nCity_SelectNo0=-1"), std::string::npos) << "the unticked row is saved";
    EXPECT_NE(written.find("[MAP_INFO]"), std::string::npos);
    EXPECT_NE(written.find("RND_INTERVAL="), std::string::npos);
    EXPECT_EQ(fileBytes(installed("share/zandreth/zandreth.ini")), catalogue) << "the installed catalogue is untouched";
    EXPECT_FALSE(std::filesystem::exists(installed("bin/zandreth.ini")));
}

TEST_F(InstalledProgram, EachUserHasTheirOwnSingleInstance)
{
    if (!commandExists("Xvfb") || !commandExists("xdotool"))
        GTEST_SKIP() << "needs Xvfb and xdotool";
    ASSERT_TRUE(display.ready());
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
                              "./usr/share/icons/hicolor/16x16/apps/zandreth.png",
                              "./usr/libexec/xscreensaver/zandreth -> ../../bin/zandreth" })
        EXPECT_NE(contents.find(file), std::string::npos) << file << " in:\n" << contents;
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
    bool managed = false;
    for (int wait = 0; wait < 100 && !managed; ++wait) {
        managed = display.output("xprop -root _NET_SUPPORTING_WM_CHECK").find("window id") != std::string::npos;
        if (!managed)
            std::this_thread::sleep_for(100ms);
    }
    ASSERT_TRUE(managed) << "the window manager runs";

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

} // namespace
