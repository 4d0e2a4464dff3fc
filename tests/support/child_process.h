#pragma once

// A child process of a whole-program test (POSIX): started with its own
// arguments and changes to the environment, waited for with a time limit,
// and never left running when the test ends.

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <optional>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace testing_support {

using namespace std::chrono_literals;

// The name of an environment entry "NAME=value" (or of a bare "NAME").
inline std::string variableName(const std::string& entry)
{
    return entry.substr(0, entry.find('='));
}

// Files that a child's standard output and standard error go to, emptied
// first; an empty name leaves that stream the test's own.
struct ProcessOutput {
    std::string standardOutput;
    std::string standardError;
};

// A child process started with an argument vector and changes to the
// environment: "NAME=value" sets a variable, a bare "NAME" removes it.
class Process {
public:
    Process(const std::vector<std::string>& arguments, const std::vector<std::string>& extraEnvironment = {},
            const ProcessOutput& output = {})
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
        posix_spawn_file_actions_t actions;
        ::posix_spawn_file_actions_init(&actions);
        if (!output.standardOutput.empty())
            ::posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, output.standardOutput.c_str(),
                                               O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (!output.standardError.empty())
            ::posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, output.standardError.c_str(),
                                               O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (::posix_spawnp(&pid_, argv[0], &actions, nullptr, argv.data(), envp.data()) != 0)
            pid_ = -1;
        ::posix_spawn_file_actions_destroy(&actions);
    }
    ~Process()
    {
        // Asked first, so that an X server removes its lock and socket; a
        // process that does not end is killed.
        if (pid_ > 0 && !status_) {
            ::kill(pid_, SIGTERM);
            if (!waitFor(3s)) {
                ::kill(pid_, SIGKILL);
                ::waitpid(pid_, nullptr, 0);
            }
        }
    }
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    bool started() const { return pid_ > 0; }
    pid_t pid() const { return pid_; }

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

// True when `name` is a command on the PATH.
inline bool commandExists(const std::string& name)
{
    return std::system(("command -v " + name + " >/dev/null 2>&1").c_str()) == 0;
}

} // namespace testing_support
