#pragma once

// What the fuzzers share: a scratch folder for the settings file, whole-file
// writes, a message-box recorder and a check that stops the run with a
// readable report when an invariant breaks.

#include "platform/runtime/message_box.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>
#include <stdlib.h>

namespace fuzz_support {

// Reports a broken invariant and aborts, which libFuzzer records as a crash
// together with the input that caused it.
[[noreturn]] inline void fail(const char* condition, const char* file, int line, const std::string& detail)
{
    std::fprintf(stderr, "\n%s:%d: invariant broken: %s\n%s\n", file, line, condition, detail.c_str());
    std::abort();
}

#define FUZZ_CHECK(condition, detail)                                                                              \
    do {                                                                                                           \
        if (!(condition))                                                                                          \
            ::fuzz_support::fail(#condition, __FILE__, __LINE__, (detail));                                        \
    } while (false)

// A folder for the whole run of one fuzzer, on a memory file system when
// there is one, so that the millions of writes cost no disk. Removed when the
// fuzzer ends normally; a crashed run leaves it for inspection.
class ScratchFolder {
public:
    ScratchFolder()
    {
        std::string base = std::filesystem::exists("/dev/shm") ? "/dev/shm"
                                                                 : std::filesystem::temp_directory_path().string();
        std::string pattern = base + "/zandreth-fuzz-XXXXXX";
        if (::mkdtemp(pattern.data()) == nullptr) {
            std::perror("mkdtemp");
            std::abort();
        }
        path_ = pattern;
    }
    ~ScratchFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }

    // Removes everything in the folder but the folder, so each input starts
    // from the same state.
    void clear() const
    {
        std::error_code ignored;
        for (const auto& entry : std::filesystem::directory_iterator(path_, ignored))
            std::filesystem::remove_all(entry.path(), ignored);
    }

    std::vector<std::string> entries() const
    {
        std::vector<std::string> names;
        std::error_code ignored;
        for (const auto& entry : std::filesystem::directory_iterator(path_, ignored))
            names.push_back(entry.path().filename().string());
        return names;
    }

private:
    std::string path_;
};

inline void writeFile(const std::string& path, std::string_view bytes)
{
    std::ofstream stream(path, std::ios::binary | std::ios::trunc);
    stream.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!stream) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        std::abort();
    }
}

inline std::string readFile(const std::string& path)
{
    std::ifstream stream(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>());
}

// Records the message boxes the code under test would show.
class MessageRecorder {
public:
    MessageRecorder()
    {
        platform::setMessageBoxPresenter([this](const platform::MessageBoxRequest& request) { shown.push_back(request); });
    }
    ~MessageRecorder() { platform::setMessageBoxPresenter({}); }
    MessageRecorder(const MessageRecorder&) = delete;
    MessageRecorder& operator=(const MessageRecorder&) = delete;

    std::vector<platform::MessageBoxRequest> shown;
};

// A short printable form of bytes for a report.
inline std::string printable(std::string_view bytes, std::size_t limit = 200)
{
    std::string out;
    for (std::size_t i = 0; i < bytes.size() && i < limit; ++i) {
        unsigned char c = static_cast<unsigned char>(bytes[i]);
        if (c >= 0x20 && c < 0x7F && c != '\\') {
            out += static_cast<char>(c);
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", c);
            out += escaped;
        }
    }
    if (bytes.size() > limit)
        out += "...";
    return out;
}

} // namespace fuzz_support
