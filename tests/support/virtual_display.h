#pragma once

// A virtual X server (Xvfb) of its own for one whole-program test, and the
// commands (xdotool, xwininfo, import) a test runs against it.

#include "support/child_process.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace testing_support {

// What a screenshot holds: rows of red, green and blue bytes, top row first.
struct CapturedPixels {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgb;
};

// A virtual X server of its own for one test.
class VirtualDisplay {
public:
    // Starts the server with a screen of `size` pixels ("1024x768").
    bool start(const std::string& size)
    {
        for (int number = 60 + (::getpid() % 200); number < 400; ++number) {
            std::string socket = "/tmp/.X11-unix/X" + std::to_string(number);
            std::string lock = "/tmp/.X" + std::to_string(number) + "-lock";
            // A server that was killed leaves its lock and socket behind:
            // a lock whose process is gone is free again.
            if (std::filesystem::exists(lock) && lockIsStale(lock)) {
                std::error_code ignored;
                std::filesystem::remove(socket, ignored);
                std::filesystem::remove(lock, ignored);
            }
            if (std::filesystem::exists(socket) || std::filesystem::exists(lock))
                continue;
            name_ = ":";
            name_ += std::to_string(number);
            server_ = std::make_unique<Process>(std::vector<std::string> {
                "Xvfb", name_, "-screen", "0", size + "x24", "-nolisten", "tcp", "-noreset" });
            // Two tests starting at once can pick the same number: the X
            // server that loses ends at once, so the display is ours only
            // while our server still runs once the socket is there.
            bool ended = false;
            for (int wait = 0; wait < 200 && !std::filesystem::exists(socket) && !ended; ++wait)
                ended = server_->waitFor(50ms).has_value();
            if (!ended && std::filesystem::exists(socket) && !server_->waitFor(300ms))
                return true;
            server_.reset();
        }
        name_.clear();
        return false;
    }

    static bool lockIsStale(const std::string& lock)
    {
        std::ifstream in(lock);
        long pid = 0;
        if (!(in >> pid) || pid <= 0)
            return false;
        return ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH;
    }

    ~VirtualDisplay()
    {
        if (server_)
            server_->terminate(5s);
    }
    VirtualDisplay() = default;
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

    // A screenshot of the root window, or of the X window `window`, taken
    // with ImageMagick's import through the PPM file `file`; none when the
    // capture fails or gives no picture.
    std::optional<CapturedPixels> capture(const std::string& file, const std::string& window = "root") const
    {
        if (!run("timeout 30 import -window " + window + " -depth 8 ppm:" + file))
            return std::nullopt;
        std::ifstream in(file, std::ios::binary);
        std::string magic;
        int maximum = 0;
        CapturedPixels shot;
        in >> magic >> shot.width >> shot.height >> maximum;
        in.get();
        if (magic != "P6" || maximum != 255 || shot.width <= 0 || shot.height <= 0)
            return std::nullopt;
        shot.rgb.resize(static_cast<std::size_t>(shot.width) * shot.height * 3);
        in.read(reinterpret_cast<char*>(shot.rgb.data()), static_cast<std::streamsize>(shot.rgb.size()));
        return shot;
    }

    // Waits until a window manager has taken the screen (it names itself
    // on the root window); false when none has within half a minute.
    bool waitForWindowManager() const
    {
        for (int wait = 0; wait < 300; ++wait) {
            if (output("xprop -root _NET_SUPPORTING_WM_CHECK").find("window id") != std::string::npos)
                return true;
            std::this_thread::sleep_for(100ms);
        }
        return false;
    }

private:
    std::string name_;
    std::unique_ptr<Process> server_;
};

} // namespace testing_support
