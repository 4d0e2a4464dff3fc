#pragma once

// A fresh temporary folder for one test, removed with everything in it when
// the test ends. Tests never touch a user's own settings.

#include "support/file_bytes.h"

#include <filesystem>
#include <random>
#include <stdexcept>
#include <string>
#include <stdlib.h>

namespace testing_support {

// A new folder named `stem` + six random characters in the system's folder
// for temporary files, only this user's on POSIX; its path, or "" when none
// could be made.
inline std::string makeTemporaryFolder(const std::string& stem)
{
    std::string pattern = (std::filesystem::temp_directory_path() / (stem + "XXXXXX")).string();
#ifdef _WIN32
    // Windows has no mkdtemp: a name that nothing has yet, made at once.
    std::random_device device;
    std::uniform_int_distribution<int> pick(0, 35);
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string path = pattern.substr(0, pattern.size() - 6);
        for (int i = 0; i < 6; ++i) {
            int n = pick(device);
            path += static_cast<char>(n < 10 ? '0' + n : 'a' + n - 10);
        }
        std::error_code error;
        if (std::filesystem::create_directory(path, error))
            return path;
    }
    return "";
#else
    return ::mkdtemp(pattern.data()) ? pattern : "";
#endif
}

class TempDir {
public:
    TempDir()
    {
        std::string path = makeTemporaryFolder("zandreth-test-");
        if (path.empty())
            throw std::runtime_error("cannot make a temporary folder");
        path_ = path;
    }
    ~TempDir()
    {
        std::error_code ignored;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ignored);
        std::filesystem::remove_all(path_, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::string file(const std::string& name) const { return (path_ / name).string(); }

    void write(const std::string& name, const std::string& bytes) const { writeFile(path_ / name, bytes); }
    std::string read(const std::string& name) const { return readFile(path_ / name); }

private:
    std::filesystem::path path_;
};

} // namespace testing_support
